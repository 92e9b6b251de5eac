// A run on X11: as an xscreensaver hack (--root, --window-id), in a window of its own
// (--window), or the Windows way (/s full screen, /p preview).

#include "port/x11/x11_run.h"

#include <cstdio>
#include <cstdlib>

#include "globals/saver_globals.h"
#include "host/run_saver.h"
#include "port/x11/x11_desktop.h"

namespace {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;

// xscreensaver names the window to draw on in the environment, in decimal or hex.
unsigned long DaemonWindow()
{
    unsigned long id = 0;
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    if (named != nullptr && ParseWindowId(named, &id))
        return id;
    return RootWindowId();
}

// A window named on the command line or by the daemon is another program's, which may
// not exist, or stop existing between our look at it and our first request on it. Either
// way the saver has nowhere to draw: it says so and ends with exit code 1.
int NoWindow(unsigned long id)
{
    std::fprintf(stderr, "varbules: no window 0x%lx\n", id);
    return 1;
}

// RunSaver, which has nothing to tell when the saver window could not be made: then the
// window it was to be made in or on had gone.
int RunSaverIn(HWND parent, unsigned long id)
{
    const int result = RunSaver(parent);
    if (saver.saverWindow == nullptr)
        return NoWindow(id);
    return result;
}

int Run(const RunOptions& options)
{
    switch (options.mode) {
    case RunMode::FullScreen:
        return RunSaver(nullptr);
    case RunMode::Preview: {
        HWND parent = ExistingWindow(options.windowId);
        if (parent == nullptr)
            return NoWindow(options.windowId);
        saver.previewMode = 1;
        return RunSaverIn(parent, options.windowId);
    }
    case RunMode::Root: {
        const unsigned long window = DaemonWindow();
        DrawOnExistingWindow(window);
        return RunSaverIn(nullptr, window);
    }
    case RunMode::WindowId:
        if (ExistingWindow(options.windowId) == nullptr)
            return NoWindow(options.windowId);
        DrawOnExistingWindow(options.windowId);
        return RunSaverIn(nullptr, options.windowId);
    case RunMode::Window: {
        const unsigned long frame = MakeFrameWindow(kFrameWidth, kFrameHeight, "Varbules");
        DrawOnExistingWindow(frame);
        const int result = RunSaver(nullptr);
        DestroyFrameWindow(frame);
        return result;
    }
    default:
        return 1;
    }
}

}  // namespace

int RunOnX11(const RunOptions& options)
{
    if (!OpenDesktop(options.display.empty() ? nullptr : options.display.c_str())) {
        std::fprintf(stderr, "varbules: cannot open display %s\n",
                     options.display.empty() ? "(DISPLAY is not set)" : options.display.c_str());
        return 1;
    }
    const int result = Run(options);
    CloseDesktop();
    return result;
}
