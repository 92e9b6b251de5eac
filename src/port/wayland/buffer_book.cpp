#include "port/wayland/buffer_book.h"

BufferBook::BufferBook(std::size_t maxBuffers, std::int32_t width, std::int32_t height)
    : maxBuffers_(maxBuffers), whole_{0, 0, width, height}, pending_(width, height)
{
}

void BufferBook::Drawn(const PixelRect& rect)
{
    pending_.Add(rect);
    for (Buffer& buffer : buffers_)
        buffer.stale.Add(rect);
}

std::optional<std::size_t> BufferBook::FreeBuffer()
{
    for (std::size_t k = 0; k < buffers_.size(); ++k)
        if (!buffers_[k].held)
            return k;
    if (buffers_.size() == maxBuffers_)
        return std::nullopt;
    // A new buffer holds nothing of the picture yet.
    buffers_.push_back(Buffer{DirtyTiles(whole_.right, whole_.bottom), false});
    buffers_.back().stale.Add(whole_);
    return buffers_.size() - 1;
}

void BufferBook::Presented(std::size_t buffer)
{
    buffers_[buffer].stale.Clear();
    buffers_[buffer].held = true;
    pending_.Clear();
    frameOutstanding_ = true;
}
