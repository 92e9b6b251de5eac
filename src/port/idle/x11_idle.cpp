// The X server's own screen saver timer (MIT-SCREEN-SAVER, through xcb): set to the
// wait, it turns the server's saver on once no input came for that long, and tells of
// it. A player that suspends the server's saver (XScreenSaverSuspend) holds the timer,
// where the idle time the extension's QueryInfo tells keeps counting. The server's own
// saver is turned off again at once; the user's timer settings come back when the daemon
// ends.

#include <sys/epoll.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

#include "port/idle/idle_session.h"

namespace {

class X11Watch final : public IdleWatch {
public:
    X11Watch(IdleSession& session, sd_event* event, std::uint64_t waitMs, Callback onIdle, LostCallback onLost)
        : connection_(session.x11),
          root_(session.x11Root),
          seconds_(static_cast<std::int16_t>(waitMs < 1000 ? 1 : (waitMs + 999) / 1000)),
          onIdle_(std::move(onIdle)),
          onLost_(std::move(onLost))
    {
        notifyEvent_ = xcb_get_extension_data(connection_, &xcb_screensaver_id)->first_event + XCB_SCREENSAVER_NOTIFY;
        if (auto* saved = xcb_get_screen_saver_reply(connection_, xcb_get_screen_saver(connection_), nullptr)) {
            saved_ = *saved;
            std::free(saved);
        }
        xcb_screensaver_select_input(connection_, root_, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
        Disarm();
        sd_event_add_io(event, &io_, xcb_get_file_descriptor(connection_), EPOLLIN, OnReadable, this);
        // Replies read while waiting for one (GetScreenSaver above) leave their events
        // queued, where no poll of the descriptor would see them.
        sd_event_source_set_prepare(io_, [](sd_event_source*, void* data) {
            auto* watch = static_cast<X11Watch*>(data);
            watch->HandleEvents(xcb_poll_for_queued_event);
            xcb_flush(watch->connection_);
            return 0;
        });
    }

    ~X11Watch() override
    {
        xcb_set_screen_saver(connection_, saved_.timeout, saved_.interval, saved_.prefer_blanking,
                             saved_.allow_exposures);
        // A round trip, as Xlib's XCloseDisplay makes: the server has the user's settings
        // back before the watch is gone, not only once it reaches what was left unread.
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
        sd_event_source_unref(io_);
    }

    void Arm() override
    {
        // The whole wait from now: the timer counts from the last input, or from this.
        xcb_force_screen_saver(connection_, XCB_SCREEN_SAVER_RESET);
        xcb_set_screen_saver(connection_, seconds_, 0, XCB_BLANKING_NOT_PREFERRED, XCB_EXPOSURES_ALLOWED);
        armed_ = true;
        xcb_flush(connection_);
    }

    void Disarm() override
    {
        armed_ = false;
        xcb_set_screen_saver(connection_, 0, 0, XCB_BLANKING_NOT_PREFERRED, XCB_EXPOSURES_ALLOWED);
        xcb_flush(connection_);
    }

private:
    static int OnReadable(sd_event_source*, int, std::uint32_t, void* data)
    {
        auto* watch = static_cast<X11Watch*>(data);
        watch->HandleEvents(xcb_poll_for_event);
        if (xcb_connection_has_error(watch->connection_) != 0)
            watch->onLost_("lost the connection to the X display");
        return 0;
    }

    void HandleEvents(xcb_generic_event_t* (*next)(xcb_connection_t*))
    {
        // Errors of our requests (none is checked) come here too, and are let go.
        while (xcb_generic_event_t* event = next(connection_)) {
            const auto* notify = reinterpret_cast<const xcb_screensaver_notify_event_t*>(event);
            const bool idle = (event->response_type & 0x7f) == notifyEvent_ && notify->state == XCB_SCREENSAVER_STATE_ON;
            std::free(event);
            if (!idle || !armed_)
                continue;
            // Our saver is to cover the screen, not the server's; nor may the server's
            // come over ours while it runs.
            xcb_force_screen_saver(connection_, XCB_SCREEN_SAVER_RESET);
            Disarm();
            onIdle_();
        }
    }

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::int16_t seconds_;
    Callback onIdle_;
    LostCallback onLost_;
    std::uint8_t notifyEvent_ = 0;
    xcb_get_screen_saver_reply_t saved_{};
    bool armed_ = false;
    sd_event_source* io_ = nullptr;
};

}  // namespace

void ProbeX11(IdleSession& session, IdleSources* sources)
{
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int k = 0; k < screen && roots.rem > 1; ++k)
        xcb_screen_next(&roots);
    session.x11 = connection;
    session.x11Root = roots.data->root;
    sources->x11 = true;
    sources->screenSaverExtension = xcb_get_extension_data(connection, &xcb_screensaver_id)->present != 0;
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
    xcb_connection_t* c = session.x11;
    const char name[] = "_SCREENSAVER_VERSION";
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
    const xcb_atom_t version = atom != nullptr ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(atom);
    if (version == XCB_ATOM_NONE)
        return false;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, session.x11Root), nullptr);
    if (tree == nullptr)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    std::vector<xcb_get_property_cookie_t> asked;
    for (int k = 0; k < xcb_query_tree_children_length(tree); ++k)
        asked.push_back(xcb_get_property(c, 0, children[k], version, XCB_ATOM_STRING, 0, 64));
    std::free(tree);
    bool found = false;
    for (const auto cookie : asked) {
        // A window that went while it was asked after answers with an error: not found.
        xcb_generic_error_t* error = nullptr;
        auto* property = xcb_get_property_reply(c, cookie, &error);
        found = found || (property != nullptr && property->type != XCB_ATOM_NONE);
        std::free(property);
        std::free(error);
    }
    return found;
}

void CloseX11(IdleSession& session)
{
    if (session.x11 != nullptr)
        xcb_disconnect(session.x11);
    session.x11 = nullptr;
}
