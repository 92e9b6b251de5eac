#pragma once

#include <cstdint>

// Room for the longest rate: ten digits, the point, two decimals and the terminator.
constexpr int kRateTextSize = 16;

// Formats actions per second over an interval of more than 1000 ms: at least six
// characters, zero-padded, two decimals ("000.00", "249.75", "1232.77").
void FormatRate(std::int32_t actionCount, std::uint32_t intervalMs, char (&rateText)[kRateTextSize]);
