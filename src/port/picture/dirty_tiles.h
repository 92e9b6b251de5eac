#pragma once

#include <cstdint>
#include <vector>

#include "sim/surface.h"

// The parts of a picture that changed, as a grid of square tiles, each changed or not:
// what a compositor is told of a frame, or what a buffer still lacks of the picture.
// Marking a rectangle costs a step per tile it touches, however many rectangles came
// before; a frame of 64 discs, each moved a pixel or two, touches much the same few
// tiles frame after frame, so what is copied stays close to what changed.
class DirtyTiles {
public:
    static constexpr std::int32_t kTile = 16;

    DirtyTiles(std::int32_t width, std::int32_t height);

    // Marks the tiles the rectangle touches; what lies beyond the picture is left out.
    void Add(const PixelRect& rect);
    bool Empty() const { return count_ == 0; }
    void Clear();

    // The changed tiles as rectangles cut to the picture: a run of them along a row of
    // tiles, joined with the runs of the same columns in the rows below (a compositor
    // pays for each rectangle it is told of, much as for thousands of pixels). No two
    // overlap; ordered by their top rows.
    std::vector<PixelRect> Runs() const;

private:
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t columns_;
    std::int32_t rows_;
    std::vector<bool> tiles_;
    std::int32_t count_ = 0;
};
