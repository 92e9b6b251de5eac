#pragma once

#include <cstdint>

#include "sim/surface.h"

// One disc. Positions, sizes and velocities are whole client pixels; a velocity is pixels
// per frame. Wherever a radius is needed it is diameter >> 1, so an odd diameter rounds down.
struct VarbuleRecord {
    std::int32_t x;
    std::int32_t y;
    std::int32_t dx;
    std::int32_t dy;
    std::int32_t diameter;
    std::int32_t collided;  // 1 once it exchanged velocities during the current frame
    PixelRect bounds;       // the square the region was made from; never updated
    Surface::Brush brush;
    Surface::Region region;  // moved in step with x and y, so it always covers the disc
};

// The table lives on the animation thread's stack; this is the most it ever holds.
constexpr std::int32_t kMaxVarbules = 64;
constexpr std::int32_t kPreviewVarbules = 2;
constexpr std::int32_t kPreviewDiameter = 8;

// The number of discs for a run: two in a preview, otherwise the stored count when it is a
// sensible one (1 to 64) and 64 when a hand-edited file holds anything else.
std::int32_t TableLength(bool previewMode, std::int32_t varbuleCount);

// 13 - sqrt(length), truncated: 9, 7 and 5 for 16, 32 and 64 discs.
std::int32_t SizeFactor(std::int32_t tableLength);

// The diameter of every full-screen disc: the client height cut to whole multiples of 128.
std::int32_t FullDiameter(std::int32_t clientHeight, std::int32_t sizeFactor);
