// A window of the test's own for the saver to draw into: made white, so that a picture
// shows whether the saver painted it, and named on stdout by its id. It stays until the
// test ends this process or destroys the window; it reports any X error on stderr.
//
//   x11_test_window [WIDTH HEIGHT [X Y]]
//                                     the window, at X Y on the screen (0 0 unless told)
//   x11_test_window --close ID        asks window ID to close, as a window manager's
//                                     close button does (WM_DELETE_WINDOW), and ends

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

volatile std::sig_atomic_t stop = 0;

void OnSignal(int)
{
    stop = 1;
}

int OnXError(Display* display, XErrorEvent* error)
{
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "test window: X error: %s\n", text);
    return 0;
}

}  // namespace

int AskToClose(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--close") == 0) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr)
            return 1;
        XSetErrorHandler(OnXError);
        return AskToClose(display, std::strtoul(argv[2], nullptr, 0));
    }
    const int width = argc > 1 ? std::atoi(argv[1]) : 640;
    const int height = argc > 2 ? std::atoi(argv[2]) : 480;
    const int x = argc > 4 ? std::atoi(argv[3]) : 0;
    const int y = argc > 4 ? std::atoi(argv[4]) : 0;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("test window: no display\n", stderr);
        return 1;
    }
    XSetErrorHandler(OnXError);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, "varbules test window");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            break;
    }
    std::printf("%lu\n", window);
    std::fflush(stdout);

    // Wakes up now and then to see whether it was told to stop; the window lives till then.
    while (stop == 0) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        struct timespec pause = {0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
