// A run on Wayland: full screen over every output (/s), or in an ordinary window
// (--window, the default). Either way the host's RunSaver runs it, on the desktop whose
// display is the compositor.

#include "port/wayland/wayland_run.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "globals/saver_globals.h"
#include "host/run_saver.h"
#include "port/wayland/wayland_display.h"
#include "port/wayland/wayland_state.h"

namespace {

// Why the compositor cannot show the saver, or none when it can.
const char* Missing()
{
    const WaylandDisplay& w = W();
    if (w.compositor == nullptr || w.shm == nullptr)
        return "the compositor has no surfaces or shared memory";
    if (w.layerShell == nullptr && w.wmBase == nullptr)
        return "the compositor has neither the layer shell nor xdg-shell";
    return nullptr;
}

std::string OutputNames()
{
    std::string names;
    for (const auto& output : W().outputs) {
        if (output->gone)
            continue;
        names += (names.empty() ? "" : ", ") + output->name;
    }
    return names.empty() ? "none" : names;
}

}  // namespace

int RunOnWayland(const RunOptions& options)
{
    if (!ConnectWayland(options)) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "varbules: cannot connect to the Wayland display %s\n",
                     name != nullptr && *name != '\0' ? name : "(WAYLAND_DISPLAY is not set)");
        return 1;
    }
    int result = 1;
    if (const char* missing = Missing()) {
        std::fprintf(stderr, "varbules: %s\n", missing);
    } else if (!ChooseAnimatedOutput()) {
        if (options.output.empty())
            std::fputs("varbules: the compositor has no output\n", stderr);
        else
            std::fprintf(stderr, "varbules: no output named %s (there are: %s)\n", options.output.c_str(),
                         OutputNames().c_str());
    } else {
        // A write to a connection whose compositor has gone fails instead of ending the
        // process; the failure is then read as the lost connection it is.
        std::signal(SIGPIPE, SIG_IGN);
        if (options.mode == RunMode::Window) {
            W().framed = true;
            Desk().coversMonitors = false;
        }
        result = RunSaver(nullptr);
        if (W().failed)
            result = 1;
    }
    DisconnectWayland();
    return result;
}
