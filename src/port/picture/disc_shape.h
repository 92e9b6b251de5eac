#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "port/picture/pixels.h"

// The pixels of a disc: those whose centres lie inside the ellipse inscribed in its
// bounds, as GDI's elliptic regions fill them. The shape is worked out once, when the
// disc is made, as one span of pixels a row; a disc is only ever moved, so every fill
// after that is a run of row fills with no arithmetic on the rule.
class DiscShape {
public:
    DiscShape() = default;
    // Bounds of no width or no height (or less) hold no pixels.
    DiscShape(std::int32_t width, std::int32_t height);

    // Calls visit(y, first, end) for every row of the disc with its bounds' top left at
    // (left, top), its pixels [first, end) cut to the area [0, width) x [0, height).
    template <typename Visit>
    void ForEachSpan(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, Visit&& visit) const
    {
        const std::int32_t rows = static_cast<std::int32_t>(spans_.size());
        const std::int64_t fromRow = std::max<std::int64_t>(0, -std::int64_t{top});
        const std::int64_t toRow = std::min<std::int64_t>(rows, std::int64_t{height} - top);
        for (std::int64_t row = fromRow; row < toRow; ++row) {
            const Span& span = spans_[static_cast<std::size_t>(row)];
            const std::int64_t first = std::max<std::int64_t>(std::int64_t{left} + span.first, 0);
            const std::int64_t end = std::min<std::int64_t>(std::int64_t{left} + span.end, width);
            if (first < end)
                visit(static_cast<std::int32_t>(top + row), static_cast<std::int32_t>(first),
                      static_cast<std::int32_t>(end));
        }
    }

    // Sets the disc's pixels, with its bounds' top left at (left, top), to one pixel value,
    // leaving out whatever lies beyond the picture.
    void Fill(const Pixels& picture, std::int32_t left, std::int32_t top, std::uint32_t pixel) const;

private:
    // The pixels of one row, from the bounds' left; first == end when the row has none.
    struct Span {
        std::int32_t first;
        std::int32_t end;
    };

    std::vector<Span> spans_;  // one a row of the bounds, from the top
};
