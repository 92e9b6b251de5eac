#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>

#include "port/linux/screen_rect.h"
#include "port/display_surface.h"

// Whether the environment asks for the MIT-SHM drawing (VARBULES_X11_DRAWING=shm).
bool ShmDrawingWanted();

// The animation's surface on a picture the X server shares, on a connection of its own;
// none where the server cannot share memory with us. The client area is the view, when
// there is one, else the whole window.
std::unique_ptr<DisplaySurface> OpenShmSurface(const char* displayName, Window window, const std::optional<ScreenRect>& view);
