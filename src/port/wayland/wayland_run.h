#pragma once

#include "port/linux/run_options.h"

// A run on Wayland, in a window of its own or full screen; returns the exit code.
int RunOnWayland(const RunOptions& options);
