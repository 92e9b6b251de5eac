// Window classes and records, their procedures' order at creation and destruction, the
// cursor and the main thread's painting, in Win32 terms; the display (namespace display)
// does its part.

#include <cstdio>

#include "globals/saver_globals.h"
#include "port/linux/desktop.h"
#include "port/pace/paced_window_surface.h"
#include "port/window_surface.h"

namespace {

Desktop desktop;
SolidBrush stockBlack{0x00000000};

}  // namespace

Desktop& Desk()
{
    return desktop;
}

HWND AddWindow(std::unique_ptr<DesktopWindow> window)
{
    desktop.windows.push_back(std::move(window));
    return Handle(*desktop.windows.back());
}

void SetWindowCreatedHook(WindowCreatedHook hook)
{
    desktop.windowCreated = hook;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr)
        return 0;
    desktop.classes[windowClass->lpszClassName] = *windowClass;
    return static_cast<ATOM>(desktop.classes.size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID)
{
    const auto found = desktop.classes.find(className != nullptr ? className : "");
    if (found == desktop.classes.end())
        return nullptr;
    if ((style & WS_CHILD) != 0 && (parent == nullptr || !Record(parent).alive))
        return nullptr;

    std::unique_ptr<DesktopWindow> record =
        display::MakeWindow(WindowRequest{exStyle, style, windowName, x, y, width, height, parent});
    if (record == nullptr)
        return nullptr;
    record->procedure = found->second.lpfnWndProc;
    if ((style & WS_CHILD) != 0)
        record->parent = parent;
    HWND handle = AddWindow(std::move(record));
    if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (desktop.windowCreated != nullptr)
        desktop.windowCreated(handle);
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    if (window == nullptr)
        return FALSE;
    DesktopWindow& w = Record(window);
    if (!w.alive || w.destroying || w.procedure == nullptr)
        return FALSE;
    // As on Windows, the window hears of its end first and its children after it. The
    // display's window stays until the procedures are done, so an animation that
    // finishes its frame meanwhile still draws into a live window.
    w.destroying = true;
    w.procedure(window, WM_DESTROY, 0, 0);
    // Destroying a window adds no record, so plain indices stay valid meanwhile.
    for (std::size_t i = 0; i < desktop.windows.size(); ++i) {
        DesktopWindow& child = *desktop.windows[i];
        if (child.parent == window && child.alive) {
            child.goneFromOutside = child.goneFromOutside || w.goneFromOutside;
            DestroyWindow(Handle(child));
        }
    }
    w.alive = false;
    display::DestroyWindow(w);
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    if (!Record(window).alive)
        return FALSE;
    display::UpdateWindow(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int)
{
    DesktopWindow& w = Record(window);
    if (!w.alive || !w.ownWindow)
        return FALSE;
    display::ShowWindow(w);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    int width = 0;
    int height = 0;
    const bool exists = window != nullptr && display::ClientSize(Record(window), &width, &height);
    *rect = RECT{0, 0, width, height};
    return exists ? TRUE : FALSE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    std::fprintf(stderr, "varbules: %s%s%s\n", caption != nullptr ? caption : "", caption != nullptr ? ": " : "",
                 text != nullptr ? text : "");
    return IDOK;
}

HICON LoadIconA(HINSTANCE, LPCSTR)
{
    return nullptr;  // a screen saver's windows show no icon here
}

BOOL SystemParametersInfoA(UINT, UINT, LPVOID, UINT)
{
    return FALSE;  // there is no system-wide screen-saver state to report to
}

HCURSOR SetCursor(HCURSOR cursor)
{
    // Windows has one cursor for the whole screen; here each window of the program gets
    // it. Windows taken over from another program keep theirs.
    display::ShowCursor(cursor != nullptr);
    return nullptr;
}

BOOL GetCursorPos(POINT* point)
{
    *point = display::CursorPosition();
    return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    desktop.brushes.push_back(std::make_unique<SolidBrush>(SolidBrush{colour}));
    return reinterpret_cast<HBRUSH>(desktop.brushes.back().get());
}

HGDIOBJ GetStockObject(int object)
{
    // The one stock object the saver asks for: its window class's background.
    return object == BLACK_BRUSH ? &stockBlack : nullptr;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (dc == nullptr || rect == nullptr || brush == nullptr)
        return 0;
    DesktopWindow& window = Record(reinterpret_cast<HWND>(dc));
    display::Fill(window, *rect, BrushOf(brush).colour);
    ++window.erasures;
    return 1;
}

std::unique_ptr<Surface> OpenWindowSurface(HWND window)
{
    return std::make_unique<PacedWindowSurface>(display::OpenSurface(window), saver.backgroundColor,
                                                display::FramePeriodMicros(window), &Record(window).erasures);
}

WindowPace PaceOf(Surface& surface, Clock& systemClock)
{
    // The surface OpenWindowSurface made.
    FramePace& pace = static_cast<PacedWindowSurface&>(surface).Pace(systemClock);
    return {pace, &pace.drawnFrames()};
}
