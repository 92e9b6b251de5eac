#pragma once

#include "desktop_api.h"

// On a desk of several monitors the saver window covers the primary one, where the discs
// move, and every other monitor gets a window of its own: top-most, of exactly that
// monitor's rectangle, in the background colour, without a cursor. Input on one of them
// is handed to the saver window, so that it ends the saver by the saver window's own
// close path, password check included.

// Covers every monitor but the primary. With one monitor nothing is made. A system
// without the monitor functions (Windows 95, NT 4.0), or a monitor list that cannot be
// read, counts as one monitor; a window that cannot be made is left out.
void CoverOtherMonitors();

// Destroys the covering windows.
void UncoverMonitors();

// The covering windows' procedure.
LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr const char* kCoverClassName = "VarbulesCoverClass";
