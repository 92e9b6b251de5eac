#include "host/monitor_covers.h"

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "host/run_saver.h"
#include "saver_host_fixture.h"

namespace {

// The desk the tests use most: the primary 1024x768 at the origin, 800x600 to its right.
const std::vector<RECT> kTwoMonitors{{0, 0, 1024, 768}, {1024, 0, 1824, 600}};

RECT RectOf(HWND window)
{
    const FakeWindow& w = WindowOf(window);
    return {w.x, w.y, w.x + w.width, w.y + w.height};
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class MonitorCovers : public SaverHost {
protected:
    // The saver window on two monitors as a full-screen run has it, the second one
    // covered. Returns the cover.
    HWND OpenOnTwoMonitors()
    {
        Desktop().monitors = kTwoMonitors;
        Open();
        CoverOtherMonitors();
        EXPECT_EQ(saver.coverCount, 1);
        return saver.coverWindows[0];
    }
};

// The whole run on two monitors: the saver window exactly as on one, a cover over the
// other monitor, and a click on the cover ending the run through the saver window.
TEST_F(MonitorCovers, AFullScreenRunCoversTheOtherMonitorAndEndsOnAClickThere)
{
    Desktop().monitors = kTwoMonitors;
    HWND cover = nullptr;
    Desktop().onIdle = [&cover] {
        static int idles;
        if (Desktop().framesDrawn < 2 && ++idles < 400) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return true;
        }
        if (cover != nullptr)
            return WindowOf(saver.saverWindow).alive;
        EXPECT_EQ(saver.coverCount, 1);
        if (saver.coverCount != 1)
            return false;
        cover = saver.coverWindows[0];
        const FakeWindow& w = WindowOf(cover);
        EXPECT_EQ(w.className, kCoverClassName);
        EXPECT_TRUE(SameRect(RectOf(cover), kTwoMonitors[1]));
        EXPECT_EQ(w.style, WS_POPUP);
        EXPECT_EQ(w.exStyle, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
        EXPECT_EQ(w.showCommand, SW_SHOWNOACTIVATE) << "the keyboard stays with the saver window";
        EXPECT_EQ(w.erasures, 1);
        EXPECT_EQ(Desktop().classes.at(kCoverClassName).hCursor, nullptr);
        EXPECT_EQ(SendMessageA(cover, WM_SETCURSOR, 0, 0), 1);
        PostMessageA(cover, WM_LBUTTONDOWN, 0, 0);
        return true;
    };
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_FALSE(Desktop().loopRanDry) << "the click ended the run";

    const FakeWindow& window = WindowOf(saver.saverWindow);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 1024);
    EXPECT_EQ(window.height, 768);
    EXPECT_EQ(window.style, WS_POPUP | WS_VISIBLE);
    ASSERT_NE(cover, nullptr);
    EXPECT_FALSE(WindowOf(cover).alive);
    EXPECT_EQ(saver.coverCount, 0);
    // The cover went while the saver window was being destroyed, not after.
    EXPECT_EQ(Desktop().destroyed, (std::vector<HWND>{saver.saverWindow, cover}));
    EXPECT_EQ(Desktop().lastFill, saver.backgroundBrush);
}

TEST_F(MonitorCovers, EachMonitorButThePrimaryIsCoveredWhereverItStands)
{
    // The primary need not come first, and monitors left of or above it stand at negative
    // coordinates.
    Desktop().monitors = {{-1280, 0, 0, 1024}, {0, 0, 1024, 768}, {1024, -200, 1624, 400}};
    Desktop().primaryMonitor = 1;
    Open();
    CoverOtherMonitors();
    ASSERT_EQ(saver.coverCount, 2);
    EXPECT_TRUE(SameRect(RectOf(saver.coverWindows[0]), Desktop().monitors[0]));
    EXPECT_TRUE(SameRect(RectOf(saver.coverWindows[1]), Desktop().monitors[2]));

    // A cover that cannot be made is left out, and the saver goes on.
    UncoverMonitors();
    Desktop().failClass = kCoverClassName;
    CoverOtherMonitors();
    EXPECT_EQ(saver.coverCount, 0);
    EXPECT_TRUE(WindowOf(window_).alive);
}

// One monitor, a system without the monitor functions, and a list that cannot be read
// all leave the primary screen alone, never without the saver window.
TEST_F(MonitorCovers, NothingIsCoveredWithOneMonitorOrWithoutAReadableList)
{
    const auto coveredWith = [this](const std::function<void()>& setUp) {
        StartAsFreshProcess();
        Desktop().monitors = kTwoMonitors;
        setUp();
        Open();
        CoverOtherMonitors();
        const std::int32_t count = saver.coverCount;
        UncoverMonitors();
        DestroyWindow(window_);
        return count;
    };
    EXPECT_EQ(coveredWith([] {}), 1) << "the comparison: two monitors";
    EXPECT_EQ(coveredWith([] { Desktop().monitors.resize(1); }), 0);
    EXPECT_EQ(coveredWith([] { Desktop().monitors.clear(); }), 0);
    EXPECT_EQ(coveredWith([] { Desktop().modules.erase("USER32"); }), 0) << "Windows 95";
    EXPECT_EQ(coveredWith([] { Desktop().modules["USER32"].erase("GetMonitorInfoA"); }), 0);
    EXPECT_EQ(coveredWith([] { Desktop().failMonitorInfo = true; }), 0);
}

TEST_F(MonitorCovers, InputOnACoverIsTheSaverWindowsInput)
{
    HWND cover = OpenOnTwoMonitors();
    const auto closesAfter = [cover](UINT message, WPARAM wParam) {
        Desktop().queue.clear();
        SendMessageA(cover, message, wParam, 0);
        const bool closes = PostedCloses() == 1 && Desktop().queue.back().hwnd == saver.saverWindow;
        Desktop().queue.clear();
        return closes;
    };
    for (const UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        EXPECT_TRUE(closesAfter(message, 0)) << message;
    EXPECT_FALSE(closesAfter(WM_MOUSEMOVE, 0)) << "the cursor stands where it stood";
    EXPECT_FALSE(closesAfter(WM_ACTIVATE, 0));
    Desktop().cursor.x += 1;
    EXPECT_TRUE(closesAfter(WM_MOUSEMOVE, 0));
    EXPECT_TRUE(closesAfter(WM_ACTIVATE, 0)) << "deactivated with the cursor away";
    EXPECT_FALSE(closesAfter(WM_ACTIVATE, 1)) << "activation never closes";
    EXPECT_EQ(SendMessageA(cover, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageA(cover, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_TRUE(WindowOf(cover).alive);
}

// Input on a cover asks the one password check there is: more input meanwhile, on the
// cover or the saver window, asks nothing, and a refusal keeps every window up.
TEST_F(MonitorCovers, APasswordCheckFromACoverRunsOnceAndARefusalKeepsEveryWindow)
{
    HWND cover = OpenOnTwoMonitors();
    saver.verifyPassword = ScriptedVerifier;
    verifier = [&](HWND owner) {
        EXPECT_EQ(owner, window_) << "the box belongs to the saver window";
        SendMessageA(cover, WM_KEYDOWN, 0, 0);
        SendMessageA(cover, WM_CLOSE, 0, 0);
        Send(WM_LBUTTONDOWN);
        EXPECT_EQ(SendMessageA(cover, WM_SETCURSOR, 0, 0), 0) << "the dialog keeps its cursor";
        return FALSE;
    };
    SendMessageA(cover, WM_KEYDOWN, 0, 0);
    Pump();
    EXPECT_EQ(verifications, 1);
    EXPECT_TRUE(WindowOf(window_).alive);
    EXPECT_TRUE(WindowOf(cover).alive);
    EXPECT_EQ(saver.coverCount, 1);

    verifier = [](HWND) { return TRUE; };
    SendMessageA(cover, WM_RBUTTONDOWN, 0, 0);
    Pump();
    EXPECT_EQ(verifications, 2);
    EXPECT_FALSE(WindowOf(window_).alive);
    EXPECT_FALSE(WindowOf(cover).alive);
}

TEST_F(MonitorCovers, ADisplayChangeCoversTheNewLayoutAndAPreviewCoversNothing)
{
    HWND old = OpenOnTwoMonitors();
    Desktop().monitors = {{0, 0, 1024, 768}, {0, 768, 1024, 1536}, {1024, 0, 2304, 1024}};
    Send(WM_DISPLAYCHANGE, 32, 0);
    EXPECT_FALSE(WindowOf(old).alive);
    ASSERT_EQ(saver.coverCount, 2);
    EXPECT_TRUE(SameRect(RectOf(saver.coverWindows[0]), Desktop().monitors[1]));
    EXPECT_TRUE(SameRect(RectOf(saver.coverWindows[1]), Desktop().monitors[2]));
    EXPECT_EQ(WindowOf(window_).width, 1024) << "the saver window stays as it is";
    DestroyWindow(window_);
    EXPECT_EQ(saver.coverCount, 0);

    StartAsFreshProcess();
    Desktop().monitors = kTwoMonitors;
    HWND parent = MakeFakeParent(152, 112);
    Desktop().onIdle = [parent] {
        if (!WindowOf(parent).alive)
            return false;
        EXPECT_EQ(saver.coverCount, 0);
        SendMessageA(saver.saverWindow, WM_DISPLAYCHANGE, 32, 0);
        EXPECT_EQ(saver.coverCount, 0);
        DestroyWindow(parent);
        return true;
    };
    saver.previewMode = 1;
    EXPECT_EQ(RunSaver(parent), 0);
    for (const auto& w : Desktop().windows)
        EXPECT_NE(w->className, kCoverClassName);
}

}  // namespace
