#include "port/web/frame_pacer.h"

#include <cmath>

int FramePacer::FramesAt(double nowMs)
{
    if (!started_) {
        started_ = true;
        last_ = nowMs;
        return 1;
    }
    const double elapsed = std::fmax(nowMs - last_, 0.0) + carry_;
    last_ = nowMs;
    const double due = std::floor(elapsed / pauseMs_);
    if (due >= bound_) {
        carry_ = 0;
        return bound_;
    }
    carry_ = elapsed - due * pauseMs_;
    return static_cast<int>(due);
}
