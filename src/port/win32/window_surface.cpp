#include "port/window_surface.h"

#include <cstddef>

namespace {

// GDI on the saver window, through a device context of the animation thread's own.
class GdiSurface final : public Surface {
public:
    // There is only ever one animation thread, so its surface lives in a place of its own
    // rather than on the heap; that keeps the C++ runtime's allocation and exception
    // machinery out of the program.
    static void* operator new(std::size_t size) noexcept
    {
        static_assert(sizeof(GdiSurface) <= sizeof storage_);
        return size <= sizeof storage_ ? storage_ : nullptr;
    }
    static void operator delete(void*) noexcept {}

    explicit GdiSurface(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~GdiSurface() override { ReleaseDC(window_, dc_); }
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    PixelSize ClientSize() override
    {
        RECT client;
        GetClientRect(window_, &client);
        return {client.right - client.left, client.bottom - client.top};
    }
    Brush MakeBrush(Colour colour) override { return reinterpret_cast<Brush>(CreateSolidBrush(colour)); }
    Region MakeDiscRegion(const PixelRect& bounds) override
    {
        const RECT rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
        return reinterpret_cast<Region>(CreateEllipticRgnIndirect(&rect));
    }
    void FillRegion(Region region, Brush brush) override
    {
        FillRgn(dc_, reinterpret_cast<HRGN>(region), reinterpret_cast<HBRUSH>(brush));
    }
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override
    {
        OffsetRgn(reinterpret_cast<HRGN>(region), dx, dy);
    }
    PixelSize MeasureText(const char* text, std::int32_t length) override
    {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text, length, &size);
        return {size.cx, size.cy};
    }
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override
    {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, background);
        SetTextColor(dc_, text);
        SetTextCharacterExtra(dc_, characterExtra);
    }
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override
    {
        TextOutA(dc_, x, y, text, length);
    }

private:
    alignas(std::max_align_t) static unsigned char storage_[64];

    HWND window_;
    HDC dc_;
};

alignas(std::max_align_t) unsigned char GdiSurface::storage_[64];

}  // namespace

std::unique_ptr<Surface> OpenWindowSurface(HWND window)
{
    return std::make_unique<GdiSurface>(window);
}

WindowPace PaceOf(Surface&, Clock& systemClock)
{
    return {systemClock, nullptr};
}
