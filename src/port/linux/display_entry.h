#pragma once

#include "port/linux/run_options.h"

// The Linux saver is two programs built from the same entry: varbules, which runs on X11,
// and varbules-wayland beside it, which runs on Wayland; each loads only its own
// display's libraries, so an X11 run (xscreensaver's) costs what it always did. Each
// starts the other, with the same arguments, for a run on the other display, so that
// users and idle daemons know one command, varbules.

// Runs on the display chosen, or hands the run to the sibling program; returns the exit
// code when the run was this program's.
int RunOnDisplay(DisplayKind display, const RunOptions& options, char** argv);

// Replaces this process with the program of that name in this program's own folder,
// given the same arguments; returns only when it cannot, after saying why in one line.
void RunSibling(const char* name, char** argv);
