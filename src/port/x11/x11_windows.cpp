// Windows, the cursor and the main thread's painting, in Win32 terms on top of Xlib.

#include <algorithm>
#include <cstdio>

#include "port/x11/x11_state.h"

namespace {

constexpr long kFullScreenEvents = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                                   ExposureMask | StructureNotifyMask;
// Another program's window, or our child inside one, is only painted: its input belongs
// to its owner, and a child that took the clicks would take them from its parent.
constexpr long kPaintOnlyEvents = ExposureMask | StructureNotifyMask;
// A window over another monitor never has the keyboard, so it hears of no focus change.
constexpr long kCoverEvents = KeyPressMask | ButtonPressMask | PointerMotionMask | ExposureMask | StructureNotifyMask;

SolidBrush stockBlack{0x00000000, std::nullopt, nullptr};

Window MakeXWindow(Window parent, int x, int y, int width, int height, bool overrideRedirect, long events)
{
    X11Desktop& d = Desk();
    XSetWindowAttributes attributes{};
    // The saver paints the background itself on every erase; a server-painted background
    // would flash in another colour first.
    attributes.background_pixmap = None;
    attributes.override_redirect = overrideRedirect ? True : False;
    attributes.event_mask = events;
    const auto w = static_cast<unsigned>(width > 0 ? width : 1);
    const auto h = static_cast<unsigned>(height > 0 ? height : 1);
    return XCreateWindow(d.display, parent, x, y, w, h, 0, CopyFromParent, InputOutput, CopyFromParent,
                         CWBackPixmap | CWOverrideRedirect | CWEventMask, &attributes);
}

Cursor BlankCursor()
{
    X11Desktop& d = Desk();
    if (d.blankCursor == None) {
        static const char noBits[1] = {0};
        const Pixmap empty = XCreateBitmapFromData(d.display, d.root, noBits, 1, 1);
        XColor black{};
        d.blankCursor = XCreatePixmapCursor(d.display, empty, empty, &black, &black, 0, 0);
        XFreePixmap(d.display, empty);
    }
    return d.blankCursor;
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr)
        return 0;
    Desk().classes[windowClass->lpszClassName] = *windowClass;
    return static_cast<ATOM>(Desk().classes.size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID)
{
    X11Desktop& d = Desk();
    const auto found = d.classes.find(className != nullptr ? className : "");
    if (found == d.classes.end())
        return nullptr;

    auto record = std::make_unique<X11Window>();
    record->procedure = found->second.lpfnWndProc;
    if ((style & WS_CHILD) != 0) {
        if (parent == nullptr || !Record(parent).alive)
            return nullptr;
        // The parent is another program's and may have gone since it was looked at. Made
        // inside it, the child hears of the parent's end; made too late, it is not there
        // at all, and no event would ever say so: the creation fails instead.
        BeginErrorTrap();
        const Window child = MakeXWindow(Record(parent).xid, x, y, width, height, false, kPaintOnlyEvents);
        if (EndErrorTrap())
            return nullptr;
        record->parent = parent;
        record->xid = child;
        record->ownWindow = true;
    } else if (d.drawOn != None) {
        // Taken over, not made: what stands in it now is ours to paint over. Once we have
        // asked for its events we hear of its destruction; if it is already gone, that
        // request fails and so does the creation.
        record->xid = d.drawOn;
        record->needsErase = true;
        // On the root window of several monitors the animation keeps to the primary one;
        // the erase blanks the rest.
        if (d.drawOn == d.root && d.monitors.size() > 1)
            record->view = PrimaryMonitor();
        ExpectErrorsAbout(record->xid);
        BeginErrorTrap();
        XSelectInput(d.display, record->xid, kPaintOnlyEvents);
        if (EndErrorTrap())
            return nullptr;
    } else {
        // Full screen: the window manager leaves an override-redirect window alone, so it
        // stays where it is put, undecorated and above the windows it manages. Screen
        // coordinates start at the primary monitor's top left. A window that is never to
        // be activated (one over another monitor) leaves the keyboard to the saver window.
        const bool activates = (exStyle & WS_EX_NOACTIVATE) == 0;
        const ScreenRect& primary = PrimaryMonitor();
        record->xid = MakeXWindow(d.root, x + primary.x, y + primary.y, width, height, true,
                                  activates ? kFullScreenEvents : kCoverEvents);
        record->ownWindow = true;
        record->fullScreen = activates;
    }
    if (record->ownWindow && windowName != nullptr)
        XStoreName(d.display, record->xid, windowName);

    d.windows.push_back(std::move(record));
    HWND handle = Handle(*d.windows.back());
    if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (d.windowCreated != nullptr)
        d.windowCreated(handle);
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    if (window == nullptr)
        return FALSE;
    X11Window& w = Record(window);
    if (!w.alive || w.destroying || w.procedure == nullptr)
        return FALSE;
    // As on Windows, the window hears of its end first and its children after it. The X
    // window stays until the procedures are done, so an animation that finishes its frame
    // meanwhile still draws into a live window.
    w.destroying = true;
    w.procedure(window, WM_DESTROY, 0, 0);
    X11Desktop& d = Desk();
    for (std::size_t i = 0; i < d.windows.size(); ++i) {
        X11Window& child = *d.windows[i];
        if (child.parent == window && child.alive) {
            child.goneFromOutside = child.goneFromOutside || w.goneFromOutside;
            DestroyWindow(Handle(child));
        }
    }
    w.alive = false;
    // Another program's window is left as it is: what we selected on it goes with our
    // connection, and its owner may already have destroyed it.
    if (w.ownWindow && !w.goneFromOutside) {
        XDestroyWindow(d.display, w.xid);
        XFlush(d.display);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    // Win32 paints at once whatever is waiting to be painted. Here that is the exposures
    // the server has reported so far, and, for a window taken over, the whole of it.
    X11Desktop& d = Desk();
    X11Window& w = Record(window);
    if (!w.alive)
        return FALSE;
    XSync(d.display, False);
    bool erase = w.needsErase;
    XEvent event;
    while (XCheckTypedWindowEvent(d.display, w.xid, Expose, &event))
        erase = true;
    bool viewable = false;
    if (erase && QueryWindow(w.xid, nullptr, nullptr, &viewable) && viewable) {
        w.needsErase = false;
        SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DcOf(window)), 0);
    }
    return TRUE;
}

BOOL ShowWindow(HWND window, int)
{
    X11Window& w = Record(window);
    if (!w.alive || !w.ownWindow)
        return FALSE;
    XMapWindow(Desk().display, w.xid);
    XFlush(Desk().display);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    int width = 0;
    int height = 0;
    const bool exists = window != nullptr && QueryWindow(Record(window).xid, &width, &height, nullptr);
    if (exists && Record(window).view) {
        width = Record(window).view->width;
        height = Record(window).view->height;
    }
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
    return nullptr;  // X windows of a screen saver show no icon
}

BOOL SystemParametersInfoA(UINT, UINT, LPVOID, UINT)
{
    return FALSE;  // there is no system-wide screen-saver state to report to under X
}

HCURSOR SetCursor(HCURSOR cursor)
{
    // Windows has one cursor for the whole screen; here each window of the program gets
    // it. Windows taken over from another program keep theirs.
    X11Desktop& d = Desk();
    for (auto& w : d.windows) {
        if (!w->alive || !w->ownWindow)
            continue;
        if (cursor == nullptr)
            XDefineCursor(d.display, w->xid, BlankCursor());
        else
            XUndefineCursor(d.display, w->xid);
    }
    XFlush(d.display);
    return nullptr;
}

BOOL GetCursorPos(POINT* point)
{
    X11Desktop& d = Desk();
    Window rootReturn = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    XQueryPointer(d.display, d.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
    *point = POINT{rootX - PrimaryMonitor().x, rootY - PrimaryMonitor().y};
    return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    X11Desktop& d = Desk();
    d.brushes.push_back(std::make_unique<SolidBrush>(SolidBrush{colour, std::nullopt, nullptr}));
    return reinterpret_cast<HBRUSH>(d.brushes.back().get());
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
    X11Desktop& d = Desk();
    X11Window& w = Record(reinterpret_cast<HWND>(dc));
    SolidBrush& b = *reinterpret_cast<SolidBrush*>(brush);
    if (!b.mainPixel)
        b.mainPixel = PixelFor(d.display, d.screen, b.colour);
    XSetForeground(d.display, d.eraseGc, *b.mainPixel);
    int x = rect->left;
    int y = rect->top;
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (w.view) {
        // The client area is the primary monitor's part of the window. Its whole erase is
        // the whole window's, which blanks the monitors beside it too.
        const ScreenRect& v = *w.view;
        const bool whole = x <= 0 && y <= 0 && x + width >= v.width && y + height >= v.height;
        if (!whole || !QueryWindow(w.xid, &width, &height, nullptr)) {
            x += v.x;
            y += v.y;
        } else {
            x = 0;
            y = 0;
        }
    }
    XFillRectangle(d.display, w.xid, d.eraseGc, x, y, static_cast<unsigned>(std::max(width, 0)),
                   static_cast<unsigned>(std::max(height, 0)));
    XFlush(d.display);
    return 1;
}
