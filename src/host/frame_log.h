#pragma once

#include "sim/clock.h"

// For measuring a running saver from outside: counts the frames (one pause each) and,
// when destroyed, writes "frames=N first_frame_ms=T1 last_frame_ms=T2 first_frame_unix_ms=U"
// to the given file, the times being clock readings when the first and the last frame
// were done, and the wall clock's (milliseconds since 1970, from wallClock) when the
// first was; and " drawn=N" after it where a count of the frames drawn is given. Only used when the environment asks for it, so a normal run makes no extra
// call per frame.
class FrameLoggingClock final : public Clock {
public:
    using WallClock = std::uint64_t (*)();
    FrameLoggingClock(Clock& clock, const char* path, WallClock wallClock,
                      const std::uint32_t* drawnFrames = nullptr)
        : clock_(clock), path_(path), wallClock_(wallClock), drawnFrames_(drawnFrames)
    {
    }
    ~FrameLoggingClock() override;
    FrameLoggingClock(const FrameLoggingClock&) = delete;
    FrameLoggingClock& operator=(const FrameLoggingClock&) = delete;

    std::uint32_t Milliseconds() override { return clock_.Milliseconds(); }
    void Pause(std::uint32_t milliseconds) override;

private:
    Clock& clock_;
    const char* path_;
    WallClock wallClock_;
    const std::uint32_t* drawnFrames_;
    std::uint64_t firstFrameUnixMs_ = 0;
    std::uint32_t frames_ = 0;
    std::uint32_t firstFrameMs_ = 0;
    std::uint32_t lastFrameMs_ = 0;
};
