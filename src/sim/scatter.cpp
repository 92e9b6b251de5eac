#include "sim/scatter.h"

#include <cmath>

std::int32_t TableLength(bool previewMode, std::int32_t varbuleCount)
{
    if (previewMode)
        return kPreviewVarbules;
    if (varbuleCount >= 1 && varbuleCount <= kMaxVarbules)
        return varbuleCount;
    return kMaxVarbules;
}

std::int32_t SizeFactor(std::int32_t tableLength)
{
    return static_cast<std::int32_t>(13.0 - std::sqrt(static_cast<double>(tableLength)));
}

std::int32_t FullDiameter(std::int32_t clientHeight, std::int32_t sizeFactor)
{
    return (clientHeight >> 7) * sizeFactor;
}

namespace {

// One colour channel: 15, 31, ... 255, sixteen steps in all.
std::uint32_t ColourChannel(RandomSource& random)
{
    return 255u - (static_cast<std::uint32_t>(random.Next()) & 0xF0u);
}

}  // namespace

void ScatterVarbules(VarbuleRecord* table, std::int32_t length, std::int32_t diameter,
                     Surface& surface, RandomSource& random)
{
    for (std::int32_t k = 0; k < length; ++k) {
        VarbuleRecord& v = table[k];
        v.diameter = diameter;
        // Start places are not scaled to the client area: every centre lies in the
        // square from 0 to 504 at the top left, and the walls bring strays back.
        v.x = random.Next() & 0x1F8;
        v.y = random.Next() & 0x1F8;
        const std::int32_t r = diameter >> 1;
        v.bounds = PixelRect{v.x - r, v.y - r, v.x + r, v.y + r};
        v.region = surface.MakeDiscRegion(v.bounds);
        const std::uint32_t red = ColourChannel(random);
        const std::uint32_t green = ColourChannel(random);
        const std::uint32_t blue = ColourChannel(random);
        v.brush = surface.MakeBrush(red | green << 8 | blue << 16);
        v.dx = 7 - (random.Next() & 7);
        v.dy = 8 - (random.Next() & 7);
        v.collided = 0;
    }
}
