// X events read as the window messages Win32 would have delivered. Main thread only.

#include <poll.h>

#include "port/x11/event_translation.h"
#include "port/x11/x11_state.h"

namespace {

MSG MessageFor(HWND window, const TranslatedEvent& t)
{
    MSG message{};
    message.hwnd = window;
    message.message = t.message;
    message.wParam = t.wParam;
    message.lParam = t.lParam;
    message.pt = t.screenPoint;
    if (t.message == WM_ERASEBKGND)
        message.wParam = reinterpret_cast<WPARAM>(DcOf(window));
    return message;
}

// The full-screen window takes the keyboard once it can be seen, as the foreground window
// would on Windows; without a window manager the focus would otherwise follow the pointer.
void TakeKeyboard(X11Window& w)
{
    X11Display& d = X();
    if (XGrabKeyboard(d.display, w.xid, True, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess)
        XSetInputFocus(d.display, w.xid, RevertToPointerRoot, CurrentTime);
}

// Returns true with a message to hand out, or false if the event meant nothing (or was
// dealt with here).
bool ReadEvent(const XEvent& event, MSG* out)
{
    X11Display& d = X();
    HWND window = WindowForXid(event.xany.window);
    if (window == nullptr)
        return false;
    X11Window& w = XRecord(window);
    const TranslatedEvent t = TranslateEvent(event, d.wmDeleteWindow);
    switch (t.meaning) {
    case EventMeaning::Nothing:
        return false;
    case EventMeaning::Mapped:
        if (w.fullScreen)
            TakeKeyboard(w);
        return false;
    case EventMeaning::Gone:
        // The window went with its parent or its owner. The animation may still draw into
        // it until it has finished its frame: the errors that causes are expected.
        ExpectWindowGone();
        w.goneFromOutside = true;
        if (w.procedure != nullptr)
            DestroyWindow(window);
        // Whatever else stood for the same window is gone with it.
        for (auto& other : Desk().windows) {
            if (other->alive && XRecord(*other).xid == w.xid && other->procedure == nullptr) {
                other->goneFromOutside = true;
                other->alive = false;
            }
        }
        return false;
    case EventMeaning::Message:
        if (t.message == WM_ERASEBKGND)
            w.needsErase = false;
        *out = MessageFor(window, t);
        return true;
    }
    return false;
}

}  // namespace

bool display::TakeMessage(MSG* message)
{
    Display* display = X().display;
    // Messages the events posted (a window gone from outside posts the quit) are handed
    // out before any later event is read.
    while (Desk().posted.empty() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (ReadEvent(event, message))
            return true;
    }
    return false;
}

void display::WaitForEvents(int wakeFd)
{
    pollfd fds[2] = {{ConnectionNumber(X().display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    poll(fds, 2, -1);
}
