#pragma once

#include <algorithm>
#include <cstdint>

#include "sim/surface.h"

// A picture in memory, 32 bits a pixel as 0x00RRGGBB (Wayland's XRGB8888, and an X
// server's 24-bit TrueColor images on a little-endian machine), row by row from the top
// left. The memory belongs to whoever hands the view out.
struct Pixels {
    std::uint32_t* data = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;  // pixels from the start of one row to the next

    std::uint32_t* Row(std::int32_t y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
};

// What of a rectangle lies on a picture of that size. When nothing does it is
// {0, 0, 0, 0}, so that nobody has to make sense of a rectangle turned inside out.
inline PixelRect ClippedTo(const PixelRect& r, std::int32_t width, std::int32_t height)
{
    const PixelRect clipped{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
    return clipped.right <= clipped.left || clipped.bottom <= clipped.top ? PixelRect{0, 0, 0, 0} : clipped;
}

// Paints a rectangle that lies on the picture (clip it first) in one pixel value.
inline void FillRect(const Pixels& picture, const PixelRect& r, std::uint32_t pixel)
{
    for (std::int32_t y = r.top; y < r.bottom; ++y)
        std::fill(picture.Row(y) + r.left, picture.Row(y) + r.right, pixel);
}

// A COLORREF-style colour (red in the low byte) as a pixel.
constexpr std::uint32_t PixelOf(Colour colour)
{
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
