// An X client that suspends the server's screen saver, as a video player does
// (XScreenSaverSuspend), until the process is ended; prints "suspended" once it has.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <unistd.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11_suspender: no X display\n", stderr);
        return 1;
    }
    XScreenSaverSuspend(display, True);
    XSync(display, False);
    std::puts("suspended");
    std::fflush(stdout);
    for (;;)
        pause();
}
