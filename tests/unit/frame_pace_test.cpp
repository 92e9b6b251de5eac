#include "port/pace/frame_pace.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "sim_fakes.h"

namespace {

// What the pace steers: which frames it drew and when, and a display that may be busy.
class Steered final : public SteppedDrawing {
public:
    explicit Steered(SleepingClock& clock) : clock_(clock) {}
    bool ready = true;
    bool drawing = true;
    std::uint32_t ended = 0, endedDrawn = 0;  // frames ended, and of them the drawn
    std::vector<std::uint32_t> drawnAt;       // the clock's times of the drawn frames' ends
    void EndFrame() override
    {
        // Only a drawn frame's end is shown.
        EXPECT_TRUE(drawing);
        ++endedDrawn;
        drawnAt.push_back(clock_.now);
    }
    bool Ready() override { return ready; }
    // Told at the end of every frame, of the next.
    void SetDrawing(bool d) override
    {
        ++ended;
        drawing = d;
    }

private:
    SleepingClock& clock_;
};

constexpr std::uint32_t kTick = 16667;
constexpr double kFramesPerSecond = 1e6 / (5000 + FramePace::kFrameWorkMicros);

// Frames of the full-screen pace for some seconds of the clock, each taking workMs of it.
void RunFor(FramePace& pace, SleepingClock& clock, std::uint32_t ms, std::uint32_t workMs = 0)
{
    const std::uint32_t end = clock.now + ms;
    while (clock.now < end) {
        clock.now += workMs;
        pace.Pause(5);
    }
}

// Ten seconds: the frames keep the Windows pace, the readings say the same, the thread
// wakes once a tick, and each tick shows one frame, the last that came due.
TEST(FramePace, KeepsTheWindowsPaceAndDrawsOneFrameATick)
{
    for (const std::uint32_t workMs : {0u, 1u}) {
        SleepingClock clock;
        Steered steered(clock);
        FramePace pace(clock, steered, kTick);
        const std::uint32_t start = pace.Milliseconds();
        RunFor(pace, clock, 10000, workMs);
        const double seconds = (clock.now - start) / 1000.0;
        EXPECT_NEAR(steered.ended / seconds, kFramesPerSecond, kFramesPerSecond * 0.01) << "work " << workMs;
        // The readings are the frames' due times: as many frames a second as the pace.
        EXPECT_NEAR(steered.ended * (5000 + FramePace::kFrameWorkMicros) / 1000.0, pace.Milliseconds() - start, 6.0);
        EXPECT_LE(pace.Milliseconds(), clock.now);
        const double ticks = seconds * 1e6 / kTick;
        EXPECT_LE(clock.pauses, ticks + 1);
        EXPECT_GE(clock.pauses, ticks - 2);
        EXPECT_NEAR(steered.endedDrawn, ticks, 2.0);
        EXPECT_EQ(pace.drawnFrames(), steered.endedDrawn);
        for (std::size_t k = 1; k < steered.drawnAt.size(); ++k)
            ASSERT_LE(steered.drawnAt[k] - steered.drawnAt[k - 1], kTick / 1000 + 1 + workMs * 5) << "a tick was missed";
    }
}

// Readings never go back, through a stall and across the clock's wrap; after a stall the
// pace goes on from where it stands, running at most kMostFramesBehind frames before it
// draws again.
TEST(FramePace, ReadingsNeverGoBackAndAStallIsNotRacedAfter)
{
    SleepingClock clock;
    clock.now = 0xFFFFFFFFu - 3000;
    Steered steered(clock);
    FramePace pace(clock, steered, kTick);
    std::uint32_t last = pace.Milliseconds(), undrawnInARow = 0, most = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        if (frame == 1000)
            clock.now += 20000;  // the process was stopped for 20 s
        pace.Pause(5);
        const std::uint32_t reading = pace.Milliseconds();
        ASSERT_LT(static_cast<std::uint32_t>(reading - last), 30000u) << "went back at frame " << frame;
        last = reading;
        undrawnInARow = steered.drawing ? 0 : undrawnInARow + 1;
        most = std::max(most, undrawnInARow);
    }
    EXPECT_LE(most, FramePace::kMostFramesBehind);
    EXPECT_LE(static_cast<std::uint32_t>(clock.now - pace.Milliseconds()), 10u) << "the pace fell behind the clock";
}

// A preview's frames, 300 ms apart, at the Windows pace: each drawn, each one wake-up.
TEST(FramePace, APreviewWakesOnceAFrameAndDrawsEach)
{
    SleepingClock clock;
    Steered steered(clock);
    FramePace pace(clock, steered, kTick);
    for (int frame = 0; frame < 50; ++frame)
        pace.Pause(300);
    EXPECT_EQ(clock.pauses, 50u);
    EXPECT_EQ(steered.endedDrawn, 50u);
    EXPECT_NEAR((clock.now - 5000) / 50.0, 300.2, 1.0) << "the preview's pace is not the Windows pace";
}

// A display that cannot take the frame at a tick gets it a frame later, not a tick later;
// one that takes nothing for a while (an output switched off) costs a wake-up a tick, and
// draws nothing until it takes frames again.
TEST(FramePace, ABusyDisplayIsAskedAgainSoonAndAnAbsentOneAtTheTicks)
{
    SleepingClock clock;
    Steered steered(clock);
    FramePace pace(clock, steered, kTick);
    RunFor(pace, clock, 1000);
    // Busy at one tick only.
    steered.ready = false;
    while (steered.drawing || steered.ended == 0)
        pace.Pause(5);
    steered.ready = true;
    const std::uint32_t missedAt = clock.now;
    while (!steered.drawing)
        pace.Pause(5);
    EXPECT_LE(clock.now - missedAt, 6u) << "the next frame was not offered soon";

    steered.ready = false;
    const std::uint32_t offAt = clock.now, pausesBefore = clock.pauses, drawnBefore = steered.endedDrawn;
    RunFor(pace, clock, 5000);
    EXPECT_LE(steered.endedDrawn - drawnBefore, 1u);
    EXPECT_LE(clock.pauses - pausesBefore, (clock.now - offAt) * 1000.0 / kTick * 2 + 2);
    EXPECT_NEAR(steered.ended / ((clock.now - 5000) / 1000.0), kFramesPerSecond, kFramesPerSecond * 0.01);
    steered.ready = true;
    RunFor(pace, clock, 100);
    EXPECT_GE(steered.endedDrawn - drawnBefore, 5u);
}

}  // namespace
