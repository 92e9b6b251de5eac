#include "host/monitor_covers.h"

#include "globals/saver_globals.h"
#include "host/proc_address.h"
#include "host/saver_procs.h"

namespace {

// Windows 98 and 2000 brought these; Windows 95 and NT 4.0 lack them, so they are looked
// up when needed instead of imported.
using EnumDisplayMonitorsProc = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

struct OtherMonitors {
    GetMonitorInfoProc getInfo = nullptr;
    RECT rects[kMaxCoverWindows] = {};
    std::int32_t count = 0;
    bool unreadable = false;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data)
{
    OtherMonitors& others = *reinterpret_cast<OtherMonitors*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (others.getInfo(monitor, &info) == 0) {
        others.unreadable = true;
        return FALSE;
    }
    if ((info.dwFlags & MONITORINFOF_PRIMARY) == 0 && others.count < kMaxCoverWindows)
        others.rects[others.count++] = info.rcMonitor;
    return TRUE;
}

// The whole list is read before anything is made: a list that breaks off halfway counts
// as unreadable, so no monitor is covered on its word.
bool ReadOtherMonitors(OtherMonitors& others)
{
    HMODULE user = GetModuleHandleA("USER32");
    const auto enumerate = ProcAddress<EnumDisplayMonitorsProc>(user, "EnumDisplayMonitors");
    others.getInfo = ProcAddress<GetMonitorInfoProc>(user, "GetMonitorInfoA");
    if (enumerate == nullptr || others.getInfo == nullptr)
        return false;
    return enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&others)) != 0 && !others.unreadable;
}

void RegisterCoverClass()
{
    // Registered again on every covering; a class that is there already stays as it is.
    WNDCLASSA coverClass{};
    coverClass.style = CS_VREDRAW | CS_HREDRAW;
    coverClass.lpfnWndProc = CoverWindowProc;
    coverClass.hInstance = saver.saverInstance;
    coverClass.hCursor = nullptr;
    coverClass.hbrBackground = nullptr;  // painted on WM_ERASEBKGND, in the saver's colour
    coverClass.lpszClassName = kCoverClassName;
    RegisterClassA(&coverClass);
}

}  // namespace

void CoverOtherMonitors()
{
    OtherMonitors others;
    if (!ReadOtherMonitors(others) || others.count == 0)
        return;
    RegisterCoverClass();
    for (std::int32_t k = 0; k < others.count && saver.coverCount < kMaxCoverWindows; ++k) {
        const RECT& r = others.rects[k];
        // Top-most like the saver window, off the taskbar, and never activated: the
        // keyboard stays with the saver window.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClassName, "",
                                     WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                     saver.saverInstance, nullptr);
        if (cover == nullptr)
            continue;
        saver.coverWindows[saver.coverCount++] = cover;
        ShowWindow(cover, SW_SHOWNOACTIVATE);
        UpdateWindow(cover);
    }
}

void UncoverMonitors()
{
    while (saver.coverCount > 0) {
        HWND cover = saver.coverWindows[--saver.coverCount];
        saver.coverWindows[saver.coverCount] = nullptr;
        DestroyWindow(cover);
    }
}

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, saver.backgroundBrush);
        return 1;
    }
    case WM_SETCURSOR:
        if (saver.checkingPassword != 0)
            break;  // the password dialog wants its cursor
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The saver window judges it as its own input: a key or a button asks for the
        // close, a move only when the cursor left where it stood.
        SendMessageA(saver.saverWindow, message, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (wParam == 0)
            SendMessageA(saver.saverWindow, message, 0, 0);
        break;
    case WM_SYSCOMMAND:
        if (IsSwitchAwayCommand(wParam))
            return 0;
        break;
    case WM_CLOSE:
        // Asked to close, as the saver window might be: the same request, taken the same
        // way (and ignored while the password is being checked).
        SendMessageA(saver.saverWindow, WM_CLOSE, 0, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
