// The frame log a running saver writes for the tests and the measuring tools.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/frame_log.h"
#include "sim_fakes.h"
#include "temp_directory.h"

namespace {

std::string Contents(const char* path)
{
    // Text mode, as the saver writes it: lines end in CR LF on Windows.
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(FrameLog, CountsTheFramesAndPlacesTheFirstOnTheWallClock)
{
    ScopedTempDirectory directory;
    FakeClock clock;
    clock.now = 40;
    {
        // A wall clock whose milliseconds need their leading zeros.
        FrameLoggingClock log(clock, "frames.txt", [] { return std::uint64_t{1765370000005}; });
        EXPECT_EQ(log.Milliseconds(), 40u);
        log.Pause(5);
        clock.now = 47;
        log.Pause(5);
        clock.now = 61;
        log.Pause(300);
    }
    EXPECT_EQ(Contents("frames.txt"), "frames=3 first_frame_ms=40 last_frame_ms=61 first_frame_unix_ms=1765370000005\n");
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{5, 5, 300}));
}

TEST(FrameLog, SaysSoWhenNoFrameCame)
{
    ScopedTempDirectory directory;
    FakeClock clock;
    {
        FrameLoggingClock log(clock, "frames.txt", [] { return std::uint64_t{1}; });
    }
    EXPECT_EQ(Contents("frames.txt"), "frames=0 first_frame_ms=0 last_frame_ms=0 first_frame_unix_ms=0000\n");
    // Where not every frame is drawn, how many were, as the pace counts them when the log
    // is written.
    std::uint32_t drawn = 0;
    {
        FrameLoggingClock log(clock, "frames.txt", [] { return std::uint64_t{1}; }, &drawn);
        log.Pause(5);
        drawn = 1;
    }
    EXPECT_EQ(Contents("frames.txt"), "frames=1 first_frame_ms=0 last_frame_ms=0 first_frame_unix_ms=0001 drawn=1\n");
}

}  // namespace
