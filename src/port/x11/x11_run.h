#pragma once

#include "port/linux/run_options.h"

// A run on X11, in any of the modes of the command line; returns the exit code.
int RunOnX11(const RunOptions& options);
