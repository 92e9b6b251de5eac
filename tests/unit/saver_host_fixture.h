#pragma once

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "host/run_saver.h"
#include "fresh_process.h"
#include "port/fake/fake_desktop.h"

// The host's tests against the fake desktop: a saver window made as RunSaver makes it,
// messages sent to it or run as the loop would, and a password verifier each test scripts.

inline std::function<BOOL(HWND)> verifier;
inline int verifications = 0;

inline BOOL WINAPI ScriptedVerifier(HWND window)
{
    ++verifications;
    return verifier(window);
}

class SaverHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAsFreshProcess();
        verifications = 0;
        verifier = nullptr;
    }
    void TearDown() override
    {
        // No test may leave an animation thread behind.
        if (window_ != nullptr && WindowOf(window_).alive)
            DestroyWindow(window_);
    }

    // A saver window as RunSaver makes it, without running the loop.
    HWND Open(HWND parent = nullptr)
    {
        EXPECT_TRUE(RegisterSaverClass());
        if (parent != nullptr) {
            saver.previewMode = 1;
            window_ = CreateWindowExA(0, kSaverClassName, kSaverWindowTitle, WS_CHILD, 0, 0, 152, 112, parent,
                                      nullptr, nullptr, nullptr);
        } else {
            window_ = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverWindowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                                      1024, 768, nullptr, nullptr, nullptr, nullptr);
        }
        saver.saverWindow = window_;
        return window_;
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(window_, message, wParam, lParam);
    }

    // How many WM_CLOSE requests wait in the queue.
    static long PostedCloses()
    {
        const auto& q = Desktop().queue;
        return std::count_if(q.begin(), q.end(), [](const MSG& m) { return m.message == WM_CLOSE; });
    }

    // Runs the queued messages the way the loop would, until it is empty or quits.
    static void Pump()
    {
        while (!Desktop().queue.empty() && Desktop().queue.front().message != WM_QUIT) {
            MSG message = Desktop().queue.front();
            Desktop().queue.pop_front();
            DispatchMessageA(&message);
        }
    }

    HWND window_ = nullptr;
};
