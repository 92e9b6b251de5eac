#include "sim/skipping_surface.h"

#include <algorithm>

namespace {

bool Overlap(const PixelRect& a, const PixelRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace

SkippingSurface::SkippingSurface(Surface& target, Colour background) : target_(target), background_(background) {}

void SkippingSurface::SetDrawing(bool drawing)
{
    if (drawing && !drawing_) {
        for (Disc& disc : discs_) {
            if (disc.shown)
                EraseOnTarget(disc);
            CatchUp(disc);
        }
    }
    drawing_ = drawing;
}

void SkippingSurface::TextErased()
{
    for (Line& line : lines_)
        line.spoiled = true;
}

Surface::Brush SkippingSurface::MakeBrush(Colour colour)
{
    const Brush brush = target_.MakeBrush(colour);
    if (brush != 0 && colour == background_)
        erasers_.push_back(brush);
    return brush;
}

Surface::Region SkippingSurface::MakeDiscRegion(const PixelRect& bounds)
{
    const Region region = target_.MakeDiscRegion(bounds);
    if (region == 0)
        return 0;
    discs_.push_back(Disc{region, bounds});
    return discs_.size();
}

void SkippingSurface::FillRegion(Region region, Brush brush)
{
    if (region == 0 || region > discs_.size() || brush == 0)
        return;
    Disc& disc = discs_[region - 1];
    if (!Erases(brush)) {
        if (drawing_) {
            FillOnTarget(disc, brush);
            disc.shown = true;
        }
        return;
    }
    if (drawing_) {
        // Where no disc stands and no text ever stood there is only background.
        if (MeetsShownDisc(disc.bounds) || MeetsText(disc.bounds)) {
            FillOnTarget(disc, brush);
            disc.shown = false;
        }
        return;
    }
    // Undrawn, an erasure matters only where text is, and the text it reaches must be
    // drawn again at the frame's end, as it would have been.
    if (!MeetsText(disc.bounds))
        return;
    if (disc.shown)
        EraseOnTarget(disc);
    CatchUp(disc);
    FillOnTarget(disc, brush);
}

void SkippingSurface::MoveRegion(Region region, std::int32_t dx, std::int32_t dy)
{
    if (region == 0 || region > discs_.size())
        return;
    Disc& disc = discs_[region - 1];
    PixelRect& b = disc.bounds;
    b = {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
    if (drawing_) {
        target_.MoveRegion(disc.target, dx, dy);
    } else {
        disc.lagX += dx;
        disc.lagY += dy;
    }
}

PixelSize SkippingSurface::MeasureText(const char* text, std::int32_t length)
{
    return target_.MeasureText(text, length);
}

void SkippingSurface::SetTextStyle(Colour background, Colour text, std::int32_t characterExtra)
{
    target_.SetTextStyle(background, text, characterExtra);
}

void SkippingSurface::DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length)
{
    // Compared in place and kept in the line's own string: a frame allocates nothing.
    const auto n = static_cast<std::size_t>(std::max(length, 0));
    auto line = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) { return l.x == x && l.y == y; });
    const bool changed = line == lines_.end() || line->text.compare(0, std::string::npos, text, n) != 0;
    // A line that still stands as drawn is left alone.
    if (!changed && !line->spoiled)
        return;
    target_.DrawTextLine(x, y, text, length);
    if (line == lines_.end()) {
        lines_.push_back(Line{x, y, {}, {x, y, x, y}, false});
        line = lines_.end() - 1;
    }
    const PixelSize extent = target_.MeasureText(text, length);
    const PixelRect cell{x, y, x + extent.cx, y + extent.cy};
    if (changed) {
        line->text.assign(text, n);
        line->reach = Union(line->reach, cell);
    }
    // Its cell covers whatever other line it meets.
    Spoil(cell);
    line->spoiled = false;
}

bool SkippingSurface::Erases(Brush brush) const
{
    return std::find(erasers_.begin(), erasers_.end(), brush) != erasers_.end();
}

bool SkippingSurface::MeetsText(const PixelRect& r) const
{
    return std::any_of(lines_.begin(), lines_.end(), [&](const Line& line) { return Overlap(line.reach, r); });
}

bool SkippingSurface::MeetsShownDisc(const PixelRect& r) const
{
    // Only a drawing frame asks, when no disc lags.
    return std::any_of(discs_.begin(), discs_.end(),
                       [&](const Disc& disc) { return disc.shown && Overlap(disc.bounds, r); });
}

void SkippingSurface::FillOnTarget(Disc& disc, Brush brush)
{
    const PixelRect& b = disc.bounds;
    Spoil({b.left - disc.lagX, b.top - disc.lagY, b.right - disc.lagX, b.bottom - disc.lagY});
    target_.FillRegion(disc.target, brush);
}

void SkippingSurface::EraseOnTarget(Disc& disc)
{
    if (!erasers_.empty())
        FillOnTarget(disc, erasers_.back());
    disc.shown = false;
}

void SkippingSurface::Spoil(const PixelRect& r)
{
    for (Line& line : lines_)
        line.spoiled = line.spoiled || Overlap(line.reach, r);
}

void SkippingSurface::CatchUp(Disc& disc)
{
    if (disc.lagX != 0 || disc.lagY != 0)
        target_.MoveRegion(disc.target, disc.lagX, disc.lagY);
    disc.lagX = 0;
    disc.lagY = 0;
}
