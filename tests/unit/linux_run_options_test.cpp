#include "port/linux/run_options.h"

#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace {

RunOptions Parse(std::initializer_list<const char*> arguments)
{
    std::vector<const char*> argv{"varbules"};
    argv.insert(argv.end(), arguments);
    return ParseRunOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(RunOptions, NoSwitchOpensAWindowWithTheSettingsFilesCount)
{
    const RunOptions options = Parse({});
    EXPECT_EQ(options.mode, RunMode::Window);
    EXPECT_EQ(options.count, 0);
    EXPECT_TRUE(options.display.empty());
}

TEST(RunOptions, HackSwitchesTakeOneOrTwoDashes)
{
    for (const char* root : {"--root", "-root"})
        EXPECT_EQ(Parse({root}).mode, RunMode::Root) << root;
    EXPECT_EQ(Parse({"--root", "--window"}).mode, RunMode::Window) << "the later switch wins";
    EXPECT_EQ(Parse({"-window", "-root"}).mode, RunMode::Root);
}

TEST(RunOptions, WindowIdIsDecimalOrHexAsNextArgumentOrAfterEquals)
{
    RunOptions options = Parse({"--window-id", "0x2a00007"});
    EXPECT_EQ(options.mode, RunMode::WindowId);
    EXPECT_EQ(options.windowId, 0x2a00007ul);
    options = Parse({"-window-id", "44040199"});
    EXPECT_EQ(options.mode, RunMode::WindowId);
    EXPECT_EQ(options.windowId, 44040199ul);
    options = Parse({"--window-id=0XFF"});
    EXPECT_EQ(options.windowId, 255ul);
}

TEST(RunOptions, AWrongOrMissingWindowIdIsAnError)
{
    for (const char* bad : {"0", "0x", "12ab", "-5", "", "0x1g", " 12", "99999999999999999999999"}) {
        const RunOptions options = Parse({"--window-id", bad});
        EXPECT_EQ(options.mode, RunMode::Invalid) << "'" << bad << "'";
        EXPECT_FALSE(options.error.empty());
    }
    EXPECT_EQ(Parse({"--window-id"}).mode, RunMode::Invalid);
}

TEST(RunOptions, CountIsSixteenThirtyTwoOrSixtyFour)
{
    EXPECT_EQ(Parse({"--count", "16"}).count, 16);
    EXPECT_EQ(Parse({"--count=32"}).count, 32);
    const RunOptions withRoot = Parse({"--root", "-count", "64"});
    EXPECT_EQ(withRoot.count, 64);
    EXPECT_EQ(withRoot.mode, RunMode::Root);
    for (const char* bad : {"0", "15", "48", "128", "064", "16x", ""})
        EXPECT_EQ(Parse({"--count", bad}).mode, RunMode::Invalid) << "'" << bad << "'";
    EXPECT_EQ(Parse({"--count"}).mode, RunMode::Invalid);
}

TEST(RunOptions, DisplayNamesTheServer)
{
    EXPECT_EQ(Parse({"--display", ":3"}).display, ":3");
    EXPECT_EQ(Parse({"--display=host:1.0", "--root"}).display, "host:1.0");
}

TEST(RunOptions, UnknownOptionsAreErrorsThatNameThem)
{
    const RunOptions options = Parse({"--fullscreen"});
    EXPECT_EQ(options.mode, RunMode::Invalid);
    EXPECT_NE(options.error.find("--fullscreen"), std::string::npos);
    EXPECT_EQ(Parse({"--rooted"}).mode, RunMode::Invalid) << "a prefix of a longer word is no match";
    EXPECT_EQ(Parse({"--root=1"}).mode, RunMode::Invalid) << "--root takes no value";
    EXPECT_EQ(Parse({"root"}).mode, RunMode::Invalid);
}

TEST(RunOptions, HelpStopsReadingAndTheUsageNamesEverySwitch)
{
    EXPECT_EQ(Parse({"--help", "--nonsense"}).mode, RunMode::Help);
    EXPECT_EQ(Parse({"-h"}).mode, RunMode::Help);
    const std::string usage = RunOptionsUsage();
    for (const char* name : {"--window", "--root", "--window-id", "--count", "/s", "/p"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

TEST(RunOptions, WindowsSaveSwitchRunsFullScreen)
{
    for (const char* save : {"/s", "/S", "-s", "/save"})
        EXPECT_EQ(Parse({save}).mode, RunMode::FullScreen) << save;
    const RunOptions options = Parse({"--count", "64", "/s"});
    EXPECT_EQ(options.mode, RunMode::FullScreen);
    EXPECT_EQ(options.count, 64);
    EXPECT_EQ(Parse({"/s", "--count", "16"}).count, 16) << "options after the switch are still read";
}

TEST(RunOptions, WindowsPreviewReadsADecimalWindowAfterTheLetterOrNext)
{
    RunOptions options = Parse({"/p", "1234"});
    EXPECT_EQ(options.mode, RunMode::Preview);
    EXPECT_EQ(options.windowId, 1234ul);
    EXPECT_EQ(Parse({"/p1234"}).windowId, 1234ul);
    EXPECT_EQ(Parse({"-p", "77"}).windowId, 77ul);
    // As on Windows: no number right after the letter reads as 0, which shows nothing.
    options = Parse({"/p:1234"});
    EXPECT_EQ(options.mode, RunMode::Preview);
    EXPECT_EQ(options.windowId, 0ul);
    EXPECT_EQ(Parse({"/p"}).windowId, 0ul);
}

TEST(RunOptions, WindowsDialogSwitchesAreNotAvailable)
{
    for (const char* dialog : {"/c", "/C", "-c", "/a", "/c:1234", "/x"})
        EXPECT_EQ(Parse({dialog}).mode, RunMode::Unsupported) << dialog;
}

TEST(RunOptions, WaylandWhereTheSessionIsWaylandUnlessTheRunNeedsX11)
{
    const char* session = "wayland-1";
    EXPECT_EQ(ChooseDisplay(Parse({}), session), DisplayKind::Wayland);
    EXPECT_EQ(ChooseDisplay(Parse({"/s"}), session), DisplayKind::Wayland);
    EXPECT_EQ(ChooseDisplay(Parse({"/s"}), nullptr), DisplayKind::X11);
    EXPECT_EQ(ChooseDisplay(Parse({"/s"}), ""), DisplayKind::X11) << "an empty WAYLAND_DISPLAY names nothing";
    // Another program's window, the root window and an X server by name are X11's.
    for (const auto& x11 : {Parse({"--root"}), Parse({"--window-id", "0x400001"}), Parse({"/p", "5"}),
                            Parse({"--display", ":1"})})
        EXPECT_EQ(ChooseDisplay(x11, session), DisplayKind::X11);
    EXPECT_EQ(ChooseDisplay(Parse({"--x11", "/s"}), session), DisplayKind::X11);
    EXPECT_EQ(ChooseDisplay(Parse({"--wayland"}), nullptr), DisplayKind::Wayland);
    EXPECT_EQ(ChooseDisplay(Parse({"--wayland", "--x11"}), nullptr), DisplayKind::X11) << "the later wins";
}

TEST(RunOptions, WaylandOnlyAndX11OnlyPartsDoNotMix)
{
    const RunOptions output = Parse({"/s", "--output", "HDMI-A-1"});
    EXPECT_EQ(output.mode, RunMode::FullScreen);
    EXPECT_EQ(output.output, "HDMI-A-1");
    EXPECT_EQ(Parse({"--output=DP-2"}).output, "DP-2");
    for (const auto& bad : {Parse({"--wayland", "--root"}), Parse({"--window-id", "9", "--wayland"}),
                            Parse({"--wayland", "/p", "9"}), Parse({"--wayland", "--display", ":0"}),
                            Parse({"--x11", "--output", "DP-1"}), Parse({"--root", "--output", "DP-1"}),
                            Parse({"--output"}), Parse({"--wayland=1"})}) {
        EXPECT_EQ(bad.mode, RunMode::Invalid);
        EXPECT_FALSE(bad.error.empty());
    }
    const std::string usage = RunOptionsUsage();
    for (const char* name : {"--output", "--wayland", "--x11"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

TEST(ParseWindowId, AcceptsOnlyAWholePositiveNumber)
{
    unsigned long id = 7;
    EXPECT_TRUE(ParseWindowId("0x1c00003", &id));
    EXPECT_EQ(id, 0x1c00003ul);
    EXPECT_TRUE(ParseWindowId("29360131", &id));
    EXPECT_EQ(id, 29360131ul);
    id = 7;
    EXPECT_FALSE(ParseWindowId(nullptr, &id));
    EXPECT_FALSE(ParseWindowId("+12", &id));
    EXPECT_FALSE(ParseWindowId("0x-1", &id));
    EXPECT_FALSE(ParseWindowId("12 ", &id));
    // What strtoul alone would let through: white space first, a second hex prefix.
    EXPECT_FALSE(ParseWindowId("\n2", &id));
    EXPECT_FALSE(ParseWindowId(" 0x5", &id));
    EXPECT_FALSE(ParseWindowId("0x0x5", &id));
    EXPECT_FALSE(ParseWindowId("0x", &id));
    EXPECT_EQ(id, 7ul) << "a failed read leaves the id alone";
}

TEST(IdleOptions, MinutesAreANumberAboveZero)
{
    const RunOptions idle = Parse({"--idle", "0.05", "--count", "64"});
    EXPECT_EQ(idle.mode, RunMode::Idle);
    EXPECT_DOUBLE_EQ(idle.idleMinutes, 0.05);
    EXPECT_EQ(Parse({"--idle=10"}).idleMinutes, 10.0);
    for (const char* bad : {"0", "-1", "abc", "", "1e3", "0x10", "nan", "inf", "5min", " 5", "100000"}) {
        const RunOptions options = Parse({"--idle", bad});
        EXPECT_EQ(options.mode, RunMode::Invalid) << bad;
        EXPECT_NE(options.error.find("--idle takes the minutes"), std::string::npos) << bad;
    }
    EXPECT_EQ(Parse({"--idle"}).mode, RunMode::Invalid);
    EXPECT_EQ(Parse({"--idle", "5", "/s"}).mode, RunMode::FullScreen) << "the later switch wins";
    EXPECT_EQ(Parse({"--idle", "5", "/s"}).idleMinutes, 0.0);
}

}  // namespace
