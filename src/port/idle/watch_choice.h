#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the session offers to learn of idle time, as found at the start.
struct IdleSources {
    bool wayland = false;          // a Wayland display to connect to
    bool extIdleNotify = false;    // its compositor has ext_idle_notifier_v1
    bool kdeIdle = false;          // ... or org_kde_kwin_idle (sway 1.7, KDE Plasma)
    bool gnomeIdleMonitor = false; // org.gnome.Mutter.IdleMonitor on the session bus
    bool x11 = false;              // an X display to connect to
    bool screenSaverExtension = false;  // with MIT-SCREEN-SAVER
};

enum class WatchKind {
    ExtIdleNotify,
    KdeIdle,
    GnomeIdleMonitor,
    X11ScreenSaver,
    Unavailable,
};

// One way per desktop, the most direct first: the Wayland compositor's own idle
// protocols, GNOME's idle monitor (mutter has neither protocol, and its watches respect
// the session's inhibitors, on Wayland and X11 alike), then the X server's.
WatchKind ChooseWatch(const IdleSources& sources);

// For the line the daemon prints: "varbules: idle watch: " and this.
const char* WatchName(WatchKind kind);

// Why there is no way, for the error when ChooseWatch finds none.
std::string NoWatchReason(const IdleSources& sources);

// The X server's timer counts whole seconds in 16 bits (at most 32767, about 9 hours); the
// other ways take any wait varbules allows. Why the wait does not fit the way chosen, if
// it does not.
std::optional<std::string> WaitTooLong(WatchKind kind, std::uint64_t waitMs);
