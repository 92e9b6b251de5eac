// The saver's entry on Linux, for both of its programs (display_entry.h). It runs on X11
// as an xscreensaver hack (--root, --window-id), in a window of its own (--window, the
// default), or the Windows way (/s full screen, /p preview); on Wayland in a window of
// its own or full screen over every output. In every case the same host code as on
// Windows runs the window and the animation, on top of the desktop in port/linux.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include "globals/saver_globals.h"
#include "port/linux/desktop.h"
#include "port/linux/display_entry.h"
#include "port/linux/run_options.h"

namespace {

int countOverride = 0;

// The window's creation has just read the settings file; a count from the command line
// stands over it.
void ApplyCountOverride(HWND)
{
    if (countOverride != 0)
        saver.varbuleCount = countOverride;
}

}  // namespace

int main(int argc, char** argv)
{
    const RunOptions options = ParseRunOptions(argc, argv);
    switch (options.mode) {
    case RunMode::Help:
        std::fputs(RunOptionsUsage(), stdout);
        return 0;
    case RunMode::Invalid:
        std::fprintf(stderr, "varbules: %s\n%s", options.error.c_str(), RunOptionsUsage());
        return 1;
    case RunMode::Idle:
        // A program of its own, which watches the session and starts this one.
        RunSibling("varbules-idle", argv);
        return 1;
    case RunMode::Unsupported:
        // Windows would open a dialog here. On Linux the count is chosen in xscreensaver's
        // settings or with --count, and the password is the screen locker's business.
        std::fputs("varbules: no settings dialog here; choose the count with --count or in xscreensaver's "
                   "settings\n",
                   stderr);
        return 0;
    default:
        break;
    }

    // The animation thread allocates only while it sets up; an allocation arena of its
    // own would keep a hundred kilobytes resident for that.
    mallopt(M_ARENA_MAX, 1);

    // The handlers go in before the display opens, so a stop that comes early still ends
    // the run cleanly.
    EndOnStopSignals();
    countOverride = options.count;
    SetWindowCreatedHook(ApplyCountOverride);
    return RunOnDisplay(ChooseDisplay(options, std::getenv("WAYLAND_DISPLAY")), options, argv);
}
