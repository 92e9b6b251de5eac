#pragma once

#include <deque>
#include <vector>

#include "sim/surface.h"

// The animation's drawing on the page's canvas (2D context), through a few calls into the
// page's script. A disc is drawn as a sprite of whole pixels (the pixels whose centres lie
// inside the ellipse, as GDI's elliptic regions are filled) so that erasing it in the
// background colour leaves nothing behind, as on Windows; smoothed edges would leave
// rings. Text is drawn character by character with the extra spacing, in an opaque cell.
class CanvasSurface final : public Surface {
public:
    // Makes the canvas this size in device pixels (at least 1 by 1) and fills it with the
    // background colour, as the saver window's first erase does.
    CanvasSurface(int width, int height, Colour background);

    PixelSize ClientSize() override { return {width_, height_}; }
    Brush MakeBrush(Colour colour) override;
    Region MakeDiscRegion(const PixelRect& bounds) override;
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override;
    PixelSize MeasureText(const char* text, std::int32_t length) override;
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override;
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

private:
    int width_;
    int height_;
    std::vector<Colour> brushes_;
    std::deque<PixelRect> regions_;
    Colour textBackground_ = 0;
    Colour textColour_ = 0x00FFFFFF;
    std::int32_t characterExtra_ = 0;
};

// The size of the browser window in device pixels, as the canvas should be.
PixelSize PageSize();
