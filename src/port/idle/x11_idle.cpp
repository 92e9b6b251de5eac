// The X server's own screen saver timer (MIT-SCREEN-SAVER): set to the wait, it turns the
// server's saver on once no input came for that long, and tells of it. A player that
// suspends the server's saver (XScreenSaverSuspend) holds the timer, where the idle
// time that XScreenSaverQueryInfo tells keeps counting. The server's own saver is turned
// off again at once; the user's timer settings come back when the daemon ends.

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/scrnsaver.h>
#include <sys/epoll.h>

#include <cstdio>
#include <cstdlib>

#include "port/idle/idle_session.h"

namespace {

class X11Watch final : public IdleWatch {
public:
    X11Watch(IdleSession& session, sd_event* event, std::uint64_t waitMs, Callback onIdle, LostCallback onLost)
        : display_(session.x11),
          seconds_(static_cast<int>(waitMs < 1000 ? 1 : (waitMs + 999) / 1000)),
          onIdle_(std::move(onIdle)),
          onLost_(std::move(onLost))
    {
        int error = 0;
        XScreenSaverQueryExtension(display_, &eventBase_, &error);
        XGetScreenSaver(display_, &savedTimeout_, &savedInterval_, &savedBlanking_, &savedExposures_);
        XScreenSaverSelectInput(display_, DefaultRootWindow(display_), ScreenSaverNotifyMask);
        Disarm();
        sd_event_add_io(event, &io_, ConnectionNumber(display_), EPOLLIN, OnReadable, this);
        sd_event_source_set_prepare(io_, [](sd_event_source*, void* data) {
            auto* watch = static_cast<X11Watch*>(data);
            watch->HandleEvents();
            XFlush(watch->display_);
            return 0;
        });
    }

    ~X11Watch() override
    {
        XSetScreenSaver(display_, savedTimeout_, savedInterval_, savedBlanking_, savedExposures_);
        XFlush(display_);
        sd_event_source_unref(io_);
    }

    void Arm() override
    {
        // The whole wait from now: the timer counts from the last input, or from this.
        XResetScreenSaver(display_);
        XSetScreenSaver(display_, seconds_, 0, DontPreferBlanking, AllowExposures);
        armed_ = true;
        XFlush(display_);
    }

    void Disarm() override
    {
        armed_ = false;
        XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
        XFlush(display_);
    }

private:
    static int OnReadable(sd_event_source*, int, std::uint32_t revents, void* data)
    {
        auto* watch = static_cast<X11Watch*>(data);
        if ((revents & (EPOLLHUP | EPOLLERR)) != 0) {
            watch->onLost_("lost the connection to the X display");
            return 0;
        }
        // Reading is Xlib's: an error here ends the program through its handler.
        XEventsQueued(watch->display_, QueuedAfterReading);
        watch->HandleEvents();
        return 0;
    }

    void HandleEvents()
    {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != eventBase_ + ScreenSaverNotify)
                continue;
            const auto& notify = reinterpret_cast<const XScreenSaverNotifyEvent&>(event);
            if (notify.state != ScreenSaverOn || !armed_)
                continue;
            // Our saver is to cover the screen, not the server's; nor may the server's
            // come over ours while it runs.
            XForceScreenSaver(display_, ScreenSaverReset);
            Disarm();
            onIdle_();
        }
    }

    Display* display_;
    int seconds_;
    Callback onIdle_;
    LostCallback onLost_;
    int eventBase_ = 0;
    int savedTimeout_ = 0;
    int savedInterval_ = 0;
    int savedBlanking_ = 0;
    int savedExposures_ = 0;
    bool armed_ = false;
    sd_event_source* io_ = nullptr;
};

}  // namespace

void ProbeX11(IdleSession& session, IdleSources* sources)
{
    // A display that goes away ends the watch; Xlib would end the program on its own way
    // out anyway, so this only says why.
    XSetIOErrorHandler([](Display*) -> int {
        std::fprintf(stderr, "varbules: lost the connection to the X display\n");
        std::exit(1);
    });
    session.x11 = XOpenDisplay(nullptr);
    if (session.x11 == nullptr)
        return;
    sources->x11 = true;
    int event = 0;
    int error = 0;
    sources->screenSaverExtension = XScreenSaverQueryExtension(session.x11, &event, &error) != 0;
}

std::unique_ptr<IdleWatch> MakeX11Watch(IdleSession& session, sd_event* event, std::uint64_t waitMs,
                                        IdleWatch::Callback onIdle, IdleWatch::LostCallback onLost)
{
    return std::make_unique<X11Watch>(session, event, waitMs, std::move(onIdle), std::move(onLost));
}

bool XScreenSaverDaemonRuns(IdleSession& session)
{
    // xscreensaver's daemon marks a window of its own with its version, and names that
    // window on the root window.
    if (session.x11 == nullptr)
        return false;
    const Atom version = XInternAtom(session.x11, "_SCREENSAVER_VERSION", True);
    if (version == None)
        return false;
    Window root = DefaultRootWindow(session.x11);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    // A window may go while it is looked at; that is no error of ours.
    XSync(session.x11, False);
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (XQueryTree(session.x11, root, &root, &parent, &children, &count) == 0) {
        XSetErrorHandler(previous);
        return false;
    }
    bool found = false;
    for (unsigned k = 0; k < count && !found; ++k) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(session.x11, children[k], version, 0, 64, False, XA_STRING, &type, &format, &items,
                               &after, &data) == Success &&
            type != None)
            found = true;
        if (data != nullptr)
            XFree(data);
    }
    if (children != nullptr)
        XFree(children);
    XSync(session.x11, False);
    XSetErrorHandler(previous);
    return found;
}

void CloseX11(IdleSession& session)
{
    if (session.x11 != nullptr)
        XCloseDisplay(session.x11);
    session.x11 = nullptr;
}
