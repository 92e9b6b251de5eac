#include <algorithm>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "host/run_saver.h"
#include "host/saver_procs.h"
#include "saver_host_fixture.h"

namespace {

TEST_F(SaverHost, TheCursorMustReallyMoveToEndTheSaver)
{
    Desktop().cursor = {300, 200};
    Open();
    EXPECT_EQ(saver.savedCursorPos.x, 300);
    EXPECT_EQ(Desktop().cursorHides, 1);

    Send(WM_MOUSEMOVE, 0, 0x00100010);  // the coordinates it carries are not looked at
    EXPECT_EQ(PostedCloses(), 0);
    Desktop().cursor = {300, 201};
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(PostedCloses(), 1);
    Desktop().queue.clear();
    Desktop().cursor = {301, 200};
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(PostedCloses(), 1);
}

TEST_F(SaverHost, DeactivationClosesOnlyWithTheCursorAwayAndActivationNever)
{
    Open();
    for (const UINT message : {WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE}) {
        Desktop().queue.clear();
        Desktop().cursor = saver.savedCursorPos;
        Send(message, 0);
        EXPECT_EQ(PostedCloses(), 0) << message;
        Desktop().cursor.x += 5;
        Send(message, 1);
        Send(message, 0x10000);  // any nonzero value, high bits included, is an activation
        EXPECT_EQ(PostedCloses(), 0) << message;
        Send(message, 0);
        EXPECT_EQ(PostedCloses(), 1) << message;
        Desktop().cursor.x -= 5;
    }
}

TEST_F(SaverHost, PressesCloseButReleasesAndDoubleClicksNever)
{
    Open();
    for (const UINT message : {WM_KEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK})
        Send(message);
    EXPECT_EQ(PostedCloses(), 0);
    for (const UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        Send(message);
    EXPECT_EQ(PostedCloses(), 5);
    EXPECT_EQ(std::count(Desktop().defaultHandled.begin(), Desktop().defaultHandled.end(), WM_KEYDOWN), 1)
        << "input goes on to the default procedure after the request";
}

TEST_F(SaverHost, WithoutAVerifierTheFirstCloseEndsTheRun)
{
    Open();
    Send(WM_KEYDOWN);
    Pump();
    EXPECT_FALSE(WindowOf(window_).alive);
    EXPECT_EQ(saver.closing, 1);
    ASSERT_FALSE(Desktop().queue.empty());
    EXPECT_EQ(Desktop().queue.back().message, WM_QUIT);
    EXPECT_EQ(std::count(Desktop().defaultHandled.begin(), Desktop().defaultHandled.end(), WM_CLOSE), 0)
        << "WM_CLOSE is the saver's own business in full screen";
}

TEST_F(SaverHost, InputDuringThePasswordCheckRequestsNothingAndASecondCloseIsIgnored)
{
    Open();
    saver.verifyPassword = ScriptedVerifier;
    verifier = [&](HWND) {
        // The modal dialog's own loop delivers input and even a queued WM_CLOSE meanwhile.
        EXPECT_EQ(saver.checkingPassword, 1);
        Desktop().cursor.x += 40;
        Send(WM_MOUSEMOVE);
        Send(WM_KEYDOWN);
        EXPECT_EQ(Send(WM_SETCURSOR), 0) << "the dialog keeps its cursor";
        Send(WM_CLOSE);
        EXPECT_EQ(PostedCloses(), 0);
        return FALSE;
    };
    Send(WM_LBUTTONDOWN);
    Pump();
    EXPECT_EQ(verifications, 1);
    EXPECT_TRUE(WindowOf(window_).alive) << "a refusal keeps the saver running";
    EXPECT_EQ(saver.closing, 0);
    EXPECT_EQ(saver.checkingPassword, 0);
    EXPECT_EQ(saver.savedCursorPos.x, Desktop().cursor.x) << "the cursor is read again after a refusal";
    EXPECT_EQ(Send(WM_SETCURSOR), 1);

    // The next input asks afresh; this time the password is accepted.
    verifier = [](HWND) { return TRUE; };
    Send(WM_KEYDOWN);
    Pump();
    EXPECT_EQ(verifications, 2);
    EXPECT_FALSE(WindowOf(window_).alive);
    EXPECT_NE(saver.closing, 0);
}

TEST_F(SaverHost, OnceClosingInputGoesStraightToTheDefaultProcedure)
{
    Open();
    saver.closing = 1;
    const std::size_t before = Desktop().defaultHandled.size();
    Send(WM_KEYDOWN);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(Desktop().defaultHandled.size(), before + 2);
    EXPECT_EQ(PostedCloses(), 0);
    EXPECT_EQ(Send(WM_TIMER), 0);
    EXPECT_EQ(Desktop().defaultHandled.size(), before + 2) << "timer messages are swallowed";
    saver.closing = 0;
}

TEST_F(SaverHost, FullScreenSwallowsTheCommandsThatWouldSwitchAway)
{
    Open();
    for (const WPARAM command : {SC_CLOSE, SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
        const std::size_t before = Desktop().defaultHandled.size();
        EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0);
        EXPECT_EQ(Desktop().defaultHandled.size(), before) << command;
    }
    Send(WM_SYSCOMMAND, SC_CLOSE | 0x10000);  // not equal as a whole: the platform's
    Send(WM_SYSCOMMAND, 0xF020);
    EXPECT_EQ(std::count(Desktop().defaultHandled.begin(), Desktop().defaultHandled.end(), WM_SYSCOMMAND), 2);
}

TEST_F(SaverHost, TheVerifyMessageSaysYesWithoutAVerifier)
{
    Open();
    EXPECT_EQ(Send(kVerifyPasswordMessage), 1);
}

TEST_F(SaverHost, APreviewIgnoresInputAndLetsTheDefaultProcedureClose)
{
    HWND parent = MakeFakeParent(152, 112);
    Desktop().cursor = {10, 10};
    Open(parent);
    EXPECT_EQ(Desktop().cursorHides, 0);
    Desktop().cursor = {50, 50};
    for (const UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_SETCURSOR})
        Send(message);
    Send(WM_ACTIVATE, 0);
    EXPECT_EQ(PostedCloses(), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_CLOSE), 0);
    EXPECT_EQ(Desktop().defaultHandled.back(), WM_SYSCOMMAND);
    Send(kVerifyPasswordMessage);
    EXPECT_EQ(Desktop().defaultHandled.back(), kVerifyPasswordMessage);

    saver.verifyPassword = ScriptedVerifier;
    verifier = [](HWND) { return FALSE; };
    Send(WM_CLOSE);
    EXPECT_EQ(verifications, 0);
    EXPECT_FALSE(WindowOf(window_).alive);
}

TEST_F(SaverHost, TheFirstEraseStartsOneThreadBelowNormalPriority)
{
    Open();
    EXPECT_EQ(Desktop().threadsStarted, 0) << "creation alone starts nothing";
    Send(WM_ERASEBKGND);
    Send(WM_ERASEBKGND);
    EXPECT_EQ(Send(WM_ERASEBKGND), 0);
    EXPECT_EQ(Desktop().backgroundFills, 3);
    EXPECT_EQ(Desktop().threadsStarted, 1);
    EXPECT_EQ(Desktop().priorities, (std::vector<int>{THREAD_PRIORITY_BELOW_NORMAL}));
    EXPECT_EQ(saver.animation.window, window_);

    // The thread really animates until the window goes.
    for (int i = 0; i < 400 && Desktop().framesDrawn < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(Desktop().framesDrawn, 3);

    DestroyWindow(window_);
    EXPECT_EQ(Desktop().threadWaits, 1);
    EXPECT_EQ(Desktop().handlesClosed, 1);
    EXPECT_EQ(saver.animation.threadHandle, nullptr);
    EXPECT_EQ(saver.animation.stopRequested.load(), 1);
    const int framesAtEnd = Desktop().framesDrawn;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(Desktop().framesDrawn, framesAtEnd) << "nothing draws after the wait returned";
}

TEST_F(SaverHost, AFailedStartIsTriedAgainAtTheNextErase)
{
    Desktop().failThreadStarts = 1;
    Open();
    Send(WM_ERASEBKGND);
    EXPECT_EQ(Desktop().threadsStarted, 0);
    EXPECT_TRUE(Desktop().priorities.empty());
    Send(WM_ERASEBKGND);
    EXPECT_EQ(Desktop().threadsStarted, 1);
    EXPECT_EQ(Desktop().priorities.size(), 1u);
}

TEST_F(SaverHost, AWindowGoneBeforeItsFirstEraseAwaitsNothing)
{
    Desktop().failThreadStarts = 1;
    Open();
    Send(WM_ERASEBKGND);
    DestroyWindow(window_);
    EXPECT_EQ(Desktop().threadWaits, 0);
    EXPECT_EQ(Desktop().handlesClosed, 0);
    EXPECT_EQ(Desktop().queue.back().message, WM_QUIT);
}

TEST_F(SaverHost, CreationReadsStringsAndSettingsAndMakesTheBackgroundBrush)
{
    saver.rateLabel[0] = '\0';
    Open();
    EXPECT_STREQ(saver.rateLabel, "Actions per sec:");
    EXPECT_STREQ(saver.settingsFileName, "Varbule.ini");
    EXPECT_EQ(saver.backgroundBrush, CreateSolidBrush(0x00800000));
    EXPECT_EQ(saver.varbuleCount, 32) << "no settings file in the test's directory";
}

// RunSaver, the whole run, with the loop fed by the fake desktop.
TEST_F(SaverHost, AFullScreenRunEndsWithExitCodeZeroAtTheFirstKeyPress)
{
    saver.win9xPasswords = 1;
    saver.passwordModule = FakeModule();
    Desktop().onIdle = [] {
        // The saver runs until the user presses a key.
        static int idles;
        if (Desktop().framesDrawn < 2 && ++idles < 400) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return true;
        }
        HWND window = saver.saverWindow;
        if (!WindowOf(window).alive)
            return false;
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
        return true;
    };
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_FALSE(Desktop().loopRanDry);
    EXPECT_GE(Desktop().framesDrawn, 2);

    const FakeWindow& window = WindowOf(saver.saverWindow);
    EXPECT_EQ(window.className, "WindowsScreenSaverClass");
    EXPECT_EQ(window.title, "SCREENSAVER");
    EXPECT_EQ(window.exStyle, WS_EX_TOPMOST);
    EXPECT_EQ(window.style, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(window.width, 1024);
    EXPECT_EQ(window.height, 768);
    EXPECT_TRUE(window.shown);

    const WNDCLASSA& windowClass = Desktop().classes.at("WindowsScreenSaverClass");
    EXPECT_EQ(windowClass.style, 0x0883u);
    EXPECT_EQ(windowClass.lpfnWndProc, SaverClassProc);
    EXPECT_EQ(windowClass.hIcon, LoadIconA(nullptr, MAKEINTRESOURCEA(100)));
    EXPECT_EQ(windowClass.hCursor, nullptr);
    EXPECT_EQ(windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));

    EXPECT_EQ(Desktop().systemParameters,
              (std::vector<std::pair<UINT, UINT>>{{SPI_SCREENSAVERRUNNING, 1}, {SPI_SCREENSAVERRUNNING, 0}}));
    EXPECT_EQ(Desktop().librariesFreed, 1);
    EXPECT_EQ(Desktop().threadsStarted, 1);
    EXPECT_EQ(Desktop().handlesClosed, 1);
}

TEST_F(SaverHost, APreviewRunFillsItsParentAndEndsWithIt)
{
    saver.win9xPasswords = 1;
    HWND parent = MakeFakeParent(152, 112);
    saver.previewMode = 1;
    Desktop().onIdle = [parent] {
        static int idles;
        if (Desktop().framesDrawn < 1 && ++idles < 400) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return true;
        }
        if (!WindowOf(parent).alive)
            return false;
        DestroyWindow(parent);  // the desktop closes its settings
        return true;
    };
    EXPECT_EQ(RunSaver(parent), 0);
    EXPECT_FALSE(Desktop().loopRanDry);
    const FakeWindow& window = WindowOf(saver.saverWindow);
    EXPECT_EQ(window.style, WS_CHILD);
    EXPECT_EQ(window.exStyle, 0u);
    EXPECT_EQ(window.parent, parent);
    EXPECT_EQ(window.width, 152);
    EXPECT_EQ(window.height, 112);
    EXPECT_TRUE(Desktop().systemParameters.empty()) << "a preview is no running saver";
}

TEST_F(SaverHost, FailuresStillRestoreTheSystemStateAndReleaseThePasswordModule)
{
    saver.win9xPasswords = 1;
    saver.passwordModule = FakeModule();
    Desktop().failRegisterClass = true;
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_EQ(Desktop().messageBoxes, (std::vector<std::string>{"RegisterClasses() failed|(default)|16"}));
    EXPECT_EQ(Desktop().systemParameters.back(), (std::pair<UINT, UINT>{SPI_SCREENSAVERRUNNING, 0}));
    EXPECT_EQ(Desktop().librariesFreed, 1);

    ResetFakeDesktop();
    Desktop().failCreateWindow = true;
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_TRUE(Desktop().messageBoxes.empty());
    EXPECT_EQ(Desktop().systemParameters.size(), 2u);
    EXPECT_EQ(Desktop().systemParameters.back().second, 0u);
    EXPECT_EQ(Desktop().librariesFreed, 1);
    EXPECT_EQ(saver.saverWindow, nullptr);
}

}  // namespace
