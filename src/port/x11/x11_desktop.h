#pragma once

#include "desktop_api.h"

// What the X11 run needs of the X11 display beyond the Win32 calls the host makes.
// Everything here runs on the main thread.

// Opens the main thread's connection to the display (nullptr: $DISPLAY). Returns false
// when there is no display to talk to.
bool OpenDesktop(const char* displayName);
// Closes it again; the windows the program made go with it.
void CloseDesktop();

// A handle for a window of another program, usable as a parent; none if there is no such
// window.
HWND ExistingWindow(unsigned long id);

// The next top-level saver window is not made but is this existing window, drawn on as it
// is: the daemon's window, the root window, or a window handed over on the command line.
// Only its painting is asked for; its input stays with whoever owns it.
void DrawOnExistingWindow(unsigned long id);

// A normal window for the window manager to place and decorate; closing it through the
// window manager closes the saver drawn on it.
unsigned long MakeFrameWindow(int width, int height, const char* title);
void DestroyFrameWindow(unsigned long id);

unsigned long RootWindowId();
