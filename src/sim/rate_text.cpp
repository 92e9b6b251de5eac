#include "sim/rate_text.h"

#include <cstdio>

#include "sim/single_precision.h"

float RateValue(std::int32_t actionCount, std::uint32_t intervalMs)
{
    // Actions per millisecond, both values taken as signed 32-bit. The division is exact
    // enough at any precision the unit may use (24, 53 or 64 bits) that rounding its
    // result to float gives the correctly rounded quotient every time.
    const float actionRate = RoundedToFloat(static_cast<float>(
        static_cast<double>(actionCount) / static_cast<double>(static_cast<std::int32_t>(intervalMs))));
    return RoundedToFloat(1000.0f * actionRate);
}

void FormatRate(std::int32_t actionCount, std::uint32_t intervalMs, char (&rateText)[kRateTextSize])
{
    std::sprintf(rateText, "%06.02f", static_cast<double>(RateValue(actionCount, intervalMs)));
}
