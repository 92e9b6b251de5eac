#pragma once

#include <memory>

#include "desktop_api.h"
#include "sim/surface.h"

// The animation thread's surface on the saver window: it takes a drawing context of its
// own when it opens and lets it go when it is destroyed, on that same thread. Brushes
// are the platform's brush handles, so the background brush made by the main thread
// can be handed in as it is.
std::unique_ptr<Surface> OpenWindowSurface(HWND window);
