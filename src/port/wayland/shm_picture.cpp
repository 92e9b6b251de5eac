#include "port/wayland/shm_picture.h"

#include <cstring>

namespace {

// Two buffers serve when the compositor gives each back before it shows the next; a
// third covers one that keeps its buffer until the next is shown. More would only mean a
// compositor that holds on to them, which waiting copes with.
constexpr std::size_t kMaxBuffers = 3;

template <typename T>
T* OnQueue(T* proxy, wl_event_queue* queue)
{
    auto* wrapper = static_cast<T*>(wl_proxy_create_wrapper(proxy));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    return wrapper;
}

void CopyRect(const Pixels& from, const Pixels& to, const PixelRect& r)
{
    const auto bytes = static_cast<std::size_t>(r.right - r.left) * sizeof(std::uint32_t);
    for (std::int32_t y = r.top; y < r.bottom; ++y)
        std::memcpy(to.Row(y) + r.left, from.Row(y) + r.left, bytes);
}

}  // namespace

const wl_callback_listener ShmPicture::kFrameListener = {
    [](void* data, wl_callback* callback, std::uint32_t) {
        auto* picture = static_cast<ShmPicture*>(data);
        wl_callback_destroy(callback);
        picture->frame_ = nullptr;
        picture->book_.FrameShown();
    },
};

ShmPicture::ShmPicture(wl_display* display, wl_shm* shm, wl_surface* surface, wp_viewporter* viewporter,
                       std::int32_t width, std::int32_t height, std::int32_t scale)
    : display_(display),
      queue_(wl_display_create_queue(display)),
      shm_(OnQueue(shm, queue_)),
      surface_(OnQueue(surface, queue_)),
      width_(width * scale),
      height_(height * scale),
      scale_(scale),
      book_(kMaxBuffers, width_, height_)
{
    if (viewporter != nullptr)
        viewport_ = wp_viewporter_get_viewport(viewporter, surface);
}

ShmPicture::~ShmPicture()
{
    if (frame_ != nullptr)
        wl_callback_destroy(frame_);
    buffers_.clear();
    solidBuffer_.reset();
    if (viewport_ != nullptr)
        wp_viewport_destroy(viewport_);
    wl_proxy_wrapper_destroy(surface_);
    wl_proxy_wrapper_destroy(shm_);
    wl_event_queue_destroy(queue_);
}

bool ShmPicture::Whole(const PixelRect& r) const
{
    return r.left <= 0 && r.top <= 0 && r.right >= width_ && r.bottom >= height_;
}

void ShmPicture::Fill(const PixelRect& rect, std::uint32_t pixel)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (pixels_.empty() && Whole(rect)) {
            if (solid_ != pixel)
                ShowSolid(pixel);
            return;
        }
    }
    const Pixels pixels = Acquire();
    const PixelRect r = ClippedTo(rect, width_, height_);
    FillRect(pixels, r, pixel);
    Release(r);
    Present();
}

void ShmPicture::ShowSolid(std::uint32_t pixel)
{
    // Stretched, a few pixels of the colour serve, of which the compositor is shown the
    // middle: a software renderer that rounds its scale up would read past the edge of a
    // lone pixel, and show what lies beyond in the last rows. Without a viewport the
    // buffer is the window's size. A buffer the compositor has is never written again, so
    // a new colour gets a new one.
    const bool stretch = viewport_ != nullptr;
    constexpr std::int32_t kSolidSide = 4;
    std::unique_ptr<ShmBuffer> buffer =
        stretch ? ShmBuffer::Make(shm_, kSolidSide, kSolidSide) : ShmBuffer::Make(shm_, width_, height_);
    if (buffer == nullptr)
        return;
    const Pixels p = buffer->pixels();
    FillRect(p, PixelRect{0, 0, p.width, p.height}, pixel);
    if (stretch) {
        wp_viewport_set_source(viewport_, wl_fixed_from_int(1), wl_fixed_from_int(1), wl_fixed_from_int(kSolidSide - 2),
                               wl_fixed_from_int(kSolidSide - 2));
        wp_viewport_set_destination(viewport_, width_ / scale_, height_ / scale_);
        wl_surface_set_buffer_scale(surface_, 1);
    } else {
        wl_surface_set_buffer_scale(surface_, scale_);
    }
    stretched_ = stretch;
    wl_surface_attach(surface_, buffer->buffer(), 0, 0);
    wl_surface_damage_buffer(surface_, 0, 0, p.width, p.height);
    wl_surface_commit(surface_);
    wl_display_flush(display_);
    solidBuffer_ = std::move(buffer);
    solid_ = pixel;
}

void ShmPicture::MakePixels()
{
    // The picture starts as what the window shows: its colour all over.
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), solid_.value_or(0));
    book_.Drawn(PixelRect{0, 0, width_, height_});
}

Pixels ShmPicture::Acquire()
{
    mutex_.lock();
    if (pixels_.empty())
        MakePixels();
    return Pixels{pixels_.data(), width_, height_, width_};
}

void ShmPicture::Release(const PixelRect& changed)
{
    book_.Drawn(changed);
    mutex_.unlock();
}

ShmBuffer* ShmPicture::FreeBuffer(std::size_t* index)
{
    const std::optional<std::size_t> free = book_.FreeBuffer();
    if (!free)
        return nullptr;
    if (*free == buffers_.size()) {
        // The compositor gives the buffer back on the picture's queue, which is
        // dispatched under the picture's lock.
        const std::size_t k = *free;
        std::unique_ptr<ShmBuffer> buffer = ShmBuffer::Make(shm_, width_, height_, [this, k] { book_.Released(k); });
        if (buffer == nullptr)
            return nullptr;
        buffers_.push_back(std::move(buffer));
    }
    *index = *free;
    return buffers_[*free].get();
}

void ShmPicture::Present()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (pixels_.empty())
        return;
    // Whatever has come back since: released buffers, a shown frame.
    wl_display_dispatch_queue_pending(display_, queue_);
    if (!book_.MayPresent())
        return;
    std::size_t index = 0;
    ShmBuffer* buffer = FreeBuffer(&index);
    if (buffer == nullptr)
        return;
    const Pixels picture{pixels_.data(), width_, height_, width_};
    for (const PixelRect& r : book_.Stale(index))
        CopyRect(picture, buffer->pixels(), r);

    if (stretched_) {
        const wl_fixed_t unset = wl_fixed_from_int(-1);
        wp_viewport_set_source(viewport_, unset, unset, unset, unset);
        wp_viewport_set_destination(viewport_, -1, -1);
        stretched_ = false;
    }
    wl_surface_set_buffer_scale(surface_, scale_);
    wl_surface_attach(surface_, buffer->buffer(), 0, 0);
    for (const PixelRect& r : book_.Changed())
        wl_surface_damage_buffer(surface_, r.left, r.top, r.right - r.left, r.bottom - r.top);
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &kFrameListener, this);
    wl_surface_commit(surface_);
    book_.Presented(index);
    wl_display_flush(display_);
}

bool ShmPicture::WantsFrame()
{
    std::lock_guard<std::mutex> lock(mutex_);
    wl_display_dispatch_queue_pending(display_, queue_);
    return book_.ReadyForFrame();
}
