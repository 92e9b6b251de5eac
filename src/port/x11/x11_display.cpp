// The main thread's connection to the display, X error reporting, stop signals, and the
// entry's own requests: existing windows, the frame window of a windowed run.

#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "port/x11/x11_desktop.h"
#include "port/x11/x11_state.h"

namespace {

X11Desktop desktop;

std::atomic<bool> windowGoneExpected{false};
std::atomic<unsigned long> foreignWindow{None};
thread_local bool trapping = false;
thread_local bool trapped = false;

int stopPipe[2] = {-1, -1};

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

// Only what is safe in a signal handler: one write, with errno kept as it was.
void OnStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

X11Desktop& Desk()
{
    return desktop;
}

HWND WindowForXid(Window xid)
{
    // Another program's window may also be known as a parent, without a procedure; the
    // saver's own record for it is the one that hears of its events.
    HWND found = nullptr;
    for (auto& w : desktop.windows) {
        if (!w->alive || w->xid != xid)
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
    XSync(desktop.display, False);
    trapping = false;
    return trapped;
}

bool QueryWindow(Window xid, int* width, int* height, bool* viewable)
{
    XWindowAttributes attributes{};
    BeginErrorTrap();
    const Status status = XGetWindowAttributes(desktop.display, xid, &attributes);
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

unsigned long PixelFor(Display* display, int screen, COLORREF colour)
{
    XColor c{};
    // COLORREF holds 8 bits a channel, red lowest; X wants 16 bits a channel.
    c.red = static_cast<unsigned short>((colour & 0xFFu) * 0x101u);
    c.green = static_cast<unsigned short>(((colour >> 8) & 0xFFu) * 0x101u);
    c.blue = static_cast<unsigned short>(((colour >> 16) & 0xFFu) * 0x101u);
    c.flags = DoRed | DoGreen | DoBlue;
    if (XAllocColor(display, DefaultColormap(display, screen), &c) == 0)
        return WhitePixel(display, screen);
    return c.pixel;
}

bool OpenDesktop(const char* displayName)
{
    // Two threads talk to the display, each on its own connection; Xlib's own shared
    // state (the error handler, the resource database) still wants its locks.
    XInitThreads();
    InstallErrorHandler();
    desktop.display = XOpenDisplay(displayName);
    if (desktop.display == nullptr)
        return false;
    desktop.displayName = DisplayString(desktop.display);
    desktop.screen = DefaultScreen(desktop.display);
    desktop.root = RootWindow(desktop.display, desktop.screen);
    desktop.eraseGc = XCreateGC(desktop.display, desktop.root, 0, nullptr);
    desktop.wmProtocols = XInternAtom(desktop.display, "WM_PROTOCOLS", False);
    desktop.wmDeleteWindow = XInternAtom(desktop.display, "WM_DELETE_WINDOW", False);
    ReadMonitors();
    return true;
}

void CloseDesktop()
{
    if (desktop.display == nullptr)
        return;
    if (desktop.blankCursor != None)
        XFreeCursor(desktop.display, desktop.blankCursor);
    XFreeGC(desktop.display, desktop.eraseGc);
    XCloseDisplay(desktop.display);
    desktop.display = nullptr;
}

bool EndOnStopSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

int StopSignalFd()
{
    return stopPipe[0];
}

bool TakeStopSignal()
{
    if (stopPipe[0] < 0)
        return false;
    bool any = false;
    char bytes[16];
    while (read(stopPipe[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

HWND ExistingWindow(unsigned long id)
{
    if (id == 0 || !QueryWindow(id, nullptr, nullptr, nullptr))
        return nullptr;
    auto record = std::make_unique<X11Window>();
    record->xid = id;
    desktop.windows.push_back(std::move(record));
    return Handle(*desktop.windows.back());
}

void DrawOnExistingWindow(unsigned long id)
{
    desktop.drawOn = id;
}

unsigned long MakeFrameWindow(int width, int height, const char* title)
{
    Display* d = desktop.display;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the saver paints it; no flash of another colour
    const Window frame = XCreateWindow(d, desktop.root, 0, 0, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWBackPixmap, &attributes);
    XStoreName(d, frame, title);
    XClassHint hint{const_cast<char*>("varbules"), const_cast<char*>("Varbules")};
    XSetClassHint(d, frame, &hint);
    XSetWMProtocols(d, frame, &desktop.wmDeleteWindow, 1);
    XMapWindow(d, frame);
    XFlush(d);
    return frame;
}

void DestroyFrameWindow(unsigned long id)
{
    XDestroyWindow(desktop.display, id);
    XFlush(desktop.display);
}

unsigned long RootWindowId()
{
    return desktop.root;
}

void SetWindowCreatedHook(WindowCreatedHook hook)
{
    desktop.windowCreated = hook;
}
