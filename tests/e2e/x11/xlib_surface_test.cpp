// The X11 saver's drawing on a real X server: frames at the Linux pace, most of them only
// stepped, drawn with Xlib into a window, against a picture in memory that draws every
// frame. Run on an Xvfb of its own by xlib_surface_test.sh.

// googletest first: Xlib's macros (None among them) would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "port/raster/raster_surface.h"
#include "port/x11/x11_xlib_surface.h"
#include "paced_beside_every.h"

namespace {

constexpr Colour kBackground = 0x00800000;  // GDI's dark blue, 0x00BBGGRR
constexpr std::int32_t kWidth = 400, kHeight = 300;

std::uint32_t RgbOf(Colour colour)
{
    return (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

// A window of kWidth by kHeight in the background colour, shown.
Window OpenWindow(Display* display)
{
    XSetWindowAttributes attributes{};
    attributes.background_pixel = RgbOf(kBackground);
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWBackPixel, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

std::uint32_t PixelAt(Display* display, Window window, std::int32_t x, std::int32_t y)
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0xFFFFFFFFu;
    const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixel;
}

// Where the window differs from the picture, between the rows of text; empty where not.
std::string Difference(Display* display, Window window, const RasterSurface& picture, std::int32_t textRows)
{
    XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (image == nullptr)
        return "the window cannot be read";
    std::string difference;
    for (std::int32_t y = textRows; y < kHeight - textRows && difference.empty(); ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t want = RgbOf(picture.pixels()[static_cast<std::size_t>(y * kWidth + x)]);
            const auto got = static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFFu);
            if (got != want) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel %d,%d is %06x, not %06x", x, y, got, want);
                difference = text;
                break;
            }
        }
    }
    XDestroyImage(image);
    return difference;
}

// After every frame drawn on the server, the window holds the discs of drawing every
// frame, pixel for pixel, where the text cannot reach (the server's font is not the
// picture's stand-in blocks): the rows of the rate label and of the credit line are left
// out. And no more frames are drawn than the display shows, however many are run.
TEST(XlibSurface, AfterEveryDrawnFrameTheWindowShowsTheDiscsOfDrawingEveryFrame)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window = OpenWindow(display);

    {
        std::atomic<std::uint32_t> erasures{0};
        PacedWindowSurface paced(OpenXlibSurface(XOpenDisplay(nullptr), window, std::nullopt), kBackground, 16667, &erasures);
        RasterSurface every(kWidth, kHeight);
        every.FillAll(kBackground);
        PacedBesideEvery runs(paced, every, kBackground, every.MakeBrush(kBackground), 32, 7);
        FramePace& pace = runs.pace;

        // Wide enough for either font's line: the window's rows below and above stay.
        const std::int32_t textRows = 2 * std::max(paced.MeasureText("Ag", 2).cy, RasterSurface::kGlyphHeight);
        std::size_t compared = 0;
        int frames = 0;
        for (; frames < 2000; ++frames) {
            const std::size_t drawnBefore = pace.drawnFrames();
            runs.RunFrame();
            if (pace.drawnFrames() == drawnBefore || frames % 5 != 0)
                continue;
            // The surface sends on a connection of its own: the server takes its requests in
            // their own time, so the window is read until it matches, up to a deadline.
            std::string last;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            do {
                XSync(display, False);
                last = Difference(display, window, every, textRows);
            } while (!last.empty() && std::chrono::steady_clock::now() < deadline);
            ASSERT_EQ(last, "") << "after frame " << frames;
            ++compared;
        }
        EXPECT_GT(compared, 40u);
        // At most one drawn frame a tick of the display, and most ticks one.
        const std::uint64_t elapsedMicros = std::uint64_t{runs.clock.now - 5000} * 1000, tick = 16667;
        EXPECT_LE(pace.drawnFrames() * tick, elapsedMicros + tick);
        EXPECT_GE(pace.drawnFrames() * tick * 10, elapsedMicros * 9);
    }  // the surface, and its connection, go before the window
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

// An erasure reaches no further than the disc where text stands: a disc whose box, but not
// whose pixels, meets the cell of a line of text is drawn and erased, and the cell is still
// the text's, not the background.
TEST(XlibSurface, AnErasureLeavesTheTextBesideTheDiscAlone)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window = OpenWindow(display);
    {
        std::unique_ptr<DisplaySurface> surface = OpenXlibSurface(XOpenDisplay(nullptr), window, std::nullopt);
        surface->SetWindowBackground(kBackground);
        const Surface::Brush green = surface->MakeBrush(0x0000FF00), background = surface->MakeBrush(kBackground);
        surface->SetTextStyle(0x00000000, 0x00FFFFFF, 0);  // white on a black cell
        surface->DrawTextLine(10, 10, "MM", 2);
        const PixelSize cell = surface->MeasureText("MM", 2);
        ASSERT_GT(cell.cx, 0);
        // The disc's box reaches 3 pixels into the cell's bottom right corner; a disc of 40
        // leaves more than that of its box's corner empty.
        const std::int32_t left = 10 + cell.cx - 3, top = 10 + cell.cy - 3;
        const Surface::Region disc = surface->MakeDiscRegion(PixelRect{left, top, left + 40, top + 40});
        surface->FillRegion(disc, green);
        surface->FillRegion(disc, background);
        surface->EndFrame();
        // The erasure has reached the server once the disc's centre is background again.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (PixelAt(display, window, left + 20, top + 20) != RgbOf(kBackground) &&
               std::chrono::steady_clock::now() < deadline) {
        }
        ASSERT_EQ(PixelAt(display, window, left + 20, top + 20), RgbOf(kBackground)) << "the disc was not erased";
        EXPECT_NE(PixelAt(display, window, left + 1, top + 1), RgbOf(kBackground)) << "the erasure reached the text";
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

}  // namespace
