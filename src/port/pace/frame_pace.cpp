#include "port/pace/frame_pace.h"

#include <algorithm>

FramePace::FramePace(Clock& clock, SteppedDrawing& drawing, std::uint32_t tickMicros)
    : clock_(clock), steered_(drawing), tickMicros_(tickMicros == 0 ? 1 : tickMicros),
      start_(clock.Milliseconds()), lastReading_(start_)
{
}

std::uint64_t FramePace::NowMicros()
{
    // The clock's readings wrap at 32 bits; the differences do not.
    const std::uint32_t reading = clock_.Milliseconds();
    elapsed_ += std::uint64_t{static_cast<std::uint32_t>(reading - lastReading_)} * 1000u;
    lastReading_ = reading;
    return elapsed_;
}

std::uint32_t FramePace::Milliseconds()
{
    if (!started_)
        return clock_.Milliseconds();
    return start_ + static_cast<std::uint32_t>(due_ / 1000u);
}

void FramePace::Pause(std::uint32_t milliseconds)
{
    if (drawing_) {
        steered_.EndFrame();
        ++drawnFrames_;
    }
    const std::uint64_t period = std::uint64_t{milliseconds} * 1000u + kFrameWorkMicros;
    if (!started_) {
        started_ = true;
        due_ = NowMicros();
        batchEnd_ = due_;
    }
    due_ += period;
    const std::uint64_t now = NowMicros();
    if (due_ + kMostFramesBehind * period < now)
        due_ = now;
    if (due_ > batchEnd_) {
        // The frames due at the last wake-up have run. The next wake-up is the first tick
        // at or after the next frame's due time, and after the last wake-up; or, after a
        // frame the display could not take, that due time itself. Frames further apart
        // than ticks (a preview's) each come at their own time.
        std::uint64_t wake = std::max(due_, batchEnd_ + 1);
        if (misses_ != 1 && period < tickMicros_)
            wake = (wake + tickMicros_ - 1) / tickMicros_ * tickMicros_;
        if (wake > now)
            clock_.Pause(static_cast<std::uint32_t>((wake - now + 999u) / 1000u));
        // Every frame due by now runs in this batch.
        batchEnd_ = std::max(NowMicros(), due_);
    }
    // Drawn only when it is the batch's last frame and the display can take it.
    const bool last = due_ + period > batchEnd_;
    const bool drawn = last && steered_.Ready();
    if (last)
        misses_ = drawn ? 0 : misses_ + 1;
    drawing_ = drawn;
    steered_.SetDrawing(drawn);
}
