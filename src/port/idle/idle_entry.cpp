// varbules-idle, started by `varbules --idle MINUTES`: a small long-running program of the
// user's session that starts the saver full screen once the session has been idle that
// long, lets it end on input as it always does, and then waits for the next idle time.
// One per session. It learns of idle time one way per desktop (watch_choice.h), chosen
// at the start and named in one line of its output.

#include <signal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "port/idle/gnome_delay.h"
#include "port/idle/idle_rules.h"
#include "port/idle/idle_session.h"
#include "port/idle/saver_arguments.h"
#include "port/idle/saver_process.h"
#include "port/idle/screensaver_service.h"
#include "port/idle/session_lock.h"
#include "port/idle/sleep_watch.h"
#include "port/linux/run_options.h"

namespace {

void Say(const std::string& line)
{
    std::printf("varbules: %s\n", line.c_str());
    std::fflush(stdout);
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "varbules: %s\n", why.c_str());
    return 1;
}

std::unique_ptr<IdleWatch> MakeWatch(WatchKind kind, IdleSession& session, sd_event* event, std::uint64_t waitMs,
                                     IdleWatch::Callback onIdle, IdleWatch::LostCallback onLost)
{
    switch (kind) {
    case WatchKind::ExtIdleNotify:
    case WatchKind::KdeIdle:
        return MakeWaylandWatch(session, kind == WatchKind::ExtIdleNotify, event, static_cast<std::uint32_t>(waitMs),
                                std::move(onIdle), std::move(onLost));
    case WatchKind::GnomeIdleMonitor:
        return MakeGnomeWatch(session, waitMs, std::move(onIdle), std::move(onLost));
    case WatchKind::X11ScreenSaver:
        return MakeX11Watch(session, event, waitMs, std::move(onIdle), std::move(onLost));
    case WatchKind::Unavailable:
        break;
    }
    return nullptr;
}

std::string Minutes(double minutes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", minutes);
    return text;
}

}  // namespace

IdleSession::~IdleSession()
{
    CloseWayland(*this);
    CloseX11(*this);
    if (userBus != nullptr)
        sd_bus_flush_close_unref(userBus);
}

int main(int argc, char** argv)
{
    const RunOptions options = ParseRunOptions(argc, argv);
    if (options.mode == RunMode::Invalid)
        return Fail(options.error + "\n" + RunOptionsUsage());
    if (options.mode != RunMode::Idle)
        return Fail("varbules-idle is started as varbules --idle MINUTES");
    const auto waitMs = static_cast<std::uint64_t>(std::llround(options.idleMinutes * 60000.0));

    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    SessionLock lock(SessionLockPath(std::getenv("XDG_RUNTIME_DIR"), options.displayKind == DisplayKind::X11 ? nullptr : wayland,
                                     options.displayKind == DisplayKind::Wayland ? nullptr : x11, getuid()));
    if (!lock.held())
        return Fail(lock.error());

    // The loop reads these signals itself; the saver gets them unblocked.
    sigset_t signals;
    sigemptyset(&signals);
    for (const int s : {SIGCHLD, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, s);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    sd_event* event = nullptr;
    if (sd_event_default(&event) < 0)
        return Fail("cannot make an event loop");
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        sd_event_add_signal(event, nullptr, s, nullptr, nullptr);  // each ends the loop

    IdleSession session;
    IdleSources sources;
    if (options.displayKind != DisplayKind::X11 && wayland != nullptr && *wayland != '\0')
        ProbeWayland(session, &sources);
    ProbeGnome(session, &sources);
    if (options.displayKind != DisplayKind::Wayland && (!sources.wayland || !sources.extIdleNotify))
        ProbeX11(session, &sources);
    const WatchKind kind = ChooseWatch(sources);
    if (kind == WatchKind::Unavailable)
        return Fail(NoWatchReason(sources));
    if (const auto problem = WaitTooLong(kind, waitMs))
        return Fail(*problem);
    if (kind == WatchKind::X11ScreenSaver && XScreenSaverDaemonRuns(session))
        return Fail("xscreensaver's daemon runs on this display and starts screen savers itself: "
                    "choose varbules in xscreensaver's settings instead");
    if (kind == WatchKind::GnomeIdleMonitor || kind == WatchKind::X11ScreenSaver)
        CloseWayland(session);
    if (kind != WatchKind::X11ScreenSaver)
        CloseX11(session);
    if (session.userBus != nullptr)
        sd_bus_attach_event(session.userBus, event, SD_EVENT_PRIORITY_NORMAL);

    IdleRules rules;
    std::unique_ptr<IdleWatch> watch;
    std::unique_ptr<SaverProcess> saver;
    int exitCode = 0;
    auto lost = [&](const std::string& why) {
        std::fprintf(stderr, "varbules: %s\n", why.c_str());
        exitCode = 1;
        sd_event_exit(event, 1);
    };
    std::function<void(IdleAction)> act = [&](IdleAction action) {
        switch (action) {
        case IdleAction::StartSaver:
            Say("idle for " + Minutes(options.idleMinutes) + " min: starting the saver");
            watch->Disarm();
            if (!saver->Start())
                act(rules.SaverEnded());
            break;
        case IdleAction::Disarm:
            watch->Disarm();
            break;
        case IdleAction::Rearm:
            watch->Arm();
            break;
        case IdleAction::Nothing:
            break;
        }
    };
    saver = std::make_unique<SaverProcess>(event, SaverArguments(options), [&](int code) {
        Say("the saver ended with exit code " + std::to_string(code));
        act(rules.SaverEnded());
    });
    watch = MakeWatch(kind, session, event, waitMs, [&] { act(rules.SessionIdle()); }, lost);
    Say(std::string("idle watch: ") + WatchName(kind) + "; the saver comes after " + Minutes(options.idleMinutes) +
        " min of idle time");

    if (kind == WatchKind::GnomeIdleMonitor) {
        if (const auto delay = ReadGnomeIdleDelay()) {
            if (const auto warning = IdleDelayWarning(waitMs, *delay))
                Say(*warning);
        }
    }
    std::unique_ptr<ScreenSaverService> service;
    if (kind == WatchKind::X11ScreenSaver && session.userBus != nullptr) {
        service = std::make_unique<ScreenSaverService>(session.userBus, [&](int inhibitors) {
            Say(inhibitors > 0 ? "held back by " + std::to_string(inhibitors) + " inhibitor(s)" : "no inhibitor holds it");
            act(rules.InhibitorsNow(inhibitors));
        });
        if (service->offered())
            Say("inhibitors: org.freedesktop.ScreenSaver on the session bus");
    }
    SleepWatch sleep(event, [&] { act(rules.WokeUp()); });

    watch->Arm();
    sd_event_loop(event);
    // A saver still running ends with its watch: the session goes on without either.
    if (saver->pid() > 0)
        kill(saver->pid(), SIGTERM);
    service.reset();
    watch.reset();
    saver.reset();
    sd_event_unref(event);
    return exitCode;
}
