#pragma once

#include "desktop_api.h"

// The saver window's own procedure, the middle of its three layers. It loads strings and
// settings at creation, paints the background and starts the animation thread at the
// first erase, and stops and awaits the thread when the window is destroyed. Everything
// but the erase goes on to DefaultSaverProc.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
