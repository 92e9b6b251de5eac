// The monitors, in Win32's terms: GetSystemMetrics' screen is the primary monitor, and
// USER32's EnumDisplayMonitors and GetMonitorInfoA, which the host looks up by name,
// list them all. Screen coordinates are Win32's: the primary monitor's top-left corner is
// (0, 0), wherever it stands in the display's own coordinates.

#include <cstdint>
#include <cstring>
#include <strings.h>

#include "port/linux/desktop.h"

namespace {

RECT InScreenCoordinates(const ScreenRect& monitor)
{
    const ScreenRect& primary = PrimaryMonitor();
    const int left = monitor.x - primary.x;
    const int top = monitor.y - primary.y;
    return RECT{left, top, left + monitor.width, top + monitor.height};
}

std::size_t MonitorsShown()
{
    return Desk().coversMonitors ? Desk().monitors.size() : 1;
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
