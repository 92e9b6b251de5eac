// The main thread's connection to the display, X error reporting, and the entry's own
// requests: existing windows, the frame window of a windowed run.

#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "port/x11/x11_desktop.h"
#include "port/x11/x11_state.h"

namespace {

X11Display x11;

std::atomic<bool> windowGoneExpected{false};
std::atomic<unsigned long> foreignWindow{None};
thread_local bool trapping = false;
thread_local bool trapped = false;

int OnXError(Display* display, XErrorEvent* error)
{
    if (trapping) {
        trapped = true;
        return 0;
    }
    if (windowGoneExpected.load() || (error->resourceid != None && error->resourceid == foreignWindow.load()))
        return 0;
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "varbules: X error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
                 error->minor_code, error->resourceid);
    return 0;
}

// The connection broke: the server ended, or closed us. Either thread may be the first
// to notice, each on its own connection, while the other is in the middle of a request
// or a frame. Nothing can be drawn or closed any more, and the exit() Xlib would call
// next runs the program's destructors and exit handlers under the other thread's feet.
// So the first to notice says so in one line and ends the process at once; the kernel
// closes what is left. A second thread to notice waits for that end, saying nothing.
std::atomic<bool> displayLost{false};

[[noreturn]] int OnDisplayLost(Display* display)
{
    if (!displayLost.exchange(true)) {
        char line[256];
        const int length = std::snprintf(line, sizeof line, "varbules: lost the connection to display %s\n",
                                         DisplayString(display));
        if (length > 0) {
            [[maybe_unused]] const ssize_t written =
                write(STDERR_FILENO, line, std::min(static_cast<std::size_t>(length), sizeof line - 1));
        }
        _exit(1);
    }
    for (;;)
        pause();
}

}  // namespace

X11Display& X()
{
    return x11;
}

HWND WindowForXid(Window xid)
{
    // Another program's window may also be known as a parent, without a procedure; the
    // saver's own record for it is the one that hears of its events.
    HWND found = nullptr;
    for (auto& w : Desk().windows) {
        if (!w->alive || XRecord(*w).xid != xid)
            continue;
        if (w->procedure != nullptr)
            return Handle(*w);
        found = Handle(*w);
    }
    return found;
}

void InstallErrorHandler()
{
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnDisplayLost);
    // A write to a connection whose server has gone fails with EPIPE, which Xlib takes to
    // the handler above, instead of SIGPIPE ending the process without a word.
    signal(SIGPIPE, SIG_IGN);
}

void ExpectWindowGone()
{
    windowGoneExpected.store(true);
}

void ExpectErrorsAbout(Window xid)
{
    foreignWindow.store(xid);
}

void BeginErrorTrap()
{
    trapping = true;
    trapped = false;
}

bool EndErrorTrap()
{
    XSync(x11.display, False);
    trapping = false;
    return trapped;
}

bool QueryWindow(Window xid, int* width, int* height, bool* viewable)
{
    XWindowAttributes attributes{};
    BeginErrorTrap();
    const Status status = XGetWindowAttributes(x11.display, xid, &attributes);
    const bool failed = EndErrorTrap() || status == 0;
    if (failed)
        return false;
    if (width)
        *width = attributes.width;
    if (height)
        *height = attributes.height;
    if (viewable)
        *viewable = attributes.map_state == IsViewable;
    return true;
}

bool OpenDesktop(const char* displayName)
{
    // Two threads talk to the display, each on its own connection; Xlib's own shared
    // state (the error handler, the resource database) still wants its locks.
    XInitThreads();
    InstallErrorHandler();
    x11.display = XOpenDisplay(displayName);
    if (x11.display == nullptr)
        return false;
    x11.displayName = DisplayString(x11.display);
    x11.screen = DefaultScreen(x11.display);
    x11.root = RootWindow(x11.display, x11.screen);
    x11.eraseGc = XCreateGC(x11.display, x11.root, 0, nullptr);
    x11.wmProtocols = XInternAtom(x11.display, "WM_PROTOCOLS", False);
    x11.wmDeleteWindow = XInternAtom(x11.display, "WM_DELETE_WINDOW", False);
    ReadMonitors();
    return true;
}

void CloseDesktop()
{
    if (x11.display == nullptr)
        return;
    if (x11.blankCursor != None)
        XFreeCursor(x11.display, x11.blankCursor);
    XFreeGC(x11.display, x11.eraseGc);
    XCloseDisplay(x11.display);
    x11.display = nullptr;
}

HWND ExistingWindow(unsigned long id)
{
    if (id == 0 || !QueryWindow(id, nullptr, nullptr, nullptr))
        return nullptr;
    auto record = std::make_unique<X11Window>();
    record->xid = id;
    return AddWindow(std::move(record));
}

void DrawOnExistingWindow(unsigned long id)
{
    x11.drawOn = id;
    Desk().coversMonitors = false;
}

unsigned long MakeFrameWindow(int width, int height, const char* title)
{
    Display* d = x11.display;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the saver paints it; no flash of another colour
    const Window frame = XCreateWindow(d, x11.root, 0, 0, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWBackPixmap, &attributes);
    XStoreName(d, frame, title);
    XClassHint hint{const_cast<char*>("varbules"), const_cast<char*>("Varbules")};
    XSetClassHint(d, frame, &hint);
    XSetWMProtocols(d, frame, &x11.wmDeleteWindow, 1);
    XMapWindow(d, frame);
    XFlush(d);
    return frame;
}

void DestroyFrameWindow(unsigned long id)
{
    XDestroyWindow(x11.display, id);
    XFlush(x11.display);
}

unsigned long RootWindowId()
{
    return x11.root;
}
