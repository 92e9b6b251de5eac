#pragma once

#include <string>
#include <vector>

#include "port/picture/disc_shape.h"
#include "sim/surface.h"

// A surface that draws into memory, for pictures of the animation without a window.
// It has no font: every character is drawn as a block in its cell, so the overlays show
// where their text stands but not what it says.
class RasterSurface final : public Surface {
public:
    static constexpr std::int32_t kGlyphWidth = 8;
    static constexpr std::int32_t kGlyphHeight = 16;

    RasterSurface(std::int32_t width, std::int32_t height);

    PixelSize ClientSize() override { return {width_, height_}; }
    Brush MakeBrush(Colour colour) override;
    Region MakeDiscRegion(const PixelRect& bounds) override;
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override;
    PixelSize MeasureText(const char* text, std::int32_t length) override;
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override;
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

    void FillAll(Colour colour);
    const std::vector<Colour>& pixels() const { return pixels_; }  // row by row from the top left
    bool WritePpm(const std::string& path) const;

private:
    struct Disc {
        PixelRect bounds;
        DiscShape shape;
    };

    void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, Colour colour);

    std::int32_t width_;
    std::int32_t height_;
    std::vector<Colour> pixels_;
    std::vector<Colour> brushes_;
    std::vector<Disc> discs_;
    Colour textBackground_ = 0;
    Colour textColour_ = 0;
    std::int32_t characterExtra_ = 0;
};
