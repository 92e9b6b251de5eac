#pragma once

#include <cstdint>
#include <memory>

#include "port/picture/embedded_glyphs.h"
#include "port/picture/pixels.h"

// The glyphs of the printable ASCII characters in the bold sans-serif face the program
// was built with (embedded_glyphs.h), at one of its sizes. Any other byte is drawn as
// '?'.
class GlyphFont {
public:
    // The overlay text's size on an output at its own scale, in pixels; a scaled output
    // takes that many times more. The cell is about the Windows system font's height.
    static constexpr std::int32_t kTextPixels = 13;

    // The face at the largest size built that is not above pixelSize (the smallest when
    // all are); none when pixelSize is not positive.
    static std::unique_ptr<GlyphFont> Open(std::int32_t pixelSize);

    // Pixels from the top of a line's cell to the baseline.
    std::int32_t Ascent() const { return face_.ascent; }
    // The height of a line's cell: ascent and descent.
    std::int32_t Height() const { return face_.ascent + face_.descent; }
    // How far the pen moves on after the character, in whole pixels.
    std::int32_t Advance(unsigned char c) const { return GlyphOf(c).advance; }

    // Blends the character's coverage, in the colour of the pixel, over what the picture
    // holds, with the pen at penX on the baseline at baselineY; nothing beyond the
    // picture is touched.
    void Draw(const Pixels& picture, std::int32_t penX, std::int32_t baselineY, unsigned char c,
              std::uint32_t pixel) const;

private:
    explicit GlyphFont(const EmbeddedFace& face) : face_(face) {}

    const EmbeddedGlyph& GlyphOf(unsigned char c) const
    {
        return face_.glyphs[(c < kFirstGlyph || c > kLastGlyph ? '?' : c) - kFirstGlyph];
    }

    const EmbeddedFace& face_;
};
