#pragma once

#include <cstdint>

// Real time as the animation sees it. Readings are milliseconds since the process started,
// as unsigned 32-bit values that wrap; they never go backwards while the program runs.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Milliseconds() = 0;
    virtual void Pause(std::uint32_t milliseconds) = 0;
};
