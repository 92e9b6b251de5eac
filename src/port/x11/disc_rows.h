#pragma once

#include <cstdint>
#include <vector>

#include "port/picture/disc_shape.h"

// A disc's pixels as X rectangles (XRectangle: x, y, width, height), for one
// XFillRectangles request: a rectangle a row of the disc, alike rows one after another
// joined into one. A disc is only ever moved, so its rows are worked out once; a disc
// wholly inside the client area is then only they, moved, and one over an edge is cut row
// by row.
template <typename Rectangle>
class DiscRows {
public:
    // The disc in bounds of the given size.
    DiscRows(std::int32_t width, std::int32_t height) : shape_(width, height), width_(width), height_(height)
    {
        Cut(PixelRect{0, 0, width, height}, PixelSize{width, height}, 0, 0, rows_);
    }

    // Adds the rows of the disc in bounds, cut to a client area of the given size and
    // offset by (dx, dy) on the window, after the rectangles already there (which keeps
    // its storage from fill to fill).
    void Append(const PixelRect& bounds, PixelSize client, int dx, int dy, std::vector<Rectangle>& out) const
    {
        const bool inside = bounds.left >= 0 && bounds.top >= 0 && std::int64_t{bounds.left} + width_ <= client.cx &&
                            std::int64_t{bounds.top} + height_ <= client.cy;
        if (!inside) {
            Cut(bounds, client, dx, dy, out);
            return;
        }
        for (const Rectangle& row : rows_)
            out.push_back(Rectangle{static_cast<short>(row.x + bounds.left + dx),
                                    static_cast<short>(row.y + bounds.top + dy), row.width, row.height});
    }

private:
    void Cut(const PixelRect& bounds, PixelSize client, int dx, int dy, std::vector<Rectangle>& out) const
    {
        shape_.ForEachSpan(bounds.left, bounds.top, client.cx, client.cy,
                            [&](std::int32_t y, std::int32_t first, std::int32_t end) {
                                const auto x = static_cast<short>(first + dx);
                                const auto width = static_cast<unsigned short>(end - first);
                                Rectangle* last = out.empty() ? nullptr : &out.back();
                                if (last != nullptr && last->x == x && last->width == width &&
                                    last->y + last->height == y + dy) {
                                    ++last->height;
                                    return;
                                }
                                out.push_back(Rectangle{x, static_cast<short>(y + dy), width, 1});
                            });
    }

    DiscShape shape_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<Rectangle> rows_;  // at the bounds' own top left
};
