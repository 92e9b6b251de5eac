#include "port/picture/paced_surface.h"


PacedSurface::PacedSurface(PictureTarget& target, std::unique_ptr<GlyphFont> font, Colour background)
    : target_(target),
      picture_(target, std::move(font)),
      skipping_(picture_, background),
      background_(background),
      eraser_(skipping_.MakeBrush(background))
{
}

void PacedSurface::FillRegion(Region region, Brush brush)
{
    // The host erases with the main thread's background brush, which the skipping surface
    // did not make; it knows an erasure by its own brush of that colour.
    skipping_.FillRegion(region, brush != 0 && BrushAt(brush).colour == background_ ? eraser_ : brush);
}

void PacedSurface::DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length)
{
    skipping_.DrawTextLine(x, y, text, length);
    // Between frames: the next is drawn when the display can take what it draws.
    if (frameEnd_.AfterLine(x, y))
        skipping_.SetDrawing(target_.WantsFrame());
}
