#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "port/picture/picture_surface.h"
#include "port/wayland/buffer_book.h"
#include "port/wayland/shm_buffer.h"
#include "viewporter-client.h"

// A window's picture on Wayland. The picture itself is ordinary memory that is always
// ours to draw into; the compositor is shown it through shared-memory buffers, into which
// only the parts that changed are copied, one buffer at a time. A buffer the compositor
// holds is never written: each keeps a list of the parts it lacks, which are brought in
// when it is next used. A new picture goes to the compositor only when it has shown the
// last (its frame callback), so a hidden output, which shows nothing, gets nothing: the
// changes wait, merged, in the lists.
//
// A window painted in one colour all over (a cover, and every window before its
// animation starts) needs no picture: a few pixels of that colour, stretched over the
// surface by the compositor where it offers that (wp_viewporter), else one buffer of the
// window's size.
//
// The main thread paints (the background) and the animation thread draws, so every step
// holds the picture's lock. Events about the buffers come on an event queue of the
// picture's own, which the thread that presents dispatches; the main thread reads them
// from the connection along with everything else.
class ShmPicture final : public PictureTarget {
public:
    // width and height in the layout's units; the picture has scale times as many pixels
    // each way. viewporter may be none.
    ShmPicture(wl_display* display, wl_shm* shm, wl_surface* surface, wp_viewporter* viewporter, std::int32_t width,
               std::int32_t height, std::int32_t scale);
    ~ShmPicture() override;

    ShmPicture(const ShmPicture&) = delete;
    ShmPicture& operator=(const ShmPicture&) = delete;

    // The main thread's painting: a rectangle of the picture in one colour, shown at once.
    void Fill(const PixelRect& rect, std::uint32_t pixel);

    Pixels Acquire() override;
    void Release(const PixelRect& changed) override;
    void Present() override;
    bool WantsFrame() override;

private:
    static const wl_callback_listener kFrameListener;

    bool Whole(const PixelRect& rect) const;
    void ShowSolid(std::uint32_t pixel);
    void MakePixels();
    // A buffer the compositor does not hold, made if need be; none when it holds all.
    ShmBuffer* FreeBuffer(std::size_t* index);

    std::mutex mutex_;
    wl_display* display_;
    wl_event_queue* queue_;
    wl_shm* shm_;          // a wrapper whose objects' events come on queue_
    wl_surface* surface_;  // likewise, for frame callbacks
    wp_viewport* viewport_ = nullptr;
    std::int32_t width_;   // in pixels
    std::int32_t height_;
    std::int32_t scale_;

    std::optional<std::uint32_t> solid_;  // the colour all over, while there is no picture
    std::unique_ptr<ShmBuffer> solidBuffer_;
    std::vector<std::uint32_t> pixels_;  // the picture, once there is one
    BufferBook book_;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
    wl_callback* frame_ = nullptr;       // the compositor has not yet shown the last buffer
    bool stretched_ = false;             // the viewport stretches a few solid pixels
};
