#pragma once

#include <vector>

#include "port/picture/disc_shape.h"

// A disc's pixels as X rectangles (XRectangle: x, y, width, height), for one
// XFillRectangles request: a rectangle a row of the disc, alike rows one after another
// joined into one, cut to the client area of the given size, and offset by (dx, dy) on
// the window. They are added to rows, after the rectangles already there, which keeps
// its storage from fill to fill.
template <typename Rectangle>
void DiscRows(const DiscShape& shape, const PixelRect& bounds, PixelSize client, int dx, int dy,
              std::vector<Rectangle>& rows)
{
    shape.ForEachSpan(bounds.left, bounds.top, client.cx, client.cy, [&](std::int32_t y, std::int32_t first, std::int32_t end) {
        const auto x = static_cast<short>(first + dx);
        const auto width = static_cast<unsigned short>(end - first);
        Rectangle* last = rows.empty() ? nullptr : &rows.back();
        if (last != nullptr && last->x == x && last->width == width && last->y + last->height == y + dy) {
            ++last->height;
            return;
        }
        rows.push_back(Rectangle{x, static_cast<short>(y + dy), width, 1});
    });
}
