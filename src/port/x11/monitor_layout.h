#pragma once

#include <optional>
#include <vector>

#include "port/linux/screen_rect.h"

// The monitors of an X screen, as the saver sees them. Works on plain rectangles, so
// that it is tested without a display.

// The monitors in root-window coordinates, the primary one first: RandR's primary output
// when it is one of the heads, else the first head. Heads shown twice (mirrored outputs)
// count once, and empty ones not at all. Without heads (no Xinerama) the whole screen is
// the one monitor.
std::vector<ScreenRect> OrderMonitors(const std::vector<ScreenRect>& heads, const std::optional<ScreenRect>& randrPrimary,
                                      const ScreenRect& wholeScreen);
