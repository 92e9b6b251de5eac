// The animation thread's drawing on the saver window with Xlib's own requests, through a
// display connection of its own: nothing it does can get in the way of the main thread's
// requests and events.

#include "port/x11/x11_xlib_surface.h"

#include <algorithm>
#include <array>
#include <deque>
#include <unordered_map>
#include <vector>

#include "port/no_surface.h"
#include "port/solid_brush.h"
#include "port/x11/disc_rows.h"

unsigned long PixelFor(Display* display, int screen, Colour colour)
{
    XColor c{};
    // COLORREF holds 8 bits a channel, red lowest; X wants 16 bits a channel.
    c.red = static_cast<unsigned short>((colour & 0xFFu) * 0x101u);
    c.green = static_cast<unsigned short>(((colour >> 8) & 0xFFu) * 0x101u);
    c.blue = static_cast<unsigned short>(((colour >> 16) & 0xFFu) * 0x101u);
    c.flags = DoRed | DoGreen | DoBlue;
    if (XAllocColor(display, DefaultColormap(display, screen), &c) == 0)
        return WhitePixel(display, screen);
    return c.pixel;
}

namespace {

constexpr std::size_t kLongestText = 256;
// Text at more places than this, and no erasure is widened any more.
constexpr std::size_t kMostTextCells = 16;

class XlibSurface final : public DisplaySurface {
public:
    // A view, when there is one, is the part of the window that is the client area: the
    // surface draws at its offset and never beyond it.
    XlibSurface(Display* display, Window window, std::optional<ScreenRect> view)
        : display_(display), window_(window), view_(view)
    {
        screen_ = DefaultScreen(display_);
        textBackgroundGc_ = MakeGc(0, nullptr);
        textGc_ = MakeGc(0, nullptr);
        // No font is chosen: the text is drawn in the display's default font, the one a
        // new graphics context starts with.
        font_ = XQueryFont(display_, XGContextFromGC(textGc_));
        client_ = ClientSize();
    }

    ~XlibSurface() override
    {
        for (const auto& [brush, gc] : gcs_)
            XFreeGC(display_, gc);
        XFreeGC(display_, textGc_);
        XFreeGC(display_, textBackgroundGc_);
        if (font_ != nullptr)
            XFreeFontInfo(nullptr, font_, 1);
        XCloseDisplay(display_);
    }

    XlibSurface(const XlibSurface&) = delete;
    XlibSurface& operator=(const XlibSurface&) = delete;

    PixelSize ClientSize() override
    {
        if (view_)
            return {view_->width, view_->height};
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_, window_, &attributes) == 0)
            return {0, 0};
        return {attributes.width, attributes.height};
    }

    Brush MakeBrush(Colour colour) override
    {
        brushes_.push_back(SolidBrush{colour});
        const auto brush = reinterpret_cast<Brush>(&brushes_.back());
        gcs_.emplace(brush, MakeFillGc(colour));
        return brush;
    }

    Region MakeDiscRegion(const PixelRect& bounds) override
    {
        discs_.push_back(Disc{bounds, DiscRows<XRectangle>(bounds.right - bounds.left, bounds.bottom - bounds.top)});
        return reinterpret_cast<Region>(&discs_.back());
    }

    void FillRegion(Region region, Brush brush) override
    {
        if (region == 0 || brush == 0)
            return;
        // The disc's pixels as GDI's elliptic region has them. Fills one after another in
        // one colour (the erasures of a frame after stepped ones) go as one request.
        const GC gc = GcFor(brush);
        if (gc != fillGc_)
            SendFills();
        fillGc_ = gc;
        Disc& disc = *reinterpret_cast<Disc*>(region);
        const bool erasing = background_ && BrushAt(brush).colour == *background_;
        // The server spends on a rectangle what it spends on a hundred pixels or more: an
        // erasure whose box can hold nothing but background outside the disc fills the
        // whole box, one rectangle for a disc's twenty or so.
        if (erasing && OnlyBackgroundAround(disc))
            AppendBox(disc.bounds);
        else
            disc.rows.Append(disc.bounds, client_, dx_, dy_, rows_);
        disc.shown = !erasing;
        disc.shownAt = disc.bounds;
    }

    void SetWindowBackground(Colour colour) override { background_ = colour; }

    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override
    {
        if (region == 0)
            return;
        PixelRect& bounds = reinterpret_cast<Disc*>(region)->bounds;
        bounds = PixelRect{bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy};
    }

    PixelSize MeasureText(const char* text, std::int32_t length) override
    {
        if (font_ == nullptr)
            return {0, 0};
        const int n = std::clamp(length, 0, static_cast<std::int32_t>(kLongestText));
        return {XTextWidth(font_, text, n) + characterExtra_ * n, font_->ascent + font_->descent};
    }

    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override
    {
        XSetForeground(display_, textBackgroundGc_, PixelFor(display_, screen_, background));
        XSetForeground(display_, textGc_, PixelFor(display_, screen_, text));
        characterExtra_ = characterExtra;
    }

    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override
    {
        SendFills();
        if (font_ == nullptr)
            return;
        const int n = std::clamp(length, 0, static_cast<std::int32_t>(kLongestText));
        // The cell is opaque over the whole extent, the extra spacing included, as GDI's
        // opaque background mode paints it. Then one text item per character, each but the
        // first moved on by the extra spacing.
        const PixelSize cell = MeasureText(text, n);
        AddTextCell(PixelRect{x, y, x + cell.cx, y + cell.cy});
        XFillRectangle(display_, window_, textBackgroundGc_, x + dx_, y + dy_, static_cast<unsigned>(std::max(cell.cx, 0)),
                       static_cast<unsigned>(std::max(cell.cy, 0)));
        for (int i = 0; i < n; ++i)
            items_[static_cast<std::size_t>(i)] =
                XTextItem{const_cast<char*>(text + i), 1, i == 0 ? 0 : characterExtra_, None};
        XDrawText(display_, window_, textGc_, x + dx_, y + dy_ + font_->ascent, items_.data(), n);
    }

    // A frame's requests go out together: one write for the whole frame (as far as Xlib's
    // buffer holds it), not one per disc or per line of text.
    void EndFrame() override
    {
        SendFills();
        XFlush(display_);
    }

private:
    void SendFills()
    {
        if (!rows_.empty())
            XFillRectangles(display_, window_, fillGc_, rows_.data(), static_cast<int>(rows_.size()));
        rows_.clear();
    }

    struct Disc {
        PixelRect bounds;
        DiscRows<XRectangle> rows;
        bool shown = false;  // last filled in a colour other than the background
        PixelRect shownAt{};  // its bounds then
    };

    static bool Meet(const PixelRect& a, const PixelRect& b)
    {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }

    // Whether the window holds only background in the disc's box, but for the disc's own
    // pixels: no other disc stands in it, nor did any text, nor the disc elsewhere. The
    // window is all background once its owner has erased it, and what lies on it since
    // is the discs and the text of this surface.
    bool OnlyBackgroundAround(const Disc& disc) const
    {
        if (textCells_.size() > kMostTextCells)
            return false;
        const PixelRect& box = disc.bounds;
        for (const PixelRect& cell : textCells_)
            if (Meet(cell, box))
                return false;
        for (const Disc& other : discs_) {
            const PixelRect& at = other.shownAt;
            const bool itself = &other == &disc && at.left == box.left && at.top == box.top && at.right == box.right &&
                                at.bottom == box.bottom;
            if (other.shown && !itself && Meet(other.shownAt, box))
                return false;
        }
        return true;
    }

    void AppendBox(const PixelRect& box)
    {
        const std::int32_t left = std::max(box.left, 0), top = std::max(box.top, 0);
        const std::int32_t right = std::min(box.right, client_.cx), bottom = std::min(box.bottom, client_.cy);
        if (left < right && top < bottom)
            rows_.push_back(XRectangle{static_cast<short>(left + dx_), static_cast<short>(top + dy_),
                                       static_cast<unsigned short>(right - left), static_cast<unsigned short>(bottom - top)});
    }

    // The lines of text stand at the same few places, growing and shrinking: a line drawn
    // where one began before widens that one's cell.
    void AddTextCell(const PixelRect& cell)
    {
        for (PixelRect& known : textCells_) {
            if (known.left == cell.left && known.top == cell.top) {
                known = PixelRect{known.left, known.top, std::max(known.right, cell.right), std::max(known.bottom, cell.bottom)};
                return;
            }
        }
        if (textCells_.size() <= kMostTextCells)
            textCells_.push_back(cell);
    }

    // One graphics context per brush, so a fill never has to change a context's colour
    // first. The surface's own brushes get theirs when they are made; the main thread's
    // (the background) when they are first used.
    GC GcFor(Brush brush)
    {
        auto found = gcs_.find(brush);
        if (found == gcs_.end())
            found = gcs_.emplace(brush, MakeFillGc(BrushAt(brush).colour)).first;
        return found->second;
    }

    GC MakeFillGc(Colour colour)
    {
        XGCValues values{};
        values.foreground = PixelFor(display_, screen_, colour);
        return MakeGc(GCForeground, &values);
    }

    GC MakeGc(unsigned long valueMask, XGCValues* values)
    {
        GC gc = XCreateGC(display_, window_, valueMask, values);
        if (view_) {
            XRectangle clip{static_cast<short>(view_->x), static_cast<short>(view_->y),
                            static_cast<unsigned short>(view_->width), static_cast<unsigned short>(view_->height)};
            XSetClipRectangles(display_, gc, 0, 0, &clip, 1, Unsorted);
        }
        return gc;
    }

    Display* display_;
    Window window_;
    std::optional<ScreenRect> view_;
    int dx_ = view_ ? view_->x : 0;
    int dy_ = view_ ? view_->y : 0;
    int screen_ = 0;
    GC textBackgroundGc_ = nullptr;
    GC textGc_ = nullptr;
    XFontStruct* font_ = nullptr;
    std::int32_t characterExtra_ = 0;
    std::deque<SolidBrush> brushes_;
    PixelSize client_{0, 0};
    std::deque<Disc> discs_;
    std::vector<XRectangle> rows_;  // the rectangles of fills not yet sent, all in fillGc_
    GC fillGc_ = nullptr;
    std::unordered_map<Brush, GC> gcs_;
    std::array<XTextItem, kLongestText> items_{};
    std::optional<Colour> background_;
    std::vector<PixelRect> textCells_;  // where text was drawn, in client coordinates
};

}  // namespace

std::unique_ptr<DisplaySurface> OpenXlibSurface(Display* display, Window window, const std::optional<ScreenRect>& view)
{
    if (display == nullptr)
        return std::make_unique<NoSurface>();
    return std::make_unique<XlibSurface>(display, window, view);
}
