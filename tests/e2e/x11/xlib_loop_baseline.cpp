// What the saver's drawing once cost, for tools/measure-x11: a bare Xlib loop on the root
// window that does what one of the saver's frames did to the display when it drew every
// frame, 64 discs each erased and redrawn with XFillArc, two lines of text, one flush,
// then a 5 ms pause. No
// simulation, no window procedures, no second thread. SIGTERM ends it; it then writes
// "frames=N first_frame_ms=T1 last_frame_ms=T2" to the file in VARBULES_FRAME_LOG, as the
// saver does.

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

volatile std::sig_atomic_t stop = 0;

void OnSignal(int)
{
    stop = 1;
}

long Milliseconds(const timespec& start)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
}

}  // namespace

int main()
{
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    std::signal(SIGTERM, OnSignal);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    constexpr int kDiscs = 64;
    constexpr int kDiameter = 40;

    GC background = XCreateGC(display, root, 0, nullptr);
    XSetForeground(display, background, 0x000080);
    XFillRectangle(display, root, background, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    GC text = XCreateGC(display, root, 0, nullptr);
    XSetForeground(display, text, 0xFFFFFF);
    XSetBackground(display, text, 0x000080);
    GC fills[kDiscs];
    int x[kDiscs], y[kDiscs], dx[kDiscs], dy[kDiscs];
    std::srand(1);
    for (int i = 0; i < kDiscs; ++i) {
        fills[i] = XCreateGC(display, root, 0, nullptr);
        XSetForeground(display, fills[i], static_cast<unsigned long>(std::rand() & 0xFFFFFF));
        x[i] = std::rand() % (width - kDiameter);
        y[i] = std::rand() % (height - kDiameter);
        dx[i] = std::rand() % 9 - 4;
        dy[i] = std::rand() % 9 - 4;
    }

    long frames = 0;
    long first = 0;
    long last = 0;
    while (stop == 0) {
        for (int i = 0; i < kDiscs; ++i) {
            XFillArc(display, root, background, x[i], y[i], kDiameter, kDiameter, 0, 360 * 64);
            if (x[i] + dx[i] < 0 || x[i] + dx[i] + kDiameter > width)
                dx[i] = -dx[i];
            if (y[i] + dy[i] < 0 || y[i] + dy[i] + kDiameter > height)
                dy[i] = -dy[i];
            x[i] += dx[i];
            y[i] += dy[i];
            XFillArc(display, root, fills[i], x[i], y[i], kDiameter, kDiameter, 0, 360 * 64);
        }
        XDrawImageString(display, root, text, width - 300, height - 4, "Varbules screen saver", 21);
        XDrawImageString(display, root, text, 5, 12, "Actions per sec:123.45", 22);
        XFlush(display);
        last = Milliseconds(start);
        if (frames++ == 0)
            first = last;
        timespec pause{0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    XCloseDisplay(display);
    if (const char* path = std::getenv("VARBULES_FRAME_LOG")) {
        if (std::FILE* file = std::fopen(path, "w")) {
            std::fprintf(file, "frames=%ld first_frame_ms=%ld last_frame_ms=%ld\n", frames, first, last);
            std::fclose(file);
        }
    }
    return 0;
}
