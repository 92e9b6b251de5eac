#include "port/picture/dirty_tiles.h"

#include <algorithm>

#include "port/picture/pixels.h"

DirtyTiles::DirtyTiles(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      columns_((width_ + kTile - 1) / kTile),
      rows_((height_ + kTile - 1) / kTile),
      tiles_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false)
{
}

void DirtyTiles::Add(const PixelRect& rect)
{
    const PixelRect r = ClippedTo(rect, width_, height_);
    if (r.right <= r.left)
        return;
    for (std::int32_t row = r.top / kTile; row <= (r.bottom - 1) / kTile; ++row) {
        for (std::int32_t column = r.left / kTile; column <= (r.right - 1) / kTile; ++column) {
            const auto k = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
            if (!tiles_[k]) {
                tiles_[k] = true;
                ++count_;
            }
        }
    }
}

void DirtyTiles::Clear()
{
    if (count_ == 0)
        return;
    std::fill(tiles_.begin(), tiles_.end(), false);
    count_ = 0;
}

std::vector<PixelRect> DirtyTiles::Runs() const
{
    std::vector<PixelRect> runs;
    for (std::int32_t row = 0; row < rows_ && count_ > 0; ++row) {
        const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_);
        for (std::int32_t column = 0; column < columns_;) {
            if (!tiles_[first + static_cast<std::size_t>(column)]) {
                ++column;
                continue;
            }
            const std::int32_t start = column;
            while (column < columns_ && tiles_[first + static_cast<std::size_t>(column)])
                ++column;
            runs.push_back(PixelRect{start * kTile, row * kTile, std::min(column * kTile, width_),
                                     std::min((row + 1) * kTile, height_)});
        }
    }
    return runs;
}
