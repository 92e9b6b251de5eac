#pragma once

#include <string>

// How the saver was asked to run on Linux: the switches of an xscreensaver hack, and the
// Windows switches for those who start it the Windows way.
enum class RunMode {
    Window,      // --window, or no switch at all: a normal window, so a newcomer sees it
    Root,        // --root: the window in XSCREENSAVER_WINDOW, else the root window (X11)
    WindowId,    // --window-id ID: drawn into that existing window (X11)
    FullScreen,  // /s: full screen, ended by input, as on Windows
    Preview,     // /p ID: a child filling window ID, as on Windows (X11)
    Unsupported, // /c, /a or no letter after a slash: Windows' dialogs, which X lacks
    Idle,        // --idle MINUTES: watch the session, start /s once it has been idle that long
    Help,        // --help
    Invalid,     // see error
};

// Which display the saver shows on.
enum class DisplayKind {
    Any,      // Wayland where WAYLAND_DISPLAY names one and the run needs nothing of X11
    X11,      // --x11
    Wayland,  // --wayland
};

struct RunOptions {
    RunMode mode = RunMode::Window;
    DisplayKind displayKind = DisplayKind::Any;
    unsigned long windowId = 0;       // for WindowId and Preview
    int count = 0;                    // --count: 16, 32 or 64; 0 leaves the settings file's
    std::string display;              // --display; empty means $DISPLAY
    std::string output;               // --output: the Wayland output for the animation
    double idleMinutes = 0;           // for Idle: more than 0
    std::string error;                // what was wrong, for Invalid
};

// Reads argv[1..argc-1]. Options take one or two dashes, and a value either as the next
// argument or after '='. A later mode switch wins over an earlier one. An argument that
// starts with '/', or a one-letter switch such as -s, hands the rest of the line to the
// Windows switch scan, where the first of S, P, A, C decides and P reads a decimal window
// number right after it.
RunOptions ParseRunOptions(int argc, const char* const* argv);

// The display a valid run shows on, X11 or Wayland: the one forced, else X11 for what
// only X11 has (another program's window, --display), else Wayland when the environment
// names a Wayland display (waylandDisplay, WAYLAND_DISPLAY's value or null), else X11.
DisplayKind ChooseDisplay(const RunOptions& options, const char* waylandDisplay);

// An X window id as xscreensaver and X tools write it: decimal, or hexadecimal after 0x.
// The whole text must be the number, and 0 is no window.
bool ParseWindowId(const char* text, unsigned long* id);

// The text --help prints.
const char* RunOptionsUsage();
