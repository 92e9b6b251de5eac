#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A face in a font file, as FreeType opens it.
struct FontFile {
    std::string path;
    int index = 0;
};

// The file of the bold face of the family (or what fontconfig's settings put in its place)
// at the given pixel size, or nothing when there is none.
std::optional<FontFile> FindBoldFace(const char* family, std::int32_t pixelSize);
