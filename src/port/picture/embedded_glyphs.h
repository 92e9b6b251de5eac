#pragma once

#include <cstddef>
#include <cstdint>

// Glyphs rendered when the program is built (glyph_maker), so that drawing text needs
// no font library at run time: the printable ASCII characters of one face at a few pixel
// sizes, as 8-bit coverage maps.

struct EmbeddedGlyph {
    std::int16_t left;     // from the pen to the bitmap's left edge
    std::int16_t top;      // from the baseline up to the bitmap's top edge
    std::int16_t width;
    std::int16_t rows;
    std::int16_t advance;  // how far the pen moves on, in whole pixels
    std::uint32_t offset;  // where its coverage starts in the face's coverage, row by row
};

constexpr unsigned char kFirstGlyph = 32;
constexpr unsigned char kLastGlyph = 126;
constexpr std::size_t kGlyphCount = kLastGlyph - kFirstGlyph + 1;

struct EmbeddedFace {
    std::int32_t pixelSize;
    std::int32_t ascent;   // the cell holds every glyph whole: ascent and descent cover them all
    std::int32_t descent;
    const EmbeddedGlyph* glyphs;  // kGlyphCount of them, from kFirstGlyph
    const std::uint8_t* coverage;
};

// From the smallest size up.
extern const EmbeddedFace kEmbeddedFaces[];
extern const std::size_t kEmbeddedFaceCount;
// The face's family and file, for the record.
extern const char kEmbeddedFontName[];
