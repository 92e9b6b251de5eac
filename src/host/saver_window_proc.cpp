#include "host/saver_window_proc.h"

#include "globals/saver_globals.h"
#include "host/animation_thread.h"
#include "host/monitor_covers.h"
#include "host/saver_procs.h"
#include "settings/saver_strings.h"
#include "settings/settings_file.h"

namespace {

LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LoadSaverStrings();
    AnimationBlock& block = saver.animation;
    block.window = nullptr;
    block.threadHandle = nullptr;
    block.stopRequested.store(0);
    saver.backgroundBrush = CreateSolidBrush(saver.backgroundColor);
    ReadSettingsFile();
    return DefaultSaverProc(window, message, wParam, lParam);
}

LRESULT OnEraseBackground(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, saver.backgroundBrush);

    // The animation starts once, after the background first stands; a failed start is
    // tried again at the next erase.
    AnimationBlock& block = saver.animation;
    if (block.threadHandle != nullptr)
        return 0;
    block.window = window;
    HANDLE thread = CreateThread(nullptr, 0, AnimationThread, &block, 0, nullptr);
    if (thread != nullptr) {
        block.threadHandle = thread;
        SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    }
    return 0;
}

// The monitors were added, removed or rearranged: the covers follow. The saver window
// keeps its place and size, and the animation its client area.
LRESULT OnDisplayChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (saver.previewMode == 0 && saver.closing == 0) {
        UncoverMonitors();
        CoverOtherMonitors();
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The other monitors come back first, as the saver window goes.
    UncoverMonitors();
    // The thread finishes its frame and ends; it never waits for this one, so the wait
    // needs no limit. The window still exists meanwhile, so its last frame draws safely.
    AnimationBlock& block = saver.animation;
    if (block.threadHandle != nullptr) {
        block.stopRequested.store(1);
        WaitForSingleObject(block.threadHandle, INFINITE);
        CloseHandle(block.threadHandle);
        block.threadHandle = nullptr;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_DISPLAYCHANGE:
        return OnDisplayChange(window, message, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window, message, wParam, lParam);
    default:
        return DefaultSaverProc(window, message, wParam, lParam);
    }
}
