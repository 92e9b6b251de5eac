#pragma once

#include "port/linux/run_options.h"
#include "port/linux/screen_rect.h"

struct Output;

// Connects to the compositor named by WAYLAND_DISPLAY and learns its globals, outputs and
// seats; false when there is no compositor to talk to.
bool ConnectWayland(const RunOptions& options);
// Picks the output that shows the animation (--output, else the first announced); false
// when there is none of that name, or none at all.
bool ChooseAnimatedOutput();
void DisconnectWayland();

// The output at that place in the layout (a monitor's rectangle), or none.
Output* OutputAt(const ScreenRect& rect);
