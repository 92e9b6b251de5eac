#pragma once

#include "sim/clock.h"

// The platform's real-time clock in milliseconds since the process started, and its sleep.
class SystemClock final : public Clock {
public:
    std::uint32_t Milliseconds() override;
    void Pause(std::uint32_t milliseconds) override;
};
