#pragma once

// The Windows saver makes a frame, then pauses (5 ms, 300 ms in a preview), over and over.
// A browser paints at the display's rate instead; at every paint the page runs as many
// frames as the Windows pace would have made since the last one, so the discs move as
// fast as on Windows. Time left over carries to the next paint. At most `bound` frames a
// paint: a page that was hidden or stalled goes on from where it stood instead of piling
// up frames.
class FramePacer {
public:
    FramePacer(double pauseMs, int bound) : pauseMs_(pauseMs), bound_(bound) {}

    // The frames to run at a paint at this time (milliseconds, never going back). The
    // first paint runs one.
    int FramesAt(double nowMs);

private:
    double pauseMs_;
    int bound_;
    double last_ = 0;
    double carry_ = 0;
    bool started_ = false;
};
