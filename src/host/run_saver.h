#pragma once

#include "desktop_api.h"

// Makes the saver window, full screen when parent is none or as a child filling the
// parent's client area, and runs the message loop until the window is gone. Returns the
// exit code.
int RunSaver(HWND parent);

// Registers "WindowsScreenSaverClass". Returns nonzero on success.
BOOL RegisterSaverClass();

// A hook for further window classes; there are none. Returns 1.
BOOL RegisterExtraClasses(HINSTANCE instance);

constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kSaverWindowTitle = "SCREENSAVER";
