#pragma once

#include "sim/surface.h"

// The animation's drawing as a Linux display gives it: a surface that is told when a frame
// is complete, and can tell whether it would take another now.
class DisplaySurface : public Surface {
public:
    // A frame is complete: what it drew is to be shown (sent to the X server, handed to
    // the compositor).
    virtual void EndFrame() = 0;
    // Whether the display would take a frame drawn now; one it would not is better left
    // undrawn (a compositor that has not yet shown the last picture).
    virtual bool WantsFrame() { return true; }
    // The colour the window's owner erases it with. A display that knows where its window
    // can hold nothing else may fill more than a region with it, where that is cheaper.
    virtual void SetWindowBackground(Colour) {}
};
