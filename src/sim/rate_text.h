#pragma once

#include <cstdint>

// Room for the longest rate: ten digits, the point, two decimals and the terminator.
constexpr int kRateTextSize = 16;

// Actions per second over an interval of more than 1000 ms, as the single-precision
// value that is printed: the quotient of count and interval rounded to float, times 1000
// rounded to float.
float RateValue(std::int32_t actionCount, std::uint32_t intervalMs);

// Formats that rate: at least six characters, zero-padded, two decimals ("000.00",
// "249.75", "1232.77").
void FormatRate(std::int32_t actionCount, std::uint32_t intervalMs, char (&rateText)[kRateTextSize]);
