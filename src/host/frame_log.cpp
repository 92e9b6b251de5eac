#include "host/frame_log.h"

#include <cstdio>

void FrameLoggingClock::Pause(std::uint32_t milliseconds)
{
    lastFrameMs_ = clock_.Milliseconds();
    if (frames_++ == 0)
        firstFrameMs_ = lastFrameMs_;
    clock_.Pause(milliseconds);
}

FrameLoggingClock::~FrameLoggingClock()
{
    if (std::FILE* file = std::fopen(path_, "w")) {
        std::fprintf(file, "frames=%u first_frame_ms=%u last_frame_ms=%u\n", static_cast<unsigned>(frames_),
                     static_cast<unsigned>(firstFrameMs_), static_cast<unsigned>(lastFrameMs_));
        std::fclose(file);
    }
}
