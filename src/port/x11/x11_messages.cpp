// The message queue: messages posted by the program, and X events read as the window
// messages Win32 would have delivered. Main thread only.

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
    X11Desktop& d = Desk();
    if (XGrabKeyboard(d.display, w.xid, True, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess)
        XSetInputFocus(d.display, w.xid, RevertToPointerRoot, CurrentTime);
}

// Returns true with a message to hand out, or false if the event meant nothing (or was
// dealt with here).
bool ReadEvent(const XEvent& event, MSG* out)
{
    X11Desktop& d = Desk();
    HWND window = WindowForXid(event.xany.window);
    if (window == nullptr)
        return false;
    X11Window& w = Record(window);
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
        for (auto& other : d.windows) {
            if (other->alive && other->xid == w.xid && other->procedure == nullptr) {
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

void WaitForInput()
{
    X11Desktop& d = Desk();
    pollfd fds[2] = {{ConnectionNumber(d.display), POLLIN, 0}, {StopSignalFd(), POLLIN, 0}};
    poll(fds, 2, -1);
}

}  // namespace

void DestroyEveryWindow()
{
    // Records are only ever added, and destroying a window adds none, so plain indices
    // stay valid while the windows go one by one.
    X11Desktop& d = Desk();
    for (std::size_t i = 0; i < d.windows.size(); ++i)
        if (d.windows[i]->alive && d.windows[i]->procedure != nullptr)
            DestroyWindow(Handle(*d.windows[i]));
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT)
{
    X11Desktop& d = Desk();
    for (;;) {
        if (!d.posted.empty()) {
            *message = d.posted.front();
            d.posted.pop_front();
            return message->message == WM_QUIT ? 0 : 1;
        }
        if (TakeStopSignal()) {
            // A stop is not a user's close request that a password could refuse: the
            // windows go, the animation stops, and the quit message ends the loop.
            DestroyEveryWindow();
            continue;
        }
        if (XPending(d.display) > 0) {
            XEvent event;
            XNextEvent(d.display, &event);
            if (ReadEvent(event, message))
                return 1;
            continue;
        }
        WaitForInput();
    }
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;  // no character messages: the saver never reads WM_CHAR
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message->hwnd == nullptr)
        return 0;
    X11Window& w = Record(message->hwnd);
    if (!w.alive || w.procedure == nullptr)
        return 0;
    return w.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != nullptr && !Record(window).alive)
        return FALSE;
    Desk().posted.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr)
        return 0;
    X11Window& w = Record(window);
    if (!w.alive || w.procedure == nullptr)
        return 0;
    return w.procedure(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    Desk().posted.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}
