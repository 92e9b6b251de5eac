#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>

#include "desktop_api.h"

// The record through which the window procedure and the animation thread meet; the
// thread gets its address as its only argument.
struct AnimationBlock {
    HWND window = nullptr;       // stored just before the thread starts
    HANDLE threadHandle = nullptr;  // the main thread's alone; closed exactly once
    std::atomic<std::int32_t> stopRequested{0};  // set once by the main thread
};

constexpr std::size_t kSettingsRecordSize = 512;
using SettingsRecord = std::array<unsigned char, kSettingsRecordSize>;

using VerifyPasswordProc = BOOL(WINAPI*)(HWND owner);

// The most monitors besides the primary that a full-screen run covers.
constexpr std::int32_t kMaxCoverWindows = 15;

// The process-wide state the saver is built around. Each field is written by one piece of
// code; everything the animation thread reads is written before the thread starts.
struct SaverGlobals {
    HINSTANCE saverInstance = nullptr;
    std::int32_t varbuleCount = 32;
    COLORREF backgroundColor = 0x00800000;  // dark blue
    HBRUSH backgroundBrush = nullptr;
    HWND saverWindow = nullptr;
    std::int32_t previewMode = 0;
    std::int32_t win9xPasswords = 0;
    HMODULE passwordModule = nullptr;
    VerifyPasswordProc verifyPassword = nullptr;
    std::int32_t checkingPassword = 0;
    std::int32_t closing = 0;
    POINT savedCursorPos = {0, 0};
    // The windows over the monitors other than the primary, while a full-screen run has
    // them: each monitor gets one, in the background colour.
    HWND coverWindows[kMaxCoverWindows] = {};
    std::int32_t coverCount = 0;

    // The string table's entries, each in a buffer of its own fixed size.
    char descriptionText[40] = {};
    char appName[40] = {};
    char settingsFileName[13] = {};
    char screenSaverName[22] = {};
    char helpFileName[13] = {};
    char noHelpMemoryText[255] = {};
    char rateLabel[255] = {};
    char creditLine[64] = {};

    SettingsRecord settingsRecord = {};
    std::FILE* settingsFile = nullptr;  // open only within one read or write

    AnimationBlock animation;
};

extern SaverGlobals saver;
