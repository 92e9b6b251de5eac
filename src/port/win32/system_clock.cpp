#include "port/system_clock.h"

#include <ctime>

#include <windows.h>

// The Win32 C runtime's clock() counts real time since the process started, in
// milliseconds, which is just what the animation wants.
std::uint32_t SystemClock::Milliseconds()
{
    return static_cast<std::uint32_t>(std::clock());
}

void SystemClock::Pause(std::uint32_t milliseconds)
{
    Sleep(milliseconds);
}

std::uint64_t WallClockMilliseconds()
{
    // In 100 ns units since 1601; every Windows has it.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) / 10000u;
}
