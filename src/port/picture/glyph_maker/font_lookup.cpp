#include "port/picture/glyph_maker/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

struct ConfigRelease {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternRelease {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using ConfigHandle = std::unique_ptr<FcConfig, ConfigRelease>;
using PatternHandle = std::unique_ptr<FcPattern, PatternRelease>;

}  // namespace

std::optional<FontFile> FindBoldFace(const char* family, std::int32_t pixelSize)
{
    const ConfigHandle config(FcInitLoadConfigAndFonts());
    const PatternHandle pattern(FcPatternCreate());
    if (!config || !pattern)
        return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddDouble(pattern.get(), FC_PIXEL_SIZE, pixelSize);
    if (!FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern))
        return std::nullopt;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const PatternHandle match(FcFontMatch(config.get(), pattern.get(), &result));
    FcChar8* path = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch)
        return std::nullopt;
    FontFile file{reinterpret_cast<const char*>(path), 0};
    // A file without an index holds one face, the first.
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &file.index);
    return file;
}
