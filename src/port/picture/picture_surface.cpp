#include "port/picture/picture_surface.h"

#include <utility>


namespace {

// Text longer than this is cut, as on the X11 display.
constexpr std::int32_t kLongestText = 256;

bool IsEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The pixels inside a rectangle (already clipped to the picture), as a picture of their own.
Pixels Within(const Pixels& picture, const PixelRect& r)
{
    if (IsEmpty(r))
        return Pixels{picture.data, 0, 0, picture.stride};
    return Pixels{picture.Row(r.top) + r.left, r.right - r.left, r.bottom - r.top, picture.stride};
}

}  // namespace

PictureSurface::PictureSurface(PictureTarget& target, std::unique_ptr<GlyphFont> font)
    : target_(target), font_(std::move(font))
{
}

PictureSurface::PictureSurface(std::unique_ptr<PictureTarget> target, std::unique_ptr<GlyphFont> font)
    : ownTarget_(std::move(target)), target_(*ownTarget_), font_(std::move(font))
{
}

PixelSize PictureSurface::ClientSize()
{
    const Pixels picture = target_.Acquire();
    target_.Release(PixelRect{0, 0, 0, 0});
    return {picture.width, picture.height};
}

Surface::Brush PictureSurface::MakeBrush(Colour colour)
{
    brushes_.push_back(SolidBrush{colour});
    return reinterpret_cast<Brush>(&brushes_.back());
}

Surface::Region PictureSurface::MakeDiscRegion(const PixelRect& bounds)
{
    discs_.push_back(Disc{bounds, DiscShape(bounds.right - bounds.left, bounds.bottom - bounds.top)});
    return reinterpret_cast<Region>(&discs_.back());
}

void PictureSurface::FillRegion(Region region, Brush brush)
{
    if (region == 0 || brush == 0)
        return;
    const Disc& disc = *reinterpret_cast<const Disc*>(region);
    const Pixels picture = target_.Acquire();
    disc.shape.Fill(picture, disc.bounds.left, disc.bounds.top, PixelOf(BrushAt(brush).colour));
    target_.Release(ClippedTo(disc.bounds, picture.width, picture.height));
}

void PictureSurface::MoveRegion(Region region, std::int32_t dx, std::int32_t dy)
{
    if (region == 0)
        return;
    PixelRect& bounds = reinterpret_cast<Disc*>(region)->bounds;
    bounds = PixelRect{bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy};
}

PixelSize PictureSurface::MeasureText(const char* text, std::int32_t length)
{
    if (!font_)
        return {0, 0};
    const std::int32_t n = std::clamp(length, 0, kLongestText);
    std::int32_t width = 0;
    for (std::int32_t i = 0; i < n; ++i)
        width += font_->Advance(static_cast<unsigned char>(text[i])) + characterExtra_;
    return {width, font_->Height()};
}

void PictureSurface::SetTextStyle(Colour background, Colour text, std::int32_t characterExtra)
{
    textBackground_ = background;
    textColour_ = text;
    characterExtra_ = characterExtra;
}

void PictureSurface::DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length)
{
    if (font_) {
        const std::int32_t n = std::clamp(length, 0, kLongestText);
        const PixelSize extent = MeasureText(text, n);
        const Pixels picture = target_.Acquire();
        // The cell is opaque over the whole extent, the extra spacing included, as GDI's
        // opaque background mode paints it. The glyphs are drawn into the cell alone: a
        // glyph reaching beyond it would leave pixels that no later cell covers again.
        const PixelRect cellRect =
            ClippedTo(PixelRect{x, y, x + extent.cx, y + extent.cy}, picture.width, picture.height);
        FillRect(picture, cellRect, PixelOf(textBackground_));
        const Pixels cell = Within(picture, cellRect);
        const std::int32_t baseline = y + font_->Ascent() - cellRect.top;
        std::int32_t pen = x - cellRect.left;
        for (std::int32_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            font_->Draw(cell, pen, baseline, c, PixelOf(textColour_));
            pen += font_->Advance(c) + characterExtra_;
        }
        target_.Release(cellRect);
    }
}
