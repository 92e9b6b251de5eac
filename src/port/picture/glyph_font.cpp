#include "port/picture/glyph_font.h"

#include <algorithm>

namespace {

// One channel of dst + (src - dst) * coverage / 255, rounded to the nearest (with an odd
// divisor there is never a tie).
std::uint32_t BlendChannel(std::uint32_t dst, std::uint32_t src, std::uint32_t coverage, int shift)
{
    const std::uint32_t d = (dst >> shift) & 0xFFu;
    const std::uint32_t s = (src >> shift) & 0xFFu;
    return ((d * (255u - coverage) + s * coverage + 127u) / 255u) << shift;
}

}  // namespace

std::unique_ptr<GlyphFont> GlyphFont::Open(std::int32_t pixelSize)
{
    if (pixelSize <= 0 || kEmbeddedFaceCount == 0)
        return nullptr;
    const EmbeddedFace* chosen = &kEmbeddedFaces[0];
    for (std::size_t k = 1; k < kEmbeddedFaceCount; ++k)
        if (kEmbeddedFaces[k].pixelSize <= pixelSize)
            chosen = &kEmbeddedFaces[k];
    return std::unique_ptr<GlyphFont>(new GlyphFont(*chosen));
}

void GlyphFont::Draw(const Pixels& picture, std::int32_t penX, std::int32_t baselineY, unsigned char c,
                     std::uint32_t pixel) const
{
    const EmbeddedGlyph& glyph = GlyphOf(c);
    const std::int32_t left = penX + glyph.left;
    const std::int32_t top = baselineY - glyph.top;
    const std::int32_t fromRow = std::max(0, -top);
    const std::int32_t toRow = std::min<std::int32_t>(glyph.rows, picture.height - top);
    const std::int32_t fromColumn = std::max(0, -left);
    const std::int32_t toColumn = std::min<std::int32_t>(glyph.width, picture.width - left);
    for (std::int32_t row = fromRow; row < toRow; ++row) {
        const std::uint8_t* coverage = face_.coverage + glyph.offset + static_cast<std::size_t>(row) * glyph.width;
        std::uint32_t* out = picture.Row(top + row);
        for (std::int32_t column = fromColumn; column < toColumn; ++column) {
            const std::uint32_t a = coverage[column];
            if (a == 0)
                continue;
            std::uint32_t& dst = out[left + column];
            dst = BlendChannel(dst, pixel, a, 0) | BlendChannel(dst, pixel, a, 8) | BlendChannel(dst, pixel, a, 16);
        }
    }
}
