#pragma once

#include <cstdint>

#include "sim/clock.h"

// What the pace steers: drawing whose frames can be left undrawn.
class SteppedDrawing {
public:
    virtual ~SteppedDrawing() = default;
    // A drawn frame is complete: what it drew is to be shown. What a frame left undrawn
    // sent (text mended, erasures where text is) is shown with the next drawn one.
    virtual void EndFrame() = 0;
    // Whether the display would take a frame drawn now.
    virtual bool Ready() = 0;
    // The coming frame is drawn, or left undrawn. Called between frames.
    virtual void SetDrawing(bool drawing) = 0;
};

// The Linux saver's pace, in front of the system clock. The Windows saver draws a frame,
// pauses 5 ms and goes on, some 190 frames a second, for a display that shows 60. Here
// every frame still runs, due at that same pace: a frame is due one pause and
// kFrameWorkMicros after the one before, which is what a frame and the wake-up after
// its pause took on the machines it was measured on. But the thread wakes only at the
// display's ticks, runs there the frames that have come due since, back to back, and
// draws only the last of them (frames further apart than ticks, a preview's, come each
// at its own time). So the varbules move at the Windows pace while the
// display gets a picture at each of its ticks and the processor wakes once a tick.
//
// Readings are the due time of the frame in progress, so the rate counts the actions of
// the frames due in its interval, not of those that happened to run in it. A frame that
// cannot be drawn at its tick because the display is still busy with the last is
// stepped, and the next is tried at its own due time rather than a tick later; a display
// that takes nothing for longer (an output switched off) is asked at the ticks. A thread
// that fell more than kMostFramesBehind frames behind (a stopped process, a starved
// machine) goes on from where it stands instead of racing to catch up.
class FramePace final : public Clock {
public:
    static constexpr std::uint32_t kFrameWorkMicros = 200;
    static constexpr std::uint32_t kMostFramesBehind = 8;

    // Ticks every tickMicros, counted from now.
    FramePace(Clock& clock, SteppedDrawing& drawing, std::uint32_t tickMicros);

    // Until the first frame ends, the clock's own readings: the pace starts there.
    std::uint32_t Milliseconds() override;
    // The end of a frame, whose pause says the pace: waits for the tick at or after the
    // next frame's due time, unless that frame is due already.
    void Pause(std::uint32_t milliseconds) override;

    const std::uint32_t& drawnFrames() const { return drawnFrames_; }

private:
    std::uint64_t NowMicros();

    Clock& clock_;
    SteppedDrawing& steered_;
    std::uint64_t tickMicros_;
    std::uint32_t start_;           // the clock's reading at the start
    std::uint64_t elapsed_ = 0;     // the clock's time since the start, in microseconds
    std::uint32_t lastReading_;
    bool started_ = false;          // the first frame has ended
    std::uint64_t due_ = 0;         // when the frame in progress was due
    std::uint64_t batchEnd_ = 0;    // frames due by then run back to back: the last wake-up
    std::uint32_t misses_ = 0;      // frames in a row the display could not take
    bool drawing_ = true;           // the frame in progress is drawn; the first always is
    std::uint32_t drawnFrames_ = 0; // frames drawn to their end
};
