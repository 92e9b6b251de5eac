#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>
#include <wayland-client.h>

#include <cstdint>
#include <memory>

#include "port/idle/idle_watch.h"
#include "port/idle/watch_choice.h"

struct xcb_connection_t;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;

// The connections the idle daemon has to the session, made while it looks at what the
// session offers; the watch chosen keeps using its own, the rest are closed.
struct IdleSession {
    IdleSession() = default;
    ~IdleSession();
    IdleSession(const IdleSession&) = delete;
    IdleSession& operator=(const IdleSession&) = delete;

    wl_display* wayland = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* extNotifier = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    sd_bus* userBus = nullptr;
    xcb_connection_t* x11 = nullptr;
    std::uint32_t x11Root = 0;  // the root window of its default screen
};

// What each part of the session offers; each connects where it can and fills in its
// part of sources.
void ProbeWayland(IdleSession& session, IdleSources* sources);
void ProbeGnome(IdleSession& session, IdleSources* sources);
void ProbeX11(IdleSession& session, IdleSources* sources);

// The watches, on the session's connections and the daemon's event loop, each calling
// onIdle once the session has been idle for waitMs.
std::unique_ptr<IdleWatch> MakeWaylandWatch(IdleSession& session, bool extIdleNotify, sd_event* event,
                                            std::uint32_t waitMs, IdleWatch::Callback onIdle,
                                            IdleWatch::LostCallback onLost);
std::unique_ptr<IdleWatch> MakeGnomeWatch(IdleSession& session, std::uint64_t waitMs, IdleWatch::Callback onIdle,
                                          IdleWatch::LostCallback onLost);
std::unique_ptr<IdleWatch> MakeX11Watch(IdleSession& session, sd_event* event, std::uint64_t waitMs,
                                        IdleWatch::Callback onIdle, IdleWatch::LostCallback onLost);

// Whether a name has an owner on the bus.
bool NameHasOwner(sd_bus* bus, const char* name);

// Let go of the Wayland and X11 connections (the bus goes with the session).
void CloseWayland(IdleSession& session);
void CloseX11(IdleSession& session);

// Whether xscreensaver's daemon runs on the session's X display: it starts its hacks
// itself.
bool XScreenSaverDaemonRuns(IdleSession& session);
