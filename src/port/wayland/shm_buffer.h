#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "port/picture/pixels.h"

// One buffer of XRGB8888 pixels in memory shared with the compositor: an anonymous file,
// mapped here, and the wl_buffer the compositor knows it by. From the moment it is
// attached until the compositor releases it, the compositor may read it at any time:
// nothing may be drawn into it meanwhile.
class ShmBuffer {
public:
    // shm is a proxy on the event queue the buffer's release is to come on; released is
    // called then (none: nobody needs to know). None when the memory or the buffer cannot
    // be had.
    static std::unique_ptr<ShmBuffer> Make(wl_shm* shm, std::int32_t width, std::int32_t height,
                                           std::function<void()> released = nullptr);
    ~ShmBuffer();

    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    Pixels pixels() const { return pixels_; }
    wl_buffer* buffer() const { return buffer_; }

private:
    ShmBuffer() = default;

    static const wl_buffer_listener kListener;

    Pixels pixels_;
    std::size_t bytes_ = 0;
    wl_buffer* buffer_ = nullptr;
    std::function<void()> released_;
};
