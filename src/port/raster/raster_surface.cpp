#include "port/raster/raster_surface.h"

#include <algorithm>
#include <cstdio>

RasterSurface::RasterSurface(std::int32_t width, std::int32_t height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
{
}

Surface::Brush RasterSurface::MakeBrush(Colour colour)
{
    brushes_.push_back(colour);
    return brushes_.size();  // handles count from 1, so 0 stays "no brush"
}

Surface::Region RasterSurface::MakeDiscRegion(const PixelRect& bounds)
{
    discs_.push_back(Disc{bounds, DiscShape(bounds.right - bounds.left, bounds.bottom - bounds.top)});
    return discs_.size();
}

void RasterSurface::FillRegion(Region region, Brush brush)
{
    if (region == 0 || region > discs_.size() || brush == 0 || brush > brushes_.size())
        return;
    const Disc& disc = discs_[region - 1];
    const Colour colour = brushes_[brush - 1];
    disc.shape.ForEachSpan(disc.bounds.left, disc.bounds.top, width_, height_,
                           [&](std::int32_t y, std::int32_t first, std::int32_t end) {
                               const auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
                               std::fill(row + first, row + end, colour);
                           });
}

void RasterSurface::MoveRegion(Region region, std::int32_t dx, std::int32_t dy)
{
    if (region == 0 || region > discs_.size())
        return;
    PixelRect& r = discs_[region - 1].bounds;
    r = PixelRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

PixelSize RasterSurface::MeasureText(const char*, std::int32_t length)
{
    return {length * (kGlyphWidth + characterExtra_), kGlyphHeight};
}

void RasterSurface::SetTextStyle(Colour background, Colour text, std::int32_t characterExtra)
{
    textBackground_ = background;
    textColour_ = text;
    characterExtra_ = characterExtra;
}

void RasterSurface::DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length)
{
    const std::int32_t cell = kGlyphWidth + characterExtra_;
    for (std::int32_t i = 0; i < length; ++i) {
        const std::int32_t left = x + i * cell;
        FillRect(left, y, left + cell, y + kGlyphHeight, textBackground_);
        if (text[i] != ' ')
            FillRect(left + 1, y + 4, left + kGlyphWidth - 1, y + kGlyphHeight - 3, textColour_);
    }
}

void RasterSurface::FillAll(Colour colour)
{
    std::fill(pixels_.begin(), pixels_.end(), colour);
}

void RasterSurface::FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, Colour colour)
{
    for (std::int32_t y = std::max(top, 0); y < std::min(bottom, height_); ++y)
        for (std::int32_t x = std::max(left, 0); x < std::min(right, width_); ++x)
            pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = colour;
}

bool RasterSurface::WritePpm(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
    for (const Colour c : pixels_) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                      static_cast<unsigned char>(c >> 16)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}
