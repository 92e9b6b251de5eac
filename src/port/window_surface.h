#pragma once

#include <memory>

#include "desktop_api.h"
#include "sim/clock.h"
#include "sim/surface.h"

// The animation thread's surface on the saver window: it takes a drawing context of its
// own when it opens and lets it go when it is destroyed, on that same thread. Brushes
// are the platform's brush handles, so the background brush made by the main thread
// can be handed in as it is.
std::unique_ptr<Surface> OpenWindowSurface(HWND window);

// How the animation keeps its pace on a surface OpenWindowSurface opened.
struct WindowPace {
    Clock& clock;                      // what the frame loop reads and pauses with
    const std::uint32_t* drawnFrames;  // how many frames were drawn, where not all are; else null
};
// On Windows the system clock itself, every frame drawn. On Linux the surface's own pace
// in front of it, which draws only the frames the display can show.
WindowPace PaceOf(Surface& surface, Clock& systemClock);
