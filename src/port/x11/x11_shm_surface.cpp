// The animation's drawing on X11 through MIT-SHM: the picture in memory the X server
// shares, the frame's changed rectangles put into the window from it, as the Wayland
// display shows its picture. Built in with VARBULES_X11_SHM and chosen with
// VARBULES_X11_DRAWING=shm, for measuring it against drawing with Xlib's own requests;
// where the server cannot share memory with us (another machine, another depth), the
// Xlib drawing stays.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "port/picture/dirty_tiles.h"
#include "port/picture/picture_surface.h"
#include "port/x11/x11_shm_surface.h"

namespace {

class XShmPicture final : public PictureTarget {
public:
    XShmPicture(Display* display, Window window, const std::optional<ScreenRect>& view)
        : display_(display), window_(window)
    {
        if (view) {
            dx_ = view->x;
            dy_ = view->y;
        }
    }

    ~XShmPicture() override
    {
        if (attached_)
            XShmDetach(display_, &segment_);
        if (image_ != nullptr)
            XDestroyImage(image_);
        if (segment_.shmaddr != nullptr)
            shmdt(segment_.shmaddr);
        if (gc_ != nullptr)
            XFreeGC(display_, gc_);
        XCloseDisplay(display_);
    }

    XShmPicture(const XShmPicture&) = delete;
    XShmPicture& operator=(const XShmPicture&) = delete;

    // Makes the shared image and reads the window's picture into it; false where the
    // server or the window's visual does not allow it.
    bool Open(std::int32_t width, std::int32_t height)
    {
        const int screen = DefaultScreen(display_);
        Visual* visual = DefaultVisual(display_, screen);
        if (!XShmQueryExtension(display_) || DefaultDepth(display_, screen) != 24 || visual->red_mask != 0xFF0000 ||
            visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF || width <= 0 || height <= 0)
            return false;
        image_ = XShmCreateImage(display_, visual, 24, ZPixmap, nullptr, &segment_, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height));
        if (image_ == nullptr || image_->bits_per_pixel != 32 || image_->byte_order != LSBFirst)
            return false;
        segment_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * image_->height,
                                IPC_CREAT | 0600);
        if (segment_.shmid < 0)
            return false;
        segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        // Marked for removal at once: it goes when both sides have let go of it, however
        // the program ends.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (segment_.shmaddr == reinterpret_cast<char*>(-1)) {
            segment_.shmaddr = image_->data = nullptr;
            return false;
        }
        segment_.readOnly = False;
        damage_ = DirtyTiles(width, height);
        attached_ = XShmAttach(display_, &segment_) != 0;
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        // The picture starts as what the window shows: the background the erase painted.
        return attached_ && XShmGetImage(display_, window_, image_, dx_, dy_, AllPlanes) != 0;
    }

    Pixels Acquire() override
    {
        mutex_.lock();
        return Pixels{reinterpret_cast<std::uint32_t*>(image_->data), image_->width, image_->height,
                      image_->bytes_per_line / 4};
    }

    void Release(const PixelRect& changed) override
    {
        damage_.Add(changed);
        mutex_.unlock();
    }

    void Present() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const PixelRect& r : damage_.Runs())
            XShmPutImage(display_, window_, gc_, image_, r.left, r.top, r.left + dx_, r.top + dy_,
                         static_cast<unsigned>(r.right - r.left), static_cast<unsigned>(r.bottom - r.top), False);
        damage_.Clear();
        // The server reads the image when it carries the requests out: it must have done
        // so before the next frame draws into it.
        XSync(display_, False);
    }

private:
    Display* display_;
    Window window_;
    std::int32_t dx_ = 0;
    std::int32_t dy_ = 0;
    XShmSegmentInfo segment_{};
    XImage* image_ = nullptr;
    bool attached_ = false;
    GC gc_ = nullptr;
    std::mutex mutex_;
    DirtyTiles damage_{0, 0};
};

}  // namespace

bool ShmDrawingWanted()
{
    const char* drawing = std::getenv("VARBULES_X11_DRAWING");
    return drawing != nullptr && std::strcmp(drawing, "shm") == 0;
}

std::unique_ptr<DisplaySurface> OpenShmSurface(const char* displayName, Window window, const std::optional<ScreenRect>& view)
{
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr)
        return nullptr;
    auto picture = std::make_unique<XShmPicture>(display, window, view);
    XWindowAttributes attributes{};
    if (!view && XGetWindowAttributes(display, window, &attributes) == 0)
        return nullptr;
    if (!picture->Open(view ? view->width : attributes.width, view ? view->height : attributes.height))
        return nullptr;
    return std::make_unique<PictureSurface>(std::move(picture), GlyphFont::Open(GlyphFont::kTextPixels));
}
