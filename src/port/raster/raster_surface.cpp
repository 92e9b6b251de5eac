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
    regions_.push_back(bounds);
    return regions_.size();
}

void RasterSurface::FillRegion(Region region, Brush brush)
{
    if (region == 0 || region > regions_.size() || brush == 0 || brush > brushes_.size())
        return;
    const PixelRect& r = regions_[region - 1];
    const Colour colour = brushes_[brush - 1];
    // The ellipse inscribed in the bounds, tested at pixel centres.
    const double cx = (r.left + r.right) / 2.0;
    const double cy = (r.top + r.bottom) / 2.0;
    const double rx = (r.right - r.left) / 2.0;
    const double ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0)
        return;
    for (std::int32_t y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y) {
        for (std::int32_t x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) {
            const double u = (x + 0.5 - cx) / rx;
            const double v = (y + 0.5 - cy) / ry;
            if (u * u + v * v <= 1.0)
                pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = colour;
        }
    }
}

void RasterSurface::MoveRegion(Region region, std::int32_t dx, std::int32_t dy)
{
    if (region == 0 || region > regions_.size())
        return;
    PixelRect& r = regions_[region - 1];
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
