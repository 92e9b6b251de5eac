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
    // The rectangles that reach down to the row before, by index, from the left: a run
    // of this row that spans exactly the same columns as one of them lengthens it.
    std::vector<std::size_t> open, next;
    for (std::int32_t row = 0; row < rows_ && count_ > 0; ++row) {
        const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_);
        const std::int32_t bottom = std::min((row + 1) * kTile, height_);
        std::size_t above = 0;
        next.clear();
        for (std::int32_t column = 0; column < columns_;) {
            if (!tiles_[first + static_cast<std::size_t>(column)]) {
                ++column;
                continue;
            }
            const std::int32_t start = column;
            while (column < columns_ && tiles_[first + static_cast<std::size_t>(column)])
                ++column;
            const std::int32_t left = start * kTile, right = std::min(column * kTile, width_);
            while (above < open.size() && runs[open[above]].left < left)
                ++above;
            if (above < open.size() && runs[open[above]].left == left && runs[open[above]].right == right) {
                runs[open[above]].bottom = bottom;
                next.push_back(open[above]);
            } else {
                runs.push_back(PixelRect{left, row * kTile, right, bottom});
                next.push_back(runs.size() - 1);
            }
        }
        open.swap(next);
    }
    return runs;
}
