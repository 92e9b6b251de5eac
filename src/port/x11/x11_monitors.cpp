// The monitors, in Win32's terms: GetSystemMetrics' screen is the primary monitor, and
// USER32's EnumDisplayMonitors and GetMonitorInfoA, which the host looks up by name,
// list them all. Screen coordinates are Win32's: the primary monitor's top-left corner is
// (0, 0), wherever it stands on the X screen.

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <strings.h>

#include "port/x11/x11_state.h"

namespace {

// RandR's primary output, where the screen has one that shows something.
std::optional<ScreenRect> RandrPrimary(Display* display, Window root)
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 103)
        return std::nullopt;
    const RROutput output = XRRGetOutputPrimary(display, root);
    if (output == None)
        return std::nullopt;
    std::optional<ScreenRect> primary;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr)
        return std::nullopt;
    if (XRROutputInfo* info = XRRGetOutputInfo(display, resources, output)) {
        if (info->crtc != None) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
                primary = ScreenRect{crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)};
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(resources);
    return primary;
}

std::vector<ScreenRect> XineramaHeads(Display* display)
{
    std::vector<ScreenRect> heads;
    int event = 0;
    int error = 0;
    if (!XineramaQueryExtension(display, &event, &error) || !XineramaIsActive(display))
        return heads;
    int count = 0;
    if (XineramaScreenInfo* screens = XineramaQueryScreens(display, &count)) {
        for (int k = 0; k < count; ++k)
            heads.push_back(ScreenRect{screens[k].x_org, screens[k].y_org, screens[k].width, screens[k].height});
        XFree(screens);
    }
    return heads;
}

RECT InScreenCoordinates(const ScreenRect& monitor)
{
    const ScreenRect& primary = PrimaryMonitor();
    const int left = monitor.x - primary.x;
    const int top = monitor.y - primary.y;
    return RECT{left, top, left + monitor.width, top + monitor.height};
}

// A saver drawing on a window it was given (the daemon's, the root, a frame) has that
// window for its screen: it covers no monitor of its own.
std::size_t MonitorsShown()
{
    return Desk().drawOn != None ? 1 : Desk().monitors.size();
}

BOOL WINAPI EnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (std::size_t k = 0; k < MonitorsShown(); ++k) {
        RECT bounds = InScreenCoordinates(Desk().monitors[k]);
        if (!callback(reinterpret_cast<HMONITOR>(k + 1), nullptr, &bounds, data))
            return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    const std::size_t k = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    if (info == nullptr || info->cbSize < sizeof(MONITORINFO) || k >= MonitorsShown())
        return FALSE;
    info->rcMonitor = info->rcWork = InScreenCoordinates(Desk().monitors[k]);
    info->dwFlags = k == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

template <typename Function>
FARPROC Export(Function function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

int user32;  // its address is USER32's module handle

}  // namespace

void ReadMonitors()
{
    X11Desktop& d = Desk();
    const ScreenRect whole{0, 0, DisplayWidth(d.display, d.screen), DisplayHeight(d.display, d.screen)};
    d.monitors = OrderMonitors(XineramaHeads(d.display), RandrPrimary(d.display, d.root), whole);
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return PrimaryMonitor().width;
    case SM_CYSCREEN:
        return PrimaryMonitor().height;
    default:
        return 0;
    }
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    if (name != nullptr && (strcasecmp(name, "USER32") == 0 || strcasecmp(name, "USER32.DLL") == 0))
        return reinterpret_cast<HMODULE>(&user32);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module != reinterpret_cast<HMODULE>(&user32) || name == nullptr)
        return nullptr;
    if (std::strcmp(name, "EnumDisplayMonitors") == 0)
        return Export(EnumDisplayMonitors);
    if (std::strcmp(name, "GetMonitorInfoA") == 0)
        return Export(GetMonitorInfoA);
    return nullptr;
}
