#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "port/picture/dirty_tiles.h"

// The bookkeeping of a picture shown through shared-memory buffers, apart from the
// buffers themselves: which buffers the compositor holds, which parts each lacks of the
// picture, what changed since the compositor was last given one, and whether it has
// shown that one yet. Plain logic, tested alone.
class BufferBook {
public:
    // At most maxBuffers buffers, of pictures width by height.
    BufferBook(std::size_t maxBuffers, std::int32_t width, std::int32_t height);

    // The picture changed there.
    void Drawn(const PixelRect& rect);

    // Whether a buffer may go to the compositor now: something changed, and the
    // compositor has shown the last one (a hidden output shows nothing, and gets
    // nothing more until it does).
    bool MayPresent() const { return !frameOutstanding_ && !pending_.Empty(); }
    // Whether a frame drawn now could go to the compositor when it is done.
    bool ReadyForFrame() const { return !frameOutstanding_; }
    // A buffer that the compositor does not hold: one already made, or else a new one
    // (its index is BufferCount() before the call) while fewer than the most are made.
    std::optional<std::size_t> FreeBuffer();
    std::size_t BufferCount() const { return buffers_.size(); }
    // The parts of the picture a buffer lacks, to copy in before it is shown.
    std::vector<PixelRect> Stale(std::size_t buffer) const { return buffers_[buffer].stale.Runs(); }
    // What changed since the last buffer went, to tell the compositor.
    std::vector<PixelRect> Changed() const { return pending_.Runs(); }

    // The buffer, brought up to date, went to the compositor.
    void Presented(std::size_t buffer);
    // The compositor gave the buffer back.
    void Released(std::size_t buffer) { buffers_[buffer].held = false; }
    // The compositor has shown the last buffer it was given.
    void FrameShown() { frameOutstanding_ = false; }

    bool Held(std::size_t buffer) const { return buffers_[buffer].held; }

private:
    struct Buffer {
        DirtyTiles stale;
        bool held = false;
    };

    std::size_t maxBuffers_;
    PixelRect whole_;
    std::vector<Buffer> buffers_;
    DirtyTiles pending_;
    bool frameOutstanding_ = false;
};
