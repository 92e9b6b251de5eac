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
    // GetSystemTimeAsFileTime would do it in one call, but no document at hand says
    // Windows 95 has it; these two are in every Win32. A FILETIME counts 100 ns units
    // since 1601.
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ticks;
    SystemTimeToFileTime(&now, &ticks);
    const std::uint64_t since1601 = (std::uint64_t{ticks.dwHighDateTime} << 32) | ticks.dwLowDateTime;
    return (since1601 - 116444736000000000ull) / 10000u;
}
