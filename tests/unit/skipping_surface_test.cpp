#include "sim/skipping_surface.h"

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "port/raster/raster_surface.h"
#include "sim/frame_loop.h"

namespace {

constexpr Colour kBackground = 0x00800000;

// Time that jumps by a random step, up to a longest, at every reading: the same steps for
// every clock made with the same seed. Varied steps make the rate, and so the width of its
// label, change often, and sometimes shrink.
class JumpingClock final : public Clock {
public:
    JumpingClock(unsigned seed, std::uint32_t longest) : steps_(seed), longest_(longest) {}
    std::uint32_t Milliseconds() override
    {
        now_ += std::uniform_int_distribution<std::uint32_t>(0, longest_)(steps_);
        return now_;
    }
    void Pause(std::uint32_t) override {}

private:
    std::mt19937 steps_;
    std::uint32_t longest_;
    std::uint32_t now_ = 0;
};

// One run of the saver on a picture in memory, drawing on it through a surface of its own.
struct SaverRun {
    SaverRun(RasterSurface& picture, Surface& through, std::int32_t count, bool preview, unsigned seed)
        : clock(seed, 10 * seed * seed), random(seed)
    {
        picture.FillAll(kBackground);
        inputs = {preview, count, kBackground, through.MakeBrush(kBackground), rateLabel, sizeof rateLabel,
                  "Varbules credit line"};
        loop = std::make_unique<FrameLoop>(inputs, through, clock, random);
    }
    char rateLabel[64] = "Actions per sec:";
    AnimationInputs inputs{};
    JumpingClock clock;
    MsvcrtRandom random;
    std::unique_ptr<FrameLoop> loop;
};

struct Case {
    std::int32_t width;
    std::int32_t height;
    std::int32_t count;
    bool preview;
};

// The picture after every drawn frame must be the one drawing every frame gives, pixel
// for pixel, however many frames were left undrawn before it: crowded screens where discs
// overlap and cut into each other, discs crossing the overlays while the rate label
// grows and shrinks, a screen of one pixel.
TEST(SkippingSurface, EveryDrawnFrameShowsWhatDrawingEveryFrameShows)
{
    const Case cases[] = {{1024, 768, 64, false}, {320, 200, 32, false}, {97, 61, 64, false},
                          {60, 300, 16, false},   {400, 40, 64, false},  {360, 56, 16, false},
                          {1, 1, 16, false},      {152, 112, 32, true}};
    int shrinkingLabels = 0;
    int drawnFrames = 0;
    for (const Case& c : cases) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " count " << c.count << " seed " << seed);
            RasterSurface every(c.width, c.height);
            RasterSurface some(c.width, c.height);
            SkippingSurface skipping(some, kBackground);
            SaverRun all(every, every, c.count, c.preview, seed);
            SaverRun skipped(some, skipping, c.count, c.preview, seed);
            ASSERT_EQ(every.pixels(), some.pixels()) << "after the scatter";

            std::mt19937 paints(seed);
            std::size_t labelLength = std::strlen(all.rateLabel);
            for (int frame = 1; frame <= 1500; ++frame) {
                // Paints a few frames apart, now and then many.
                const bool drawn = std::uniform_int_distribution<int>(0, 3)(paints) == 0;
                skipping.SetDrawing(drawn);
                all.loop->RunFrame();
                skipped.loop->RunFrame();
                shrinkingLabels += std::strlen(all.rateLabel) < labelLength;
                labelLength = std::strlen(all.rateLabel);
                if (drawn) {
                    ++drawnFrames;
                    ASSERT_EQ(every.pixels(), some.pixels()) << "frame " << frame;
                }
            }
        }
    }
    EXPECT_GT(shrinkingLabels, 0) << "no run had its rate label shrink";
    EXPECT_GT(drawnFrames, 3000);
}

// A frame as the loop draws it, with a disc and a label of the test's choosing: the disc
// erased, moved and drawn, then the label.
void DrawFrame(Surface& surface, Surface::Brush eraser, Surface::Brush paint, Surface::Region disc, std::int32_t dx,
               const std::string& label)
{
    surface.FillRegion(disc, eraser);
    surface.MoveRegion(disc, dx, 0);
    surface.FillRegion(disc, paint);
    surface.DrawTextLine(5, 1, label.c_str(), static_cast<std::int32_t>(label.size()));
}

// When the label shrinks, the end of its old cell stays on the screen until a disc erases
// it. Undrawn frames must therefore keep the erasures that reach text, and mend a label
// they spoiled before it shrinks, as drawing every frame would. A disc runs along the
// label at many speeds and starts while the label shrinks at one frame or another; only
// every fourth frame is drawn.
TEST(SkippingSurface, TheEndOfAShrunkLabelIsErasedAndMendedAsWhenEveryFrameIsDrawn)
{
    const std::string longLabel = "Rate 1000.00";
    const std::string shortLabel = "Rate 999.99";
    for (std::int32_t shrinkAt = 1; shrinkAt <= 8; ++shrinkAt) {
        for (std::int32_t dx = 3; dx <= 9; ++dx) {
            for (std::int32_t start = 60; start <= 200; start += 5) {
                SCOPED_TRACE(testing::Message() << "shrink at " << shrinkAt << ", dx " << dx << ", start " << start);
                RasterSurface every(240, 24);
                RasterSurface some(240, 24);
                SkippingSurface skipping(some, kBackground);
                Surface* const surfaces[] = {&every, &skipping};
                Surface::Brush erasers[2], paints[2];
                Surface::Region discs[2];
                for (int i = 0; i < 2; ++i) {
                    surfaces[i]->SetTextStyle(kBackground, 0x00FFFFFF, 5);
                    erasers[i] = surfaces[i]->MakeBrush(kBackground);
                    paints[i] = surfaces[i]->MakeBrush(0x000000FF);
                    discs[i] = surfaces[i]->MakeDiscRegion({start, 2, start + 14, 16});
                }
                every.FillAll(kBackground);
                some.FillAll(kBackground);
                for (std::int32_t frame = 1; frame <= 24; ++frame) {
                    const std::string& label = frame < shrinkAt ? longLabel : shortLabel;
                    const bool drawn = frame % 4 == 0;
                    skipping.SetDrawing(drawn);
                    for (int i = 0; i < 2; ++i)
                        DrawFrame(*surfaces[i], erasers[i], paints[i], discs[i], -dx, label);
                    if (drawn) {
                        ASSERT_EQ(every.pixels(), some.pixels()) << "frame " << frame;
                    }
                }
            }
        }
    }
}

}  // namespace

// Text that did not change and that nothing reached since it was drawn is not drawn
// again, in drawn frames as in the others; whatever an erasure of the whole picture by
// the window's owner covered is drawn again at once.
TEST(SkippingSurface, UnchangedTextIsDrawnOnlyAfterSomethingCoveredIt)
{
    class CountingText final : public Surface {
    public:
        explicit CountingText(RasterSurface& target) : target_(target) {}
        int lines = 0;
        PixelSize ClientSize() override { return target_.ClientSize(); }
        Brush MakeBrush(Colour colour) override { return target_.MakeBrush(colour); }
        Region MakeDiscRegion(const PixelRect& bounds) override { return target_.MakeDiscRegion(bounds); }
        void FillRegion(Region region, Brush brush) override { target_.FillRegion(region, brush); }
        void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override { target_.MoveRegion(region, dx, dy); }
        PixelSize MeasureText(const char* text, std::int32_t length) override { return target_.MeasureText(text, length); }
        void SetTextStyle(Colour background, Colour text, std::int32_t extra) override { target_.SetTextStyle(background, text, extra); }
        void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override
        {
            ++lines;
            target_.DrawTextLine(x, y, text, length);
        }

    private:
        RasterSurface& target_;
    };
    RasterSurface every(640, 480), some(640, 480);
    CountingText counting(some);
    SkippingSurface skipping(counting, kBackground);
    SaverRun all(every, every, 16, false, 2);
    SaverRun skipped(some, skipping, 16, false, 2);
    for (int frame = 1; frame <= 400; ++frame) {
        if (frame % 100 == 0) {
            every.FillAll(kBackground);
            some.FillAll(kBackground);
            skipping.TextErased();
        }
        all.loop->RunFrame();
        skipped.loop->RunFrame();
        ASSERT_EQ(every.pixels(), some.pixels()) << "frame " << frame;
    }
    // The loop draws two lines a frame and more; discs cross them now and then.
    EXPECT_LT(counting.lines, 400) << "text drawn again though nothing changed";
}
