#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>

#include "port/display_surface.h"
#include "port/linux/screen_rect.h"
#include "sim/surface.h"

// A colour's pixel in the screen's default colour map (white where none can be had).
unsigned long PixelFor(Display* display, int screen, Colour colour);

// The animation's surface on a window, drawn with Xlib's own requests on the connection
// given, which it owns from then on (it closes it); none, where it is null. The client
// area is the view, when there is one, else the whole window.
std::unique_ptr<DisplaySurface> OpenXlibSurface(Display* display, Window window, const std::optional<ScreenRect>& view);
