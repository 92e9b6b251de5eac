#include "port/picture/disc_shape.h"

DiscShape::DiscShape(std::int32_t width, std::int32_t height)
{
    // The rule in the bounds' own coordinates. Every value here is a whole number or a
    // half, so each difference is exact and the same as at any position of the bounds:
    // the tests on the quotients below give the very pixels the rule gives there.
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double rx = width / 2.0;
    const double ry = height / 2.0;
    if (rx <= 0 || ry <= 0)
        return;
    spans_.resize(static_cast<std::size_t>(height), Span{0, 0});
    for (std::int32_t y = 0; y < height; ++y) {
        const double v = (y + 0.5 - cy) / ry;
        // The test grows with the distance from the centre column (each rounding keeps
        // order), so a row's pixels are one run, symmetric about the centre; the first
        // pixel inside gives both of its ends.
        for (std::int32_t x = 0; x < (width + 1) / 2; ++x) {
            const double u = (x + 0.5 - cx) / rx;
            if (u * u + v * v <= 1.0) {
                spans_[static_cast<std::size_t>(y)] = Span{x, width - x};
                break;
            }
        }
    }
}

void DiscShape::Fill(const Pixels& picture, std::int32_t left, std::int32_t top, std::uint32_t pixel) const
{
    ForEachSpan(left, top, picture.width, picture.height, [&](std::int32_t y, std::int32_t first, std::int32_t end) {
        std::fill(picture.Row(y) + first, picture.Row(y) + end, pixel);
    });
}
