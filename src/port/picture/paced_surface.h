#pragma once

#include <memory>

#include "port/picture/picture_surface.h"
#include "sim/skipping_surface.h"

// The animation's surface on a picture that the display takes only now and then: a
// compositor is given a new picture once it has shown the last, some sixty times a
// second, while the frames run at the Windows pace, three times as often. Every frame
// runs, but only those the display can take are drawn (SkippingSurface keeps the picture
// after each drawn frame exactly what drawing every frame gives), and a display that
// shows nothing, an output switched off, costs no drawing at all.
class PacedSurface final : public Surface {
public:
    PacedSurface(PictureTarget& target, std::unique_ptr<GlyphFont> font, Colour background);

    PixelSize ClientSize() override { return skipping_.ClientSize(); }
    Brush MakeBrush(Colour colour) override { return skipping_.MakeBrush(colour); }
    Region MakeDiscRegion(const PixelRect& bounds) override { return skipping_.MakeDiscRegion(bounds); }
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override { skipping_.MoveRegion(region, dx, dy); }
    PixelSize MeasureText(const char* text, std::int32_t length) override { return skipping_.MeasureText(text, length); }
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override
    {
        skipping_.SetTextStyle(background, text, characterExtra);
    }
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

private:
    PictureTarget& target_;
    PictureSurface picture_;
    SkippingSurface skipping_;
    Colour background_;
    Brush eraser_;  // the background colour, as the skipping surface knows its erasers
    FrameEnd frameEnd_;
};
