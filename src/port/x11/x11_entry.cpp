// varbules: X11 runs its own; Wayland's are varbules-wayland's.

#include "port/linux/display_entry.h"
#include "port/x11/x11_run.h"

int RunOnDisplay(DisplayKind display, const RunOptions& options, char** argv)
{
    if (display == DisplayKind::X11)
        return RunOnX11(options);
    RunSibling("varbules-wayland", argv);
    return 1;
}
