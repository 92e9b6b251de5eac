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
