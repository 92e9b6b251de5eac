// An X client that suspends the server's screen saver, as a video player does
// (XScreenSaverSuspend; here MIT-SCREEN-SAVER's Suspend through xcb), until the process
// is ended; prints "suspended" once the server has it.
#include <unistd.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("x11_suspender: no X display\n", stderr);
        return 1;
    }
    xcb_screensaver_suspend(connection, 1);
    // A round trip: the suspension is the server's once the answer comes.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    std::puts("suspended");
    std::fflush(stdout);
    for (;;)
        pause();
}
