#pragma once

// A monitor's rectangle in the display's own coordinates.
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
