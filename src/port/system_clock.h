#pragma once

#include "sim/clock.h"

// The platform's real-time clock in milliseconds since the process started, and its sleep.
class SystemClock final : public Clock {
public:
    std::uint32_t Milliseconds() override;
    void Pause(std::uint32_t milliseconds) override;
};

// The wall clock in milliseconds since 1970, as other programs on the machine read it:
// for the frame log, so that a test can place a frame among its own observations.
std::uint64_t WallClockMilliseconds();
