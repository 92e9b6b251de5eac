#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "port/picture/disc_shape.h"
#include "port/picture/glyph_font.h"
#include "port/picture/pixels.h"
#include "port/solid_brush.h"
#include "port/display_surface.h"

// Where a PictureSurface draws: a window's picture in memory, which a display shows by
// copying the parts that changed (Wayland's shared-memory buffers, X11's MIT-SHM). Two
// threads may draw into it, so every drawing step takes it and gives it back.
class PictureTarget {
public:
    virtual ~PictureTarget() = default;
    // The picture's pixels, for this thread alone until Release.
    virtual Pixels Acquire() = 0;
    // Done drawing; the rectangle (clipped to the picture) holds everything that changed.
    virtual void Release(const PixelRect& changed) = 0;
    // A frame is complete: the display is to show what changed, as soon as it can take it.
    virtual void Present() = 0;
    // Whether the display would take a frame drawn now; frames it would not are better
    // left undrawn.
    virtual bool WantsFrame() { return true; }
};

// The animation's surface on a picture in memory. Discs are whole pixels, those whose
// centres lie inside the ellipse (as GDI's regions and the raster surface fill them);
// text is real characters of a font, each followed by the extra spacing, in an opaque
// cell. The picture is presented when a frame ends (EndFrame).
class PictureSurface final : public DisplaySurface {
public:
    // Without a font the text is measured as empty and not drawn.
    PictureSurface(PictureTarget& target, std::unique_ptr<GlyphFont> font);
    // The same on a target of the surface's own, which goes with it.
    PictureSurface(std::unique_ptr<PictureTarget> target, std::unique_ptr<GlyphFont> font);

    PixelSize ClientSize() override;
    Brush MakeBrush(Colour colour) override;
    Region MakeDiscRegion(const PixelRect& bounds) override;
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override;
    PixelSize MeasureText(const char* text, std::int32_t length) override;
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override;
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;
    void EndFrame() override { target_.Present(); }
    bool WantsFrame() override { return target_.WantsFrame(); }

private:
    struct Disc {
        PixelRect bounds;
        DiscShape shape;
    };

    std::unique_ptr<PictureTarget> ownTarget_;
    PictureTarget& target_;
    std::unique_ptr<GlyphFont> font_;
    std::deque<SolidBrush> brushes_;
    std::deque<Disc> discs_;
    Colour textBackground_ = 0;
    Colour textColour_ = 0;
    std::int32_t characterExtra_ = 0;
};
