// The Xlib drawing alone: the MIT-SHM drawing is built in only for measuring it
// (VARBULES_X11_SHM), since it would add the picture's code and glyphs to every run.

#include "port/x11/x11_shm_surface.h"

bool ShmDrawingWanted()
{
    return false;
}

std::unique_ptr<DisplaySurface> OpenShmSurface(const char*, Window, const std::optional<ScreenRect>&)
{
    return nullptr;
}
