// The idle watch's rules, apart from any session: when the saver starts and when the watch
// waits anew, which watch a session gets, one watch per session, the saver's arguments and
// GNOME's own delay.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "port/idle/gnome_delay.h"
#include "port/idle/idle_rules.h"
#include "port/idle/saver_arguments.h"
#include "port/idle/session_lock.h"
#include "port/idle/watch_choice.h"
#include "port/linux/run_options.h"

namespace {

TEST(IdleRules, OneSaverAtATimeAndAWholeWaitAfterEachEnd)
{
    IdleRules rules;
    EXPECT_EQ(rules.SessionIdle(), IdleAction::StartSaver);
    // An idle report already on its way while the saver runs starts no second one.
    EXPECT_EQ(rules.SessionIdle(), IdleAction::Nothing);
    EXPECT_EQ(rules.WokeUp(), IdleAction::Nothing) << "no wait while the saver runs";
    EXPECT_EQ(rules.SaverEnded(), IdleAction::Rearm) << "whatever its exit code";
    EXPECT_EQ(rules.SaverEnded(), IdleAction::Nothing) << "an end told twice";
    EXPECT_EQ(rules.WokeUp(), IdleAction::Rearm);
    EXPECT_EQ(rules.SessionIdle(), IdleAction::StartSaver);
}

TEST(IdleRules, InhibitorsHoldTheWatchAndTheirEndStartsAWholeWait)
{
    IdleRules rules;
    EXPECT_EQ(rules.InhibitorsNow(1), IdleAction::Disarm);
    EXPECT_EQ(rules.InhibitorsNow(2), IdleAction::Nothing);
    EXPECT_EQ(rules.SessionIdle(), IdleAction::Nothing);
    EXPECT_EQ(rules.WokeUp(), IdleAction::Nothing);
    EXPECT_EQ(rules.InhibitorsNow(0), IdleAction::Rearm);
    EXPECT_EQ(rules.SessionIdle(), IdleAction::StartSaver);
    // An inhibitor that comes while the saver runs holds the next wait, not this saver.
    EXPECT_EQ(rules.InhibitorsNow(1), IdleAction::Nothing);
    EXPECT_EQ(rules.SaverEnded(), IdleAction::Nothing);
    EXPECT_FALSE(rules.watching());
    EXPECT_EQ(rules.InhibitorsNow(0), IdleAction::Rearm);
    EXPECT_TRUE(rules.watching());
}

TEST(WatchChoice, TheXServersTimerTakesWaitsOfUpTo32767Seconds)
{
    EXPECT_FALSE(WaitTooLong(WatchKind::X11ScreenSaver, 32767000));
    EXPECT_TRUE(WaitTooLong(WatchKind::X11ScreenSaver, 32767001));
    EXPECT_FALSE(WaitTooLong(WatchKind::GnomeIdleMonitor, 7 * 24 * 3600 * 1000ull)) << "a week, the longest wait";
    EXPECT_FALSE(WaitTooLong(WatchKind::KdeIdle, 7 * 24 * 3600 * 1000ull));
}

TEST(WatchChoice, TheCompositorsOwnProtocolFirstThenGnomeThenTheXServer)
{
    IdleSources s;
    EXPECT_EQ(ChooseWatch(s), WatchKind::Unavailable);
    s.x11 = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::Unavailable) << "an X server without MIT-SCREEN-SAVER";
    EXPECT_NE(NoWatchReason(s).find("lacks MIT-SCREEN-SAVER"), std::string::npos);
    s.screenSaverExtension = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::X11ScreenSaver);
    s.gnomeIdleMonitor = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::GnomeIdleMonitor) << "GNOME on X11 keeps its inhibitors";
    s.wayland = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::GnomeIdleMonitor) << "mutter has neither idle protocol";
    s.kdeIdle = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::KdeIdle);
    s.extIdleNotify = true;
    EXPECT_EQ(ChooseWatch(s), WatchKind::ExtIdleNotify);
    s.wayland = false;
    EXPECT_EQ(ChooseWatch(s), WatchKind::GnomeIdleMonitor) << "protocols of no display count for nothing";
    const std::string none = NoWatchReason(IdleSources{true, false, false, false, false, false});
    EXPECT_NE(none.find("neither ext-idle-notify nor org_kde_kwin_idle"), std::string::npos) << none;
    EXPECT_NE(none.find("no X display"), std::string::npos) << none;
}

TEST(IdleOptions, TheSaverRunsFullScreenWithTheOptionsGiven)
{
    RunOptions idle;
    idle.mode = RunMode::Idle;
    idle.idleMinutes = 5;
    EXPECT_EQ(SaverArguments(idle), (std::vector<std::string>{"/s"}));
    idle.count = 16;
    idle.output = "DP-2";
    idle.displayKind = DisplayKind::Wayland;
    EXPECT_EQ(SaverArguments(idle), (std::vector<std::string>{"/s", "--count", "16", "--output", "DP-2", "--wayland"}));
    idle.count = 0;
    idle.output.clear();
    idle.displayKind = DisplayKind::X11;
    EXPECT_EQ(SaverArguments(idle), (std::vector<std::string>{"/s", "--x11"}));
}

TEST(SessionLock, NamedAfterTheDisplayInTheRuntimeFolder)
{
    EXPECT_EQ(SessionLockPath("/run/user/1000", "wayland-0", ":0", 1000), "/run/user/1000/varbules-idle-wayland-0.lock");
    EXPECT_EQ(SessionLockPath("/run/user/1000", nullptr, ":1", 1000), "/run/user/1000/varbules-idle-_1.lock");
    EXPECT_EQ(SessionLockPath("/run/user/1000", "/tmp/sway/wayland-1", nullptr, 1000),
              "/run/user/1000/varbules-idle-_tmp_sway_wayland-1.lock");
    EXPECT_EQ(SessionLockPath(nullptr, "", "", 42), "/tmp/varbules-42/varbules-idle-none.lock");
    EXPECT_EQ(SessionLockPath("relative", nullptr, ":0", 42), "/tmp/varbules-42/varbules-idle-_0.lock");
}

TEST(SessionLock, ASecondWatchOfTheSessionIsToldWhichRuns)
{
    const std::string path = (std::filesystem::temp_directory_path() / "varbules-idle-test.lock").string();
    std::filesystem::remove(path);
    {
        SessionLock first(path);
        ASSERT_TRUE(first.held()) << first.error();
        // Another process: a lock is the file's, whatever this process holds.
        const pid_t child = fork();
        if (child == 0) {
            SessionLock second(path);
            _exit(!second.held() && second.holder() == getppid() &&
                          second.error() == "an idle watch already runs in this session (pid " +
                                                std::to_string(getppid()) + ")"
                      ? 0
                      : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SessionLock again(path);
    EXPECT_TRUE(again.held()) << "the lock goes with its holder";
    std::filesystem::remove(path);
}

TEST(GnomeDelay, WarnsWhenGnomeBlanksFirst)
{
    EXPECT_EQ(ParseIdleDelay("uint32 300\n"), 300u);
    EXPECT_EQ(ParseIdleDelay("uint32 0"), 0u);
    EXPECT_FALSE(ParseIdleDelay("300"));
    EXPECT_FALSE(ParseIdleDelay("uint32 3x"));
    EXPECT_FALSE(ParseIdleDelay("No such schema"));
    EXPECT_FALSE(IdleDelayWarning(299'000, 300)) << "the saver comes first";
    EXPECT_TRUE(IdleDelayWarning(300'000, 300));
    EXPECT_TRUE(IdleDelayWarning(600'000, 300));
    EXPECT_FALSE(IdleDelayWarning(600'000, 0)) << "GNOME never blanks";
}

}  // namespace
