#include "port/picture/picture_surface.h"

#include <algorithm>
#include <atomic>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "port/picture/dirty_tiles.h"
#include "port/raster/raster_surface.h"
#include "sim/frame_loop.h"
#include "paced_beside_every.h"
#include "sim_fakes.h"

namespace {

constexpr Colour kBackground = 0x00800000;    // the saver's dark blue
constexpr std::uint32_t kGuard = 0xDEADBEEF;  // around the picture, where nothing may be drawn

std::array<std::int32_t, 4> Corners(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// A picture in a vector, with guard pixels after every row and guard rows above and
// below, where nothing may ever be drawn. It records the released rectangles, which must
// lie on the picture, and at each presentation how many had been released; drawing must
// hold the picture while it writes and present only once done.
class VectorTarget final : public PictureTarget {
public:
    static constexpr std::int32_t kMargin = 24;  // guard rows above and below

    VectorTarget(std::int32_t width, std::int32_t height, Colour fill)
        : width_(width), height_(height), pixels(static_cast<std::size_t>((width + 3) * (height + 2 * kMargin)), kGuard)
    {
        for (std::int32_t y = 0; y < height; ++y)
            std::fill_n(&At(0, y), width, PixelOf(fill));
    }
    Pixels Acquire() override
    {
        EXPECT_FALSE(std::exchange(held_, true));
        return {&At(0, 0), width_, height_, width_ + 3};
    }
    void Release(const PixelRect& r) override
    {
        EXPECT_TRUE(std::exchange(held_, false));
        const bool onPicture = r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width_ && r.bottom <= height_;
        EXPECT_TRUE(onPicture || Corners(r) == Corners({0, 0, 0, 0})) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        released.push_back(r);
    }
    void Present() override { presentedAfter.push_back(held_ ? 0 : released.size()); }
    bool WantsFrame() override { return wantsFrame; }
    std::uint32_t& At(std::int32_t x, std::int32_t y) { return pixels[static_cast<std::size_t>((y + kMargin) * (width_ + 3) + x)]; }

    // Every pixel that differs from before is on the picture and in a rectangle released since.
    void ExpectChangesReleased(const std::vector<std::uint32_t>& before, std::size_t since) const
    {
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const auto x = static_cast<std::int32_t>(i) % (width_ + 3), y = static_cast<std::int32_t>(i) / (width_ + 3) - kMargin;
            const auto inside = [&](const PixelRect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
            const bool onPicture = x < width_ && y >= 0 && y < height_;
            ASSERT_TRUE(pixels[i] == before[i] || (onPicture && std::any_of(released.begin() + static_cast<std::ptrdiff_t>(since), released.end(), inside)))
                << "pixel " << x << "," << y << " changed outside every released rectangle";
        }
    }

private:
    std::int32_t width_, height_;
    bool held_ = false;

public:
    bool wantsFrame = true;
    std::vector<std::uint32_t> pixels;
    std::vector<PixelRect> released;
    std::vector<std::size_t> presentedAfter;  // a presentation while the picture is held counts as 0
};

std::unique_ptr<GlyphFont> OpenFont()
{
    auto font = GlyphFont::Open(15);
    EXPECT_NE(font, nullptr) << "no bold sans-serif font could be opened (fonts-dejavu-core should provide one)";
    return font;
}

// Pixel-centre membership in the inscribed ellipse, tested pixel by pixel at the disc's
// own position, as GDI's regions and the raster surface always did it.
bool InsideDisc(const PixelRect& r, std::int32_t x, std::int32_t y)
{
    const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0 || x < r.left || x >= r.right || y < r.top || y >= r.bottom)
        return false;
    const double u = (x + 0.5 - (r.left + r.right) / 2.0) / rx, v = (y + 0.5 - (r.top + r.bottom) / 2.0) / ry;
    return u * u + v * v <= 1.0;
}

// Discs of every small size, odd and even, flat, empty and inverted, moved about and over
// every edge: the picture, the raster surface and the rule agree on every pixel after
// every fill, and every changed pixel lies in the released rectangle.
TEST(PictureSurface, DiscsAreTheRuleOnEveryPixelAndTheirChangesAreReleased)
{
    constexpr std::int32_t kWidth = 37, kHeight = 29;
    VectorTarget target(kWidth, kHeight, kBackground);
    PictureSurface picture(target, nullptr);
    RasterSurface raster(kWidth, kHeight);
    raster.FillAll(kBackground);
    std::vector<std::uint32_t> expected(kWidth * kHeight, PixelOf(kBackground));
    std::mt19937 random(7);
    const auto between = [&](std::int32_t low, std::int32_t high) { return std::uniform_int_distribution<std::int32_t>(low, high)(random); };
    for (const std::int32_t w : {-3, 0, 1, 2, 3, 4, 5, 7, 8, 13, 16, 25, 26, 40}) {
        for (const std::int32_t h : {-3, 0, 1, 2, 3, 4, 5, 7, 8, 13, 16, 25, 26, 40}) {
            const Colour colour = static_cast<Colour>(random()) & 0xFFFFFFu;
            PixelRect at{between(-w - 2, kWidth + 2), between(-h - 2, kHeight + 2), 0, 0};
            at = {at.left, at.top, at.left + w, at.top + h};
            const Surface::Region region = picture.MakeDiscRegion(at), rasterRegion = raster.MakeDiscRegion(at);
            const Surface::Brush brush = picture.MakeBrush(colour), rasterBrush = raster.MakeBrush(colour);
            for (int move = 0; move < 6; ++move) {
                SCOPED_TRACE(testing::Message() << w << "x" << h << " at " << at.left << "," << at.top);
                const std::vector<std::uint32_t> before = target.pixels;
                picture.FillRegion(region, brush);
                raster.FillRegion(rasterRegion, rasterBrush);
                target.ExpectChangesReleased(before, target.released.size() - 1);
                for (std::int32_t i = 0; i < kWidth * kHeight; ++i) {
                    std::uint32_t& want = expected[static_cast<std::size_t>(i)];
                    want = InsideDisc(at, i % kWidth, i / kWidth) ? PixelOf(colour) : want;
                    ASSERT_EQ(target.At(i % kWidth, i / kWidth), want) << "picture at pixel " << i;
                    ASSERT_EQ(PixelOf(raster.pixels()[static_cast<std::size_t>(i)]), want) << "raster at pixel " << i;
                }
                const std::int32_t dx = between(-12, 12), dy = between(-12, 12);
                picture.MoveRegion(region, dx, dy);
                raster.MoveRegion(rasterRegion, dx, dy);
                at = {at.left + dx, at.top + dy, at.right + dx, at.bottom + dy};
            }
        }
    }
}

// The pixel of text at a coverage, per channel dst + (src - dst) * coverage / 255 rounded.
std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, int coverage)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround(d + (s - d) * coverage / 255.0)) << shift;
    }
    return out;
}

// The rate label over a disc's colour: the measure counts the extra spacing once a
// character; the cell is exactly the measured extent and opaque, each pixel in it the
// background or the text colour at some coverage; the characters stand where the measure
// of the text before them ends, on the font's baseline.
TEST(PictureSurface, TextIsAnOpaqueCellOfItsMeasureWithEachCharacterAtItsPen)
{
    constexpr Colour kText = 0x0030C0F0;  // unlike white, it shows channels taken the wrong way round
    const std::string label = "Actions per sec: 42";
    const auto n = static_cast<std::int32_t>(label.size());
    VectorTarget target(320, 30, 0x0000C000);
    std::unique_ptr<GlyphFont> font = OpenFont();
    ASSERT_NE(font, nullptr);
    const std::int32_t ascent = font->Ascent();
    PictureSurface surface(target, std::move(font));
    const auto width = [&](const std::string& text, std::int32_t length) { return surface.MeasureText(text.c_str(), length).cx; };
    const std::int32_t plain = width(label, n);
    surface.SetTextStyle(kBackground, kText, kCharacterExtra);
    EXPECT_EQ(width(label, n) - plain, kCharacterExtra * n);
    EXPECT_EQ(width("\xE9\x01", 2), width("??", 2)) << "bytes beyond printable ASCII are question marks";
    EXPECT_EQ(width(std::string(300, 'W'), 300), width(std::string(300, 'W'), 256));
    EXPECT_EQ(width(label, -4), 0);

    const PixelSize extent = surface.MeasureText(label.c_str(), n);
    const std::vector<std::uint32_t> before = target.pixels;
    surface.DrawTextLine(kRateLabelX, kRateLabelY, label.c_str(), n);
    const PixelRect cell{kRateLabelX, kRateLabelY, kRateLabelX + extent.cx, kRateLabelY + extent.cy};
    ASSERT_EQ(target.released.size(), 1u);
    EXPECT_EQ(Corners(target.released[0]), Corners(cell));
    target.ExpectChangesReleased(before, 0);
    int textPixels = 0, backgroundPixels = 0;
    for (std::int32_t y = cell.top; y < cell.bottom; ++y) {
        for (std::int32_t x = cell.left; x < cell.right; ++x) {
            const std::uint32_t p = target.At(x, y);
            textPixels += p == PixelOf(kText);
            backgroundPixels += p == PixelOf(kBackground);
            bool blend = false;
            for (int coverage = 0; coverage <= 255 && !blend; ++coverage)
                blend = p == Blend(PixelOf(kBackground), PixelOf(kText), coverage);
            ASSERT_TRUE(blend) << "pixel " << x << "," << y << " is " << std::hex << p;
        }
    }
    EXPECT_GT(textPixels, 5 * n) << "a bold font's strokes have solid pixels";
    EXPECT_GT(backgroundPixels, textPixels);

    VectorTarget alone(320, 30, 0x0000C000);
    PictureSurface characters(alone, OpenFont());
    characters.SetTextStyle(kBackground, kText, kCharacterExtra);
    for (std::int32_t k = 0; k < n; ++k)
        characters.DrawTextLine(kRateLabelX + width(label, k), kRateLabelY, &label[k], 1);
    EXPECT_EQ(alone.pixels, target.pixels) << "characters drawn alone at their pens differ from the line";

    // An x stands on the baseline: its lowest ink is the row above it.
    VectorTarget one(20, 30, kBackground);
    PictureSurface single(one, OpenFont());
    single.SetTextStyle(kBackground, kText, 0);
    single.DrawTextLine(0, 0, "x", 1);
    std::int32_t lowest = -1;
    for (std::int32_t y = 0; y < 30; ++y)
        for (std::int32_t x = 0; x < 20; ++x)
            lowest = one.At(x, y) != PixelOf(kBackground) ? y : lowest;
    EXPECT_EQ(lowest, ascent - 1);
}

// Whole frames of the saver, with a font and without, the rate changing every few frames,
// on a picture and on a strip so low and narrow that both lines reach over every edge:
// all that each frame changed was released, and nothing was presented before its end.
TEST(PictureSurface, EveryFrameReleasesAllItChanged)
{
    const std::pair<PixelSize, bool> runs[] = {{{160, 120}, true}, {{160, 120}, false}, {{100, 12}, true}, {{100, 12}, false}};
    for (const auto& [size, withFont] : runs) {
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << (withFont ? " with a font" : " without a font"));
        VectorTarget target(size.cx, size.cy, kBackground);
        PictureSurface surface(target, withFont ? OpenFont() : nullptr);
        SolidBrush background{kBackground};  // the main thread's brush
        char rateLabel[64] = "Actions per sec:";
        const AnimationInputs inputs{false, 16, kBackground, reinterpret_cast<Surface::Brush>(&background),
                                     rateLabel, sizeof rateLabel, "Varbules credit line"};
        FakeClock clock;
        clock.advancePerReading = 37;
        MsvcrtRandom random(3);
        FrameLoop loop(inputs, surface, clock, random);
        for (std::size_t frame = 1; frame <= 60; ++frame) {
            const std::vector<std::uint32_t> before = target.pixels;
            const std::size_t since = target.released.size();
            loop.RunFrame();
            target.ExpectChangesReleased(before, since);
            EXPECT_TRUE(target.presentedAfter.empty());
        }
    }
}

// The same frames at the Linux saver's pace, the display taking a frame only now and
// then, and on a picture surface that draws them all: after every drawn frame the two
// pictures are the same, erasures with the main thread's background brush and the
// window's erase by its owner included; only drawn frames are presented, once each,
// after all they changed was released; an output switched off costs hardly any drawing.
TEST(PacedWindowSurface, AfterEveryDrawnFrameThePictureIsThatOfDrawingEveryFrame)
{
    constexpr std::int32_t kWidth = 320, kHeight = 240;
    VectorTarget paced(kWidth, kHeight, kBackground), every(kWidth, kHeight, kBackground);
    std::atomic<std::uint32_t> erasures{0};
    PacedWindowSurface pacedSurface(std::make_unique<PictureSurface>(paced, OpenFont()), kBackground, 16667, &erasures);
    PictureSurface everySurface(every, OpenFont());
    PacedBesideEvery runs(pacedSurface, everySurface, kBackground, 0, 32, 5);
    SleepingClock& clock = runs.clock;
    FramePace& pace = runs.pace;
    std::size_t releasedOff = 0, releasedOn = 0, framesOff = 0, framesOn = 0;
    for (int frame = 1; frame <= 3000; ++frame) {
        // Taken at first, then now and then, then for a while not at all (an output
        // switched off), then whenever the pace asks.
        const std::uint32_t ms = clock.now - 5000;
        paced.wantsFrame = ms < 2000 || (ms < 5000 && ms % 50 < 20) || ms >= 9000;
        if (frame % 700 == 0) {
            // The window's owner paints it over between two frames.
            std::fill(paced.pixels.begin(), paced.pixels.end(), PixelOf(kBackground));
            every.pixels = paced.pixels;
            ++erasures;
        }
        const std::size_t releasedBefore = paced.released.size(), presentedBefore = paced.presentedAfter.size();
        runs.RunFrame();
        ASSERT_STREQ(runs.pacedLabel, runs.everyLabel);
        // A drawn frame is presented at its end.
        if (paced.presentedAfter.size() > presentedBefore) {
            ASSERT_EQ(paced.presentedAfter.size(), presentedBefore + 1);
            ASSERT_EQ(paced.presentedAfter.back(), paced.released.size());
            ASSERT_EQ(paced.pixels, every.pixels) << "frame " << frame;
        }
        if (ms >= 5500 && ms < 8500) {
            releasedOff += paced.released.size() - releasedBefore;
            ++framesOff;
        }
        if (ms >= 9500) {
            releasedOn += paced.released.size() - releasedBefore;
            ++framesOn;
        }
    }
    EXPECT_GT(framesOn, 100u);
    EXPECT_LT(releasedOff * framesOn, releasedOn * framesOff / 4) << "an output switched off still costs drawing";
    EXPECT_EQ(paced.presentedAfter.size(), pace.drawnFrames());
    EXPECT_GT(pace.drawnFrames(), 300u);
}

TEST(DirtyTiles, RunsCoverEverythingAddedStayOnThePictureAndReachNoTileUntouched)
{
    // A picture whose last row and column of tiles are cut short.
    constexpr std::int32_t kWidth = 100, kHeight = 70, kTile = DirtyTiles::kTile;
    DirtyTiles tiles(kWidth, kHeight);
    EXPECT_TRUE(tiles.Empty());
    // A disc's box is one rectangle, however many rows of tiles it touches.
    tiles.Add({20, 10, 60, 58});
    EXPECT_EQ(tiles.Runs().size(), 1u);
    tiles.Clear();
    tiles.Add({-10, -10, -1, 50});  // wholly off the picture
    tiles.Add({40, 40, 40, 60});    // empty
    EXPECT_TRUE(tiles.Empty());

    std::vector<int> added(kWidth * kHeight, 0);
    std::mt19937 random(7);
    const auto between = [&](std::int32_t low, std::int32_t high) { return std::uniform_int_distribution<std::int32_t>(low, high)(random); };
    for (int i = 0; i < 40; ++i) {
        const std::int32_t left = between(-20, 110), top = between(-20, 80);
        const PixelRect r{left, top, left + between(0, 30), top + between(0, 30)};
        tiles.Add(r);
        for (std::int32_t y = std::max(r.top, 0); y < std::min(r.bottom, kHeight); ++y)
            for (std::int32_t x = std::max(r.left, 0); x < std::min(r.right, kWidth); ++x)
                added[static_cast<std::size_t>(y * kWidth + x)] = 1;
    }
    const std::vector<PixelRect> runs = tiles.Runs();
    std::vector<int> covered(kWidth * kHeight, 0);
    for (const PixelRect& r : runs) {
        ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= kWidth && r.bottom <= kHeight && r.left < r.right && r.top < r.bottom);
        EXPECT_EQ(r.left % kTile, 0);
        EXPECT_EQ(r.top % kTile, 0);
        for (std::int32_t y = r.top; y < r.bottom; ++y)
            for (std::int32_t x = r.left; x < r.right; ++x)
                ++covered[static_cast<std::size_t>(y * kWidth + x)];
    }
    for (std::int32_t p = 0; p < kWidth * kHeight; ++p) {
        ASSERT_TRUE(!added[static_cast<std::size_t>(p)] || covered[static_cast<std::size_t>(p)] == 1) << p % kWidth << "," << p / kWidth;
        ASSERT_LE(covered[static_cast<std::size_t>(p)], 1) << "runs overlap";
    }
    // Every tile a run covers holds something added.
    for (const PixelRect& r : runs)
        for (std::int32_t x = r.left; x < r.right; x += kTile) {
            bool any = false;
            for (std::int32_t y = r.top; y < r.bottom; ++y)
                for (std::int32_t dx = 0; dx < kTile && x + dx < r.right; ++dx)
                    any = any || added[static_cast<std::size_t>(y * kWidth + x + dx)];
            EXPECT_TRUE(any) << "a tile at " << x << "," << r.top << " was never touched";
        }
    // Neighbours along a row are one run.
    DirtyTiles row(kWidth, kHeight);
    row.Add({5, 5, 6, 6});
    row.Add({kTile + 1, 5, 3 * kTile - 1, 6});
    ASSERT_EQ(row.Runs().size(), 1u);
    EXPECT_EQ(Corners(row.Runs()[0]), Corners({0, 0, 3 * kTile, kTile}));
    row.Clear();
    EXPECT_TRUE(row.Empty());
    EXPECT_TRUE(row.Runs().empty());
}

}  // namespace
