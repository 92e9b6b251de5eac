#pragma once

#include <optional>
#include <vector>

// The monitors of an X screen, as the saver sees them. Works on plain rectangles, so
// that it is tested without a display.

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The monitors in root-window coordinates, the primary one first: RandR's primary output
// when it is one of the heads, else the first head. Heads shown twice (mirrored outputs)
// count once, and empty ones not at all. Without heads (no Xinerama) the whole screen is
// the one monitor.
std::vector<ScreenRect> OrderMonitors(const std::vector<ScreenRect>& heads, const std::optional<ScreenRect>& randrPrimary,
                                      const ScreenRect& wholeScreen);
