// The X side of windows, the cursor and the main thread's painting.

#include <algorithm>
#include <cstdio>

#include "port/x11/x11_state.h"
#include "port/x11/x11_xlib_surface.h"

namespace {

constexpr long kFullScreenEvents = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                                   ExposureMask | StructureNotifyMask;
// Another program's window, or our child inside one, is only painted: its input belongs
// to its owner, and a child that took the clicks would take them from its parent.
constexpr long kPaintOnlyEvents = ExposureMask | StructureNotifyMask;
// A window over another monitor never has the keyboard, so it hears of no focus change.
constexpr long kCoverEvents = KeyPressMask | ButtonPressMask | PointerMotionMask | ExposureMask | StructureNotifyMask;

Window MakeXWindow(Window parent, int x, int y, int width, int height, bool overrideRedirect, long events)
{
    X11Display& d = X();
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
    X11Display& d = X();
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

std::unique_ptr<DesktopWindow> display::MakeWindow(const WindowRequest& request)
{
    X11Display& d = X();
    auto record = std::make_unique<X11Window>();
    if ((request.style & WS_CHILD) != 0) {
        // The parent is another program's and may have gone since it was looked at. Made
        // inside it, the child hears of the parent's end; made too late, it is not there
        // at all, and no event would ever say so: the creation fails instead.
        BeginErrorTrap();
        const Window child = MakeXWindow(XRecord(request.parent).xid, request.x, request.y, request.width,
                                         request.height, false, kPaintOnlyEvents);
        if (EndErrorTrap())
            return nullptr;
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
        if (d.drawOn == d.root && Desk().monitors.size() > 1)
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
        const bool activates = (request.exStyle & WS_EX_NOACTIVATE) == 0;
        const ScreenRect& primary = PrimaryMonitor();
        record->xid = MakeXWindow(d.root, request.x + primary.x, request.y + primary.y, request.width, request.height,
                                  true, activates ? kFullScreenEvents : kCoverEvents);
        record->ownWindow = true;
        record->fullScreen = activates;
    }
    if (record->ownWindow && request.name != nullptr)
        XStoreName(d.display, record->xid, request.name);
    return record;
}

void display::DestroyWindow(DesktopWindow& window)
{
    // Another program's window is left as it is: what we selected on it goes with our
    // connection, and its owner may already have destroyed it.
    if (window.ownWindow && !window.goneFromOutside) {
        XDestroyWindow(X().display, XRecord(window).xid);
        XFlush(X().display);
    }
}

void display::UpdateWindow(HWND window)
{
    // Win32 paints at once whatever is waiting to be painted. Here that is the exposures
    // the server has reported so far, and, for a window taken over, the whole of it.
    X11Display& d = X();
    X11Window& w = XRecord(window);
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
}

void display::ShowWindow(DesktopWindow& window)
{
    XMapWindow(X().display, XRecord(window).xid);
    XFlush(X().display);
}

bool display::ClientSize(DesktopWindow& window, int* width, int* height)
{
    const X11Window& w = XRecord(window);
    if (!QueryWindow(w.xid, width, height, nullptr))
        return false;
    if (w.view) {
        *width = w.view->width;
        *height = w.view->height;
    }
    return true;
}

void display::ShowCursor(bool shown)
{
    X11Display& d = X();
    for (auto& w : Desk().windows) {
        if (!w->alive || !w->ownWindow)
            continue;
        if (shown)
            XUndefineCursor(d.display, XRecord(*w).xid);
        else
            XDefineCursor(d.display, XRecord(*w).xid, BlankCursor());
    }
    XFlush(d.display);
}

POINT display::CursorPosition()
{
    X11Display& d = X();
    Window rootReturn = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    XQueryPointer(d.display, d.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
    return POINT{rootX - PrimaryMonitor().x, rootY - PrimaryMonitor().y};
}

void display::Fill(DesktopWindow& window, const RECT& rect, COLORREF colour)
{
    X11Display& d = X();
    X11Window& w = XRecord(window);
    auto pixel = d.pixels.find(colour);
    if (pixel == d.pixels.end())
        pixel = d.pixels.emplace(colour, PixelFor(d.display, d.screen, colour)).first;
    XSetForeground(d.display, d.eraseGc, pixel->second);
    int x = rect.left;
    int y = rect.top;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
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
    // Done before the animation thread hears of it, so that what it draws again after the
    // erase reaches the server after it, whichever connection the server reads first.
    XSync(d.display, False);
}
