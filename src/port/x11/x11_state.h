#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop_api.h"
#include "port/x11/monitor_layout.h"

// The X11 desktop's own records, shared by the files that implement the Win32 calls.
// All of it belongs to the main thread, except where a field says otherwise.

// What an HWND points to. Records are never freed while the program runs, so a stale
// handle still points at a record that says the window is gone.
struct X11Window {
    Window xid = None;
    WNDPROC procedure = nullptr;  // none for another program's window
    HWND parent = nullptr;
    bool ownWindow = false;       // made by CreateWindowExA, so destroyed by DestroyWindow
    bool fullScreen = false;      // takes the keyboard once it is visible
    bool alive = true;
    bool destroying = false;      // WM_DESTROY is under way
    bool goneFromOutside = false; // X destroyed it before we did
    bool needsErase = false;      // an existing window taken over has never been painted by us
    // The part of the X window that is the client area, when not all of it is: the
    // primary monitor's part of the root window, when the saver draws on the root window
    // of a screen with several monitors.
    std::optional<ScreenRect> view;
};

// A solid brush: its colour, and the main thread's pixel for it once asked for. A brush
// the animation's surface makes also carries the graphics context that fills with it on
// the surface's connection. The animation thread reads only the colour and that context
// of the main thread's brushes, which never change after creation.
struct SolidBrush {
    COLORREF colour = 0;
    std::optional<unsigned long> mainPixel;
    GC surfaceGc = nullptr;
};

struct X11Desktop {
    Display* display = nullptr;
    std::string displayName;  // read by the animation thread, written before it starts
    int screen = 0;
    Window root = None;
    GC eraseGc = nullptr;
    Cursor blankCursor = None;
    Atom wmProtocols = None;
    Atom wmDeleteWindow = None;
    Window drawOn = None;
    // The monitors in root-window coordinates, the primary one first; never empty once
    // the display is open. Win32's screen coordinates start at the primary's top left.
    std::vector<ScreenRect> monitors;

    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<X11Window>> windows;
    std::deque<std::unique_ptr<SolidBrush>> brushes;
    std::deque<MSG> posted;
    void (*windowCreated)(HWND) = nullptr;
};

X11Desktop& Desk();

// Reads the monitors of the display's screen; called once the display is open.
void ReadMonitors();

inline const ScreenRect& PrimaryMonitor()
{
    return Desk().monitors.front();
}

inline X11Window& Record(HWND window)
{
    return *reinterpret_cast<X11Window*>(window);
}

inline HWND Handle(X11Window& window)
{
    return reinterpret_cast<HWND>(&window);
}

// The live window with this X id, or none.
HWND WindowForXid(Window xid);

// A window's drawing context for the main thread is its record: FillRect needs nothing
// more than the X window behind it.
inline HDC DcOf(HWND window)
{
    return reinterpret_cast<HDC>(window);
}

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

// The pixel for a COLORREF in the display's default colour map.
unsigned long PixelFor(Display* display, int screen, COLORREF colour);

// Destroys every window of the program; used when a stop signal arrives.
void DestroyEveryWindow();

// The read end of the stop-signal pipe, or -1; reading it empties it. True if a stop
// signal has arrived since the last call.
int StopSignalFd();
bool TakeStopSignal();
