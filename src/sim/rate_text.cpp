#include "sim/rate_text.h"

#include <cstdio>

void FormatRate(std::int32_t actionCount, std::uint32_t intervalMs, char (&rateText)[kRateTextSize])
{
    // Actions per millisecond: both values taken as signed 32-bit, divided exactly enough
    // that the quotient is the correctly rounded float, then scaled in single precision.
    const float actionRate = static_cast<float>(static_cast<double>(actionCount) /
                                                static_cast<double>(static_cast<std::int32_t>(intervalMs)));
    std::sprintf(rateText, "%06.02f", static_cast<double>(1000.0f * actionRate));
}
