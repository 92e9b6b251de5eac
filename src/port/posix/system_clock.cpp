#include "port/system_clock.h"

#include <ctime>

// clock() counts processor time here, which would make the rate wrong, so real time
// comes from the monotonic clock, counted from when the program was loaded.
namespace {

std::uint64_t MonotonicMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

const std::uint64_t processStart = MonotonicMilliseconds();

}  // namespace

std::uint32_t SystemClock::Milliseconds()
{
    return static_cast<std::uint32_t>(MonotonicMilliseconds() - processStart);
}

void SystemClock::Pause(std::uint32_t milliseconds)
{
    timespec pause{static_cast<time_t>(milliseconds / 1000u), static_cast<long>(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&pause, &pause) != 0) {
        // Interrupted by a signal: sleep out the rest.
    }
}

std::uint64_t WallClockMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}
