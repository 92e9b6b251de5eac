#include "port/idle/watch_choice.h"

WatchKind ChooseWatch(const IdleSources& s)
{
    if (s.wayland && s.extIdleNotify)
        return WatchKind::ExtIdleNotify;
    if (s.wayland && s.kdeIdle)
        return WatchKind::KdeIdle;
    if (s.gnomeIdleMonitor)
        return WatchKind::GnomeIdleMonitor;
    if (s.x11 && s.screenSaverExtension)
        return WatchKind::X11ScreenSaver;
    return WatchKind::Unavailable;
}

const char* WatchName(WatchKind kind)
{
    switch (kind) {
    case WatchKind::ExtIdleNotify:
        return "the Wayland compositor's ext-idle-notify";
    case WatchKind::KdeIdle:
        return "the Wayland compositor's org_kde_kwin_idle";
    case WatchKind::GnomeIdleMonitor:
        return "GNOME's idle monitor (org.gnome.Mutter.IdleMonitor)";
    case WatchKind::X11ScreenSaver:
        return "the X server's screen saver timer (MIT-SCREEN-SAVER)";
    case WatchKind::Unavailable:
        break;
    }
    return "none";
}

std::string NoWatchReason(const IdleSources& s)
{
    std::string why;
    auto add = [&why](const char* part) { why += (why.empty() ? "" : "; ") + std::string(part); };
    if (s.wayland)
        add("the Wayland compositor offers neither ext-idle-notify nor org_kde_kwin_idle");
    else
        add("no Wayland display (WAYLAND_DISPLAY)");
    add("no GNOME idle monitor on the session bus");
    if (!s.x11)
        add("no X display (DISPLAY)");
    else if (!s.screenSaverExtension)
        add("the X server lacks MIT-SCREEN-SAVER");
    return "no way to learn of the session's idle time: " + why;
}

std::optional<std::string> WaitTooLong(WatchKind kind, std::uint64_t waitMs)
{
    constexpr std::uint64_t kLongestX11WaitMs = 32767 * 1000ull;
    if (kind != WatchKind::X11ScreenSaver || waitMs <= kLongestX11WaitMs)
        return std::nullopt;
    return "the X server's screen saver timer counts at most 32767 s: on X11 the wait is at most 546 minutes";
}
