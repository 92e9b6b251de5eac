// GNOME's idle monitor (mutter, on Wayland and X11 alike): a watch added on the session
// bus fires WatchFired once the session has been idle for its interval, and again after
// each idle period; the session's inhibitors (org.gnome.SessionManager.Inhibit, flag 8)
// hold it back. A watch belongs to the connection that added it, so the daemon keeps
// one connection open; it never polls GetIdletime, which keeps counting under an
// inhibitor.

#include "port/idle/idle_session.h"

namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

class GnomeWatch final : public IdleWatch {
public:
    GnomeWatch(IdleSession& session, std::uint64_t waitMs, Callback onIdle, LostCallback onLost)
        : bus_(session.userBus), waitMs_(waitMs), onIdle_(std::move(onIdle)), onLost_(std::move(onLost))
    {
        // From any sender: a match on a well-known name is not one sd-bus can judge itself.
        sd_bus_match_signal(bus_, &fired_, nullptr, kPath, kInterface, "WatchFired", OnFired, this);
        sd_bus_match_signal(bus_, &disconnected_, "org.freedesktop.DBus.Local", nullptr, "org.freedesktop.DBus.Local",
                            "Disconnected", OnDisconnected, this);
    }

    ~GnomeWatch() override
    {
        Disarm();
        sd_bus_slot_unref(fired_);
        sd_bus_slot_unref(disconnected_);
    }

    void Arm() override
    {
        Disarm();
        sd_bus_message* reply = nullptr;
        sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
        if (sd_bus_call_method(bus_, kService, kPath, kInterface, "AddIdleWatch", &error, &reply, "t", waitMs_) >= 0)
            sd_bus_message_read(reply, "u", &watch_);
        else
            onLost_(std::string("GNOME's idle monitor refused a watch: ") + (error.message ? error.message : "?"));
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
    }

    void Disarm() override
    {
        if (watch_ == 0)
            return;
        sd_bus_call_method(bus_, kService, kPath, kInterface, "RemoveWatch", nullptr, nullptr, "u", watch_);
        watch_ = 0;
    }

private:
    static int OnFired(sd_bus_message* message, void* data, sd_bus_error*)
    {
        auto* watch = static_cast<GnomeWatch*>(data);
        std::uint32_t id = 0;
        if (sd_bus_message_read(message, "u", &id) >= 0 && id != 0 && id == watch->watch_) {
            watch->Disarm();
            watch->onIdle_();
        }
        return 0;
    }

    static int OnDisconnected(sd_bus_message*, void* data, sd_bus_error*)
    {
        static_cast<GnomeWatch*>(data)->onLost_("lost the connection to the session bus");
        return 0;
    }

    sd_bus* bus_;
    std::uint64_t waitMs_;
    Callback onIdle_;
    LostCallback onLost_;
    std::uint32_t watch_ = 0;
    sd_bus_slot* fired_ = nullptr;
    sd_bus_slot* disconnected_ = nullptr;
};

}  // namespace

bool NameHasOwner(sd_bus* bus, const char* name)
{
    sd_bus_message* reply = nullptr;
    int has = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", nullptr, &reply, "s", name) >= 0)
        sd_bus_message_read(reply, "b", &has);
    sd_bus_message_unref(reply);
    return has != 0;
}

void ProbeGnome(IdleSession& session, IdleSources* sources)
{
    if (sd_bus_open_user(&session.userBus) < 0) {
        session.userBus = nullptr;
        return;
    }
    sources->gnomeIdleMonitor = NameHasOwner(session.userBus, kService);
}

std::unique_ptr<IdleWatch> MakeGnomeWatch(IdleSession& session, std::uint64_t waitMs, IdleWatch::Callback onIdle,
                                          IdleWatch::LostCallback onLost)
{
    return std::make_unique<GnomeWatch>(session, waitMs, std::move(onIdle), std::move(onLost));
}
