#pragma once

#include <cstdint>

// A colour with red in the low byte, green in the next and blue in the third, as on Windows.
using Colour = std::uint32_t;

// A rectangle of client pixels, laid out like a Win32 RECT.
struct PixelRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct PixelSize {
    std::int32_t cx;
    std::int32_t cy;
};

// What the animation draws with. A surface stands for the saver window's client area and
// the device context the animation thread holds on it; it is used by that thread alone.
// Brushes and regions are handles the surface hands out, in the manner of GDI objects:
// they stay valid until the surface's owner lets them go, and a failed creation may hand
// back 0, on which every later operation simply does nothing.
class Surface {
public:
    using Brush = std::uintptr_t;
    using Region = std::uintptr_t;

    virtual ~Surface() = default;

    virtual PixelSize ClientSize() = 0;
    virtual Brush MakeBrush(Colour colour) = 0;
    // The disc inscribed in the bounds, as a region that can be moved and filled.
    virtual Region MakeDiscRegion(const PixelRect& bounds) = 0;
    virtual void FillRegion(Region region, Brush brush) = 0;
    virtual void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) = 0;
    // The extent of a text in the current font and character spacing.
    virtual PixelSize MeasureText(const char* text, std::int32_t length) = 0;
    // Text from now on is drawn in an opaque cell of the background colour, in the text
    // colour, with the given number of extra pixels after every character.
    virtual void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) = 0;
    virtual void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) = 0;
};
