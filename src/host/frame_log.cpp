#include "host/frame_log.h"

#include <cstdio>

void FrameLoggingClock::Pause(std::uint32_t milliseconds)
{
    lastFrameMs_ = clock_.Milliseconds();
    if (frames_++ == 0) {
        firstFrameMs_ = lastFrameMs_;
        firstFrameUnixMs_ = wallClock_();
    }
    clock_.Pause(milliseconds);
}

FrameLoggingClock::~FrameLoggingClock()
{
    char drawn[24] = "";
    if (drawnFrames_ != nullptr)
        std::sprintf(drawn, " drawn=%u", static_cast<unsigned>(*drawnFrames_));
    if (std::FILE* file = std::fopen(path_, "w")) {
        // The C runtimes of old Windows print no 64-bit number: the wall clock in two halves.
        std::fprintf(file, "frames=%u first_frame_ms=%u last_frame_ms=%u first_frame_unix_ms=%u%03u%s\n",
                     static_cast<unsigned>(frames_), static_cast<unsigned>(firstFrameMs_),
                     static_cast<unsigned>(lastFrameMs_), static_cast<unsigned>(firstFrameUnixMs_ / 1000u),
                     static_cast<unsigned>(firstFrameUnixMs_ % 1000u), drawn);
        std::fclose(file);
    }
}
