#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "desktop_api.h"

// Win32 values that the product never uses but the fake and its tests do: messages that
// must not end the saver, reading a radio button back, and the NT line's platform id.
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// An in-memory desktop behind the declared Win32 subset, for testing the saver's host
// without a window system. Posted messages wait in one queue until the loop fetches them;
// sent messages call the window procedure at once, re-entrantly if need be. Threads are
// real threads, so the thread sanitizer sees the host's hand-over to the animation.
struct FakeWindow {
    std::string className;
    std::string title;
    WNDPROC procedure = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool alive = true;
    bool shown = false;
    int showCommand = -1;  // the last ShowWindow's
    int erasures = 0;      // WM_ERASEBKGND answered nonzero
};

struct FakeDesktop {
    // Set up by a test.
    int screenWidth = 1024;
    int screenHeight = 768;
    POINT cursor{400, 300};
    bool failRegisterClass = false;
    bool failCreateWindow = false;
    std::string failClass;  // windows of this class cannot be made
    int failThreadStarts = 0;  // this many CreateThread calls fail before one succeeds
    // Called whenever the message loop finds the queue empty; it may post input or
    // change the cursor. Returning false means the test has nothing more to say.
    std::function<bool()> onIdle;
    // Called once a modal dialog is up, to play the user's part; it must end the dialog.
    std::function<void(HWND dialog)> onDialog;
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    bool desktopKeyMissing = false;
    bool usePasswordStored = false;
    DWORD usePassword = 0;  // the stored "ScreenSaveUsePassword", when stored
    // Modules LoadLibraryA can find, with the entry points each exports.
    std::map<std::string, std::map<std::string, FARPROC>> modules;
    // The monitors in virtual-screen coordinates, as USER32's EnumDisplayMonitors and
    // GetMonitorInfoA report them (which a fresh desktop's "USER32" module exports; take
    // it away, and the desktop is Windows 95's). One of them is the primary.
    std::vector<RECT> monitors{{0, 0, 1024, 768}};
    std::size_t primaryMonitor = 0;
    bool failMonitorInfo = false;
    HWND foreground = nullptr;

    // What the host did.
    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<FakeWindow>> windows;  // added to under windowsLock
    std::mutex windowsLock;
    std::deque<MSG> queue;
    std::vector<UINT> defaultHandled;  // messages that reached DefWindowProcA
    std::vector<HWND> destroyed;       // in the order of their WM_DESTROY
    std::vector<std::string> messageBoxes;
    std::vector<std::pair<UINT, UINT>> systemParameters;  // action, value
    std::vector<int> priorities;
    int cursorHides = 0;
    int backgroundFills = 0;
    HBRUSH lastFill = nullptr;
    int threadsStarted = 0;
    int threadWaits = 0;
    int handlesClosed = 0;
    int librariesFreed = 0;
    bool loopRanDry = false;  // the loop waited with nothing left to happen
    std::vector<std::string> librariesLoaded;
    int keysClosed = 0;
    struct DialogRun {
        std::uintptr_t templateId;
        HWND owner;
        INT_PTR result;
    };
    std::vector<DialogRun> dialogs;
    std::map<int, WPARAM> checks;  // the radio buttons' marks in the open dialog
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    std::vector<std::string> helpCalls;
    std::atomic<int> framesDrawn{0};
};

// The one desktop; ResetFakeDesktop gives a fresh one.
FakeDesktop& Desktop();
void ResetFakeDesktop();

FakeWindow& WindowOf(HWND window);
HWND HandleOf(const FakeWindow& window);
HWND MakeFakeParent(int width, int height);  // a window of "the desktop's" own
HMODULE FakeModule();                         // a module handle for FreeLibrary to release
