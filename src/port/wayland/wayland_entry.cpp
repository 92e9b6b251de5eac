// varbules-wayland: Wayland runs its own; X11's are varbules's.

#include "port/linux/display_entry.h"
#include "port/wayland/wayland_run.h"

int RunOnDisplay(DisplayKind display, const RunOptions& options, char** argv)
{
    if (display == DisplayKind::Wayland)
        return RunOnWayland(options);
    RunSibling("varbules", argv);
    return 1;
}
