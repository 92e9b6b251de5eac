#pragma once

#include <X11/Xlib.h>

#include <map>
#include <optional>
#include <string>

#include "port/linux/desktop.h"
#include "port/x11/monitor_layout.h"

// The X11 display's own records, shared by the files that implement its part of the
// desktop. All of it belongs to the main thread, except where a field says otherwise.

struct X11Window final : DesktopWindow {
    Window xid = None;
    bool needsErase = false;      // an existing window taken over has never been painted by us
    // The part of the X window that is the client area, when not all of it is: the
    // primary monitor's part of the root window, when the saver draws on the root window
    // of a screen with several monitors.
    std::optional<ScreenRect> view;
};

inline X11Window& XRecord(HWND window)
{
    return static_cast<X11Window&>(Record(window));
}

inline X11Window& XRecord(DesktopWindow& window)
{
    return static_cast<X11Window&>(window);
}

struct X11Display {
    Display* display = nullptr;
    std::string displayName;  // read by the animation thread, written before it starts
    int screen = 0;
    Window root = None;
    GC eraseGc = nullptr;
    Cursor blankCursor = None;
    Atom wmProtocols = None;
    Atom wmDeleteWindow = None;
    Window drawOn = None;
    // The time between two pictures of the primary monitor; read by the animation thread,
    // written before it starts.
    std::uint32_t framePeriodMicros = 16667;
    std::map<COLORREF, unsigned long> pixels;  // the main thread's, by colour
};

X11Display& X();

// Reads the monitors of the display's screen and their refresh; called once the display
// is open.
void ReadMonitors();

// The live window with this X id, or none.
HWND WindowForXid(Window xid);

// X errors go to one handler for every connection and thread. Errors on a window that
// was destroyed from outside are expected while the animation finishes its frame; any
// other error is reported on stderr. The main thread can trap errors of a request it
// expects to fail (asking about a window that may not exist). A broken connection, on
// either thread, is reported in one line and ends the process at once with exit code 1.
void InstallErrorHandler();
void ExpectWindowGone();     // from now on errors are expected, on any thread
// Another program's window may be destroyed by its owner at any moment, even while we
// draw into it: errors about it are expected.
void ExpectErrorsAbout(Window xid);
void BeginErrorTrap();       // main thread
bool EndErrorTrap();         // true if an error arrived since BeginErrorTrap

// Whether a window exists and is visible, and its size; false if it does not exist.
bool QueryWindow(Window xid, int* width, int* height, bool* viewable);

