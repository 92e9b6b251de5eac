// Renders the glyphs the program draws its text with, when it is built: the printable
// ASCII characters of DejaVu Sans Bold (or what fontconfig puts in its place) at the
// given pixel sizes, antialiased and hinted by FreeType, written out as a C++ source of
// EmbeddedFace tables. The program then draws real characters of a real font without
// loading FreeType and fontconfig, which would cost a saver that never shows text on
// Wayland more than a megabyte of resident memory and a few milliseconds at its start.
//
//   varbules-glyph-maker OUTPUT.cpp SIZE...

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "port/picture/embedded_glyphs.h"
#include "port/picture/glyph_maker/font_lookup.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";

struct Face {
    std::int32_t size = 0;
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::vector<EmbeddedGlyph> glyphs;
    std::vector<unsigned char> coverage;
};

// FreeType's 26.6 fixed point to whole pixels: ascent up, descent down, advance rounded.
std::int32_t PixelsUp(FT_Pos value) { return static_cast<std::int32_t>((value + 63) >> 6); }
std::int32_t PixelsRounded(FT_Pos value) { return static_cast<std::int32_t>((value + 32) >> 6); }

bool Render(FT_Face face, Face& out)
{
    out.ascent = PixelsUp(face->size->metrics.ascender);
    out.descent = PixelsUp(-face->size->metrics.descender);
    for (unsigned c = kFirstGlyph; c <= kLastGlyph; ++c) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            return false;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        // The glyphs of a scalable font come as rows of 8-bit coverage from the top.
        if (bitmap.rows > 0 && (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0))
            return false;
        EmbeddedGlyph glyph{};
        glyph.left = static_cast<std::int16_t>(slot->bitmap_left);
        glyph.top = static_cast<std::int16_t>(slot->bitmap_top);
        glyph.width = static_cast<std::int16_t>(bitmap.width);
        glyph.rows = static_cast<std::int16_t>(bitmap.rows);
        glyph.advance = static_cast<std::int16_t>(PixelsRounded(slot->advance.x));
        glyph.offset = static_cast<std::uint32_t>(out.coverage.size());
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* from = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
            out.coverage.insert(out.coverage.end(), from, from + bitmap.width);
        }
        // The cell holds every glyph whole, so drawing one never reaches beyond its line.
        if (glyph.rows > 0) {
            out.ascent = std::max<std::int32_t>(out.ascent, glyph.top);
            out.descent = std::max<std::int32_t>(out.descent, glyph.rows - glyph.top);
        }
        out.glyphs.push_back(glyph);
    }
    return true;
}

void Write(std::FILE* file, const std::vector<Face>& faces, const std::string& fontName)
{
    std::fprintf(file, "// Made by glyph_maker when the program was built, from %s.\n\n", fontName.c_str());
    std::fputs("#include \"port/picture/embedded_glyphs.h\"\n\nnamespace {\n\n", file);
    for (const Face& face : faces) {
        std::fprintf(file, "const std::uint8_t kCoverage%d[] = {", face.size);
        for (std::size_t k = 0; k < face.coverage.size(); ++k)
            std::fprintf(file, "%s%u,", k % 24 == 0 ? "\n    " : "", face.coverage[k]);
        std::fprintf(file, "\n    0};\n\nconst EmbeddedGlyph kGlyphs%d[] = {\n", face.size);
        for (const EmbeddedGlyph& g : face.glyphs)
            std::fprintf(file, "    {%d, %d, %d, %d, %d, %uu},\n", g.left, g.top, g.width, g.rows, g.advance,
                         g.offset);
        std::fputs("};\n\n", file);
    }
    std::fputs("}  // namespace\n\nconst EmbeddedFace kEmbeddedFaces[] = {\n", file);
    for (const Face& face : faces)
        std::fprintf(file, "    {%d, %d, %d, kGlyphs%d, kCoverage%d},\n", face.size, face.ascent, face.descent,
                     face.size, face.size);
    std::fprintf(file, "};\n\nconst std::size_t kEmbeddedFaceCount = %zu;\n", faces.size());
    std::fprintf(file, "const char kEmbeddedFontName[] = \"%s\";\n", fontName.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: varbules-glyph-maker OUTPUT.cpp SIZE...\n", stderr);
        return 2;
    }
    std::vector<std::int32_t> sizes;
    for (int k = 2; k < argc; ++k)
        sizes.push_back(std::atoi(argv[k]));
    std::sort(sizes.begin(), sizes.end());

    const auto file = FindBoldFace(kFamily, sizes.front());
    FT_Library library = nullptr;
    FT_Face ftFace = nullptr;
    if (!file || FT_Init_FreeType(&library) != 0 || FT_New_Face(library, file->path.c_str(), file->index, &ftFace) != 0) {
        std::fprintf(stderr, "glyph_maker: no bold face of %s found (is fonts-dejavu-core installed?)\n", kFamily);
        return 1;
    }
    std::vector<Face> faces;
    for (const std::int32_t size : sizes) {
        Face face;
        face.size = size;
        if (size <= 0 || FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(size)) != 0 || !Render(ftFace, face)) {
            std::fprintf(stderr, "glyph_maker: %s cannot be rendered at %d pixels\n", file->path.c_str(), size);
            return 1;
        }
        faces.push_back(std::move(face));
    }
    const std::string fontName = std::string(ftFace->family_name) + " " + ftFace->style_name;
    FT_Done_Face(ftFace);
    FT_Done_FreeType(library);

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    Write(out, faces, fontName);
    return std::fclose(out) == 0 ? 0 : 1;
}
