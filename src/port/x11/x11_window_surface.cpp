// The animation thread's surface on the saver window: Xlib's drawing, or MIT-SHM's where
// it is built in and asked for.

#include "port/x11/x11_shm_surface.h"
#include "port/x11/x11_state.h"
#include "port/x11/x11_xlib_surface.h"

std::unique_ptr<DisplaySurface> display::OpenSurface(HWND window)
{
    // Only what the main thread wrote before it started this thread is read here: the
    // display's name, the window's X id and its view.
    const X11Window& w = XRecord(window);
    if (ShmDrawingWanted()) {
        if (auto shm = OpenShmSurface(X().displayName.c_str(), w.xid, w.view))
            return shm;
    }
    return OpenXlibSurface(XOpenDisplay(X().displayName.c_str()), w.xid, w.view);
}

std::uint32_t display::FramePeriodMicros(HWND)
{
    return X().framePeriodMicros;
}
