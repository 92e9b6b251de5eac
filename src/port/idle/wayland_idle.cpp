// The Wayland compositor's idle protocols: ext-idle-notify (staging), or the older
// org_kde_kwin_idle that sway 1.7 and KDE Plasma offer. Either object is made anew for
// every wait: an object made while the session is already idle would send its "idle"
// only after a "resumed" that, with an inhibitor made meanwhile, may never come.

#include <sys/epoll.h>

#include <cstring>

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"
#include "port/idle/idle_session.h"

namespace {

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto& session = *static_cast<IdleSession*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && session.seat == nullptr)
        session.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
        session.extNotifier =
            static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
        session.kdeIdle = static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
}

const wl_registry_listener kRegistryListener = {OnGlobal, [](void*, wl_registry*, std::uint32_t) {}};

class WaylandWatch final : public IdleWatch {
public:
    WaylandWatch(IdleSession& session, bool ext, sd_event* event, std::uint32_t waitMs, Callback onIdle,
                 LostCallback onLost)
        : session_(session), ext_(ext), waitMs_(waitMs), onIdle_(std::move(onIdle)), onLost_(std::move(onLost))
    {
        sd_event_add_io(event, &io_, wl_display_get_fd(session_.wayland), EPOLLIN, OnReadable, this);
        // Before the loop sleeps: what was read is handled, and what was asked is sent.
        sd_event_source_set_prepare(io_, [](sd_event_source*, void* data) {
            auto* watch = static_cast<WaylandWatch*>(data);
            wl_display_dispatch_pending(watch->session_.wayland);
            wl_display_flush(watch->session_.wayland);
            return 0;
        });
    }

    ~WaylandWatch() override
    {
        Disarm();
        sd_event_source_unref(io_);
    }

    void Arm() override
    {
        Disarm();
        if (ext_) {
            extNotification_ = ext_idle_notifier_v1_get_idle_notification(session_.extNotifier, waitMs_, session_.seat);
            ext_idle_notification_v1_add_listener(extNotification_, &kExtListener, this);
        } else {
            kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(session_.kdeIdle, session_.seat, waitMs_);
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeListener, this);
        }
        wl_display_flush(session_.wayland);
    }

    void Disarm() override
    {
        if (extNotification_ != nullptr)
            ext_idle_notification_v1_destroy(extNotification_);
        if (kdeTimeout_ != nullptr)
            org_kde_kwin_idle_timeout_release(kdeTimeout_);
        extNotification_ = nullptr;
        kdeTimeout_ = nullptr;
        wl_display_flush(session_.wayland);
    }

private:
    static int OnReadable(sd_event_source*, int, std::uint32_t revents, void* data)
    {
        auto* watch = static_cast<WaylandWatch*>(data);
        if ((revents & (EPOLLHUP | EPOLLERR)) != 0 || wl_display_dispatch(watch->session_.wayland) < 0)
            watch->onLost_("lost the connection to the Wayland display");
        return 0;
    }

    // The object that said so is done with: the next wait gets a new one.
    void Idle()
    {
        Disarm();
        onIdle_();
    }

    static const ext_idle_notification_v1_listener kExtListener;
    static const org_kde_kwin_idle_timeout_listener kKdeListener;

    IdleSession& session_;
    bool ext_;
    std::uint32_t waitMs_;
    Callback onIdle_;
    LostCallback onLost_;
    sd_event_source* io_ = nullptr;
    ext_idle_notification_v1* extNotification_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
};

const ext_idle_notification_v1_listener WaylandWatch::kExtListener = {
    [](void* data, ext_idle_notification_v1*) { static_cast<WaylandWatch*>(data)->Idle(); },
    [](void*, ext_idle_notification_v1*) {},
};

const org_kde_kwin_idle_timeout_listener WaylandWatch::kKdeListener = {
    [](void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandWatch*>(data)->Idle(); },
    [](void*, org_kde_kwin_idle_timeout*) {},
};

}  // namespace

void ProbeWayland(IdleSession& session, IdleSources* sources)
{
    session.wayland = wl_display_connect(nullptr);
    if (session.wayland == nullptr)
        return;
    sources->wayland = true;
    session.registry = wl_display_get_registry(session.wayland);
    wl_registry_add_listener(session.registry, &kRegistryListener, &session);
    wl_display_roundtrip(session.wayland);
    sources->extIdleNotify = session.extNotifier != nullptr && session.seat != nullptr;
    sources->kdeIdle = session.kdeIdle != nullptr && session.seat != nullptr;
}

std::unique_ptr<IdleWatch> MakeWaylandWatch(IdleSession& session, bool extIdleNotify, sd_event* event,
                                            std::uint32_t waitMs, IdleWatch::Callback onIdle,
                                            IdleWatch::LostCallback onLost)
{
    return std::make_unique<WaylandWatch>(session, extIdleNotify, event, waitMs, std::move(onIdle), std::move(onLost));
}

void CloseWayland(IdleSession& session)
{
    if (session.wayland == nullptr)
        return;
    if (session.extNotifier != nullptr)
        ext_idle_notifier_v1_destroy(session.extNotifier);
    if (session.kdeIdle != nullptr)
        org_kde_kwin_idle_destroy(session.kdeIdle);
    if (session.seat != nullptr)
        wl_seat_destroy(session.seat);
    wl_registry_destroy(session.registry);
    wl_display_disconnect(session.wayland);
    session.wayland = nullptr;
}
