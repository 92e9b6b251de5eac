#include "sim/frame_loop.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim_fakes.h"
#include "x87_precision.h"

namespace {

using Op = RecordingSurface::Op;

constexpr Colour kBackground = 0x00800000;
constexpr Surface::Brush kBackgroundBrush = 77;
const char kCredit[] = "Varbules credit";

// The shared state as the window procedure leaves it before starting the thread.
struct Shared {
    char rateLabel[255] = "Actions per sec:";
    AnimationInputs inputs{false, 32, kBackground, kBackgroundBrush, rateLabel, sizeof rateLabel, kCredit};
};

VarbuleRecord& Only(FrameLoop& loop)
{
    return loop.table()[0];
}

// Puts a single varbule where a test wants it, at rest.
void Place(VarbuleRecord& v, std::int32_t x, std::int32_t y, std::int32_t diameter)
{
    v.x = x;
    v.y = y;
    v.dx = 0;
    v.dy = 0;
    v.diameter = diameter;
}

TEST(FrameLoopStart, MeasuresTheCreditBeforeStylingThenSeedsAndScattersOnce)
{
    Shared shared;
    RecordingSurface surface;
    FakeClock clock;
    SequenceRandom random({1, 2, 3});
    FrameLoop loop(shared.inputs, surface, clock, random);

    ASSERT_GE(surface.calls.size(), 2u);
    EXPECT_EQ(surface.calls[0].op, Op::MeasureText);
    EXPECT_EQ(surface.calls[0].text, kCredit);
    EXPECT_EQ(surface.calls[1].op, Op::SetTextStyle);
    EXPECT_EQ(surface.calls[1].a, kBackground);
    EXPECT_EQ(surface.calls[1].b, 0x00FFFFFF);
    EXPECT_EQ(surface.calls[1].c, 5);
    EXPECT_EQ(random.seeds, 1);
    EXPECT_EQ(random.draws, 7u * 32u);
    EXPECT_EQ(loop.length(), 32);
    EXPECT_EQ(Only(loop).diameter, (768 >> 7) * 7);
    EXPECT_TRUE(surface.TextDraws().empty()) << "nothing is drawn before the first frame";
}

TEST(FrameLoopStart, PreviewHasTwoSmallDiscsWhateverTheCount)
{
    Shared shared;
    shared.inputs.previewMode = true;
    shared.inputs.varbuleCount = 64;
    RecordingSurface surface;
    surface.clientSize = {152, 112};
    FakeClock clock;
    SequenceRandom random({0x1F8});
    FrameLoop loop(shared.inputs, surface, clock, random);
    EXPECT_EQ(loop.length(), 2);
    EXPECT_EQ(loop.table()[0].diameter, 8);
    EXPECT_EQ(loop.table()[1].diameter, 8);

    loop.RunFrame();
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{300}));
}

TEST(FrameLoop, EachVarbuleIsErasedMovedAndDrawnBeforeTheNextThenBothOverlays)
{
    Shared shared;
    shared.inputs.varbuleCount = 2;
    RecordingSurface surface;
    FakeClock clock;
    SequenceRandom random({0x100, 0x100, 0, 0, 0, 3, 4, 0x180, 0x180, 0, 0, 0, 5, 6});
    FrameLoop loop(shared.inputs, surface, clock, random);
    surface.calls.clear();

    loop.RunFrame();
    const std::string labelText = "Actions per sec:";
    const std::vector<RecordingSurface::Call> expected{
        {Op::FillRegion, 1, kBackgroundBrush},
        {Op::MoveRegion, 1, 4, 4},
        {Op::FillRegion, 1, 1001},
        {Op::FillRegion, 2, kBackgroundBrush},
        {Op::MoveRegion, 2, 2, 2},
        {Op::FillRegion, 2, 1002},
        {Op::DrawTextLine, 0, 1024 - 15 * 8 - 5 * 15, 768 - 16 - 1, kCredit},
        {Op::DrawTextLine, 0, 5, 1, labelText},
    };
    ASSERT_EQ(surface.calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(surface.calls[i].op, expected[i].op) << i;
        EXPECT_EQ(surface.calls[i].a, expected[i].a) << i;
        EXPECT_EQ(surface.calls[i].b, expected[i].b) << i;
        EXPECT_EQ(surface.calls[i].c, expected[i].c) << i;
        EXPECT_EQ(surface.calls[i].text, expected[i].text) << i;
    }
    EXPECT_EQ(loop.table()[0].x, 0x100 + 4);
    EXPECT_EQ(loop.table()[0].y, 0x100 + 4);
    EXPECT_EQ(surface.regions[0].left, loop.table()[0].x - loop.table()[0].diameter / 2);
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{5}));
}

TEST(Walls, ADiscReachingPastTheLeftEdgeComesBackAtTheSpeedOfItsOvershoot)
{
    VarbuleRecord v{};
    Place(v, 18, 100, 30);  // radius 15
    v.dx = -7;
    EXPECT_EQ(BounceOffWalls(v, 640, 480), 0);
    v.x += v.dx;
    EXPECT_EQ(v.x, 11);
    EXPECT_EQ(BounceOffWalls(v, 640, 480), 1);
    EXPECT_EQ(v.dx, 4);
    v.x += v.dx;
    EXPECT_EQ(v.x, 15);  // its edge exactly on the left edge
    EXPECT_EQ(BounceOffWalls(v, 640, 480), 0) << "touching an edge is no bounce";
    EXPECT_EQ(v.dx, 4);
}

TEST(Walls, RightAndBottomPointBackInsideAndCornersCountTwice)
{
    VarbuleRecord v{};
    Place(v, 630, 470, 30);
    v.dx = 9;
    v.dy = 3;
    EXPECT_EQ(BounceOffWalls(v, 640, 480), 2);
    EXPECT_EQ(v.dx, 640 - 645);
    EXPECT_EQ(v.dy, 480 - 485);

    // Wholly outside a small preview: the overshoot becomes a large speed back.
    Place(v, 504, 300, 8);
    EXPECT_EQ(BounceOffWalls(v, 152, 112), 2);
    EXPECT_EQ(v.dx, 152 - 508);
    EXPECT_EQ(v.dy, 112 - 304);
    v.x += v.dx;
    EXPECT_EQ(v.x + 4, 152);
}

TEST(Walls, ADiscWiderThanTheClientAreaKeepsTheRightTestsValue)
{
    VarbuleRecord v{};
    Place(v, 50, 50, 200);
    EXPECT_EQ(BounceOffWalls(v, 100, 300), 3);  // left, top and right
    EXPECT_EQ(v.dx, 100 - 150);
    EXPECT_EQ(v.dy, 50);
}

// A disc larger than a 100 by 100 client area, resting at its centre, bounces off all four
// walls in the first frame and off two in every frame after: 2F + 2 actions in F frames.
struct BouncingRun {
    Shared shared;
    RecordingSurface surface;
    FakeClock clock;
    SequenceRandom random{{0}};
    std::unique_ptr<FrameLoop> loop;

    BouncingRun()
    {
        shared.inputs.varbuleCount = 1;
        surface.clientSize = {100, 100};
        loop = std::make_unique<FrameLoop>(shared.inputs, surface, clock, random);
        Place(Only(*loop), 50, 50, 200);
    }

    // Runs one frame and returns the rate labels it drew.
    std::vector<std::string> Frame()
    {
        surface.calls.clear();
        loop->RunFrame();
        std::vector<std::string> labels;
        for (const auto& call : surface.TextDraws())
            if (call.b == kRateLabelX && call.c == kRateLabelY)
                labels.push_back(call.text);
        return labels;
    }
};

TEST(RateOverlay, ShowsTheLabelAloneUntilMoreThanASecondHasPassed)
{
    BouncingRun run;
    for (int frame = 1; frame < 124; ++frame)
        EXPECT_EQ(run.Frame(), (std::vector<std::string>{"Actions per sec:"}));
    run.clock.now = 1000;
    EXPECT_EQ(run.Frame(), (std::vector<std::string>{"Actions per sec:"})) << "exactly 1000 ms is not enough";
    EXPECT_EQ(run.loop->actionCount(), 2 * 124 + 2);

    run.clock.now = 1001;
    const std::vector<std::string> labels = run.Frame();  // frame 125: 252 actions in 1001 ms
    EXPECT_EQ(labels, (std::vector<std::string>{"Actions per sec:251.75", "Actions per sec:251.75"}))
        << "the update draws the label, and the frame's overlays draw it again";
    EXPECT_EQ(run.loop->actionCount(), 0);
    EXPECT_STREQ(run.shared.rateLabel, "Actions per sec:251.75");
}

TEST(RateOverlay, MeasuresFromTheSecondReadingAndRestartsFromTheThird)
{
    BouncingRun run;
    run.clock.advancePerReading = 1;  // every reading is a millisecond later than the last
    for (int frame = 1; frame < 125; ++frame)
        run.loop->RunFrame();
    // Readings in frame 125 on: 1125 decides, 1126 ends the interval, 1127 starts the next.
    run.clock.now = 1125;
    run.Frame();
    EXPECT_STREQ(run.shared.rateLabel, "Actions per sec:223.80");  // 252 actions in 1126 ms

    run.clock.now = 2127;  // 2127 - 1127 = 1000: no update
    run.Frame();
    EXPECT_EQ(run.loop->actionCount(), 2);
    run.clock.now = 2128;  // 1001 since the third reading
    run.Frame();
    EXPECT_EQ(run.loop->actionCount(), 0);
    EXPECT_STREQ(run.shared.rateLabel, "Actions per sec:003.99");  // 4 actions in 1002 ms
}

TEST(RateOverlay, ANewNumberReplacesTheOldOneWholeAndKeepsTheLoadedText)
{
    BouncingRun run;
    std::strcpy(run.shared.rateLabel + 16, "1234567.89");  // as if a long rate stood there
    Place(Only(*run.loop), 50, 50, 2);                   // at rest: no actions
    run.clock.now = 5000;
    run.Frame();
    EXPECT_STREQ(run.shared.rateLabel, "Actions per sec:000.00");
}

TEST(RateText, FormatsAtLeastSixCharactersWithTwoDecimals)
{
    char text[kRateTextSize];
    FormatRate(0, 1001, text);
    EXPECT_STREQ(text, "000.00");
    FormatRate(250, 1001, text);
    EXPECT_STREQ(text, "249.75");
    FormatRate(12, 1001, text);
    EXPECT_STREQ(text, "011.99");
    FormatRate(1234, 1001, text);
    EXPECT_STREQ(text, "1232.77");
    FormatRate(INT_MAX, 1001, text);
    EXPECT_LE(std::strlen(text), 13u);
    EXPECT_EQ(text[std::strlen(text) - 3], '.');
}

// A clock whose pause asks the loop to stop after a given number of frames, the way the
// window procedure may set the flag while the thread sleeps.
class StoppingClock final : public Clock {
public:
    StoppingClock(std::atomic<std::int32_t>& stop, int frames) : stop_(stop), frames_(frames) {}
    int pauses = 0;
    std::uint32_t Milliseconds() override { return 0; }
    void Pause(std::uint32_t) override
    {
        if (++pauses == frames_)
            stop_.store(1);
    }

private:
    std::atomic<std::int32_t>& stop_;
    int frames_;
};

TEST(RunAnimation, FinishesTheFrameInProgressAndEndsBeforeTheNext)
{
    Shared shared;
    RecordingSurface surface;
    SequenceRandom random({0});
    std::atomic<std::int32_t> stop{0};
    StoppingClock clock(stop, 3);
    RunAnimation(shared.inputs, surface, clock, random, stop);
    EXPECT_EQ(clock.pauses, 3);
    EXPECT_EQ(surface.TextDraws().size(), 6u);
}

TEST(RunAnimation, AStopBeforeTheFirstFrameRunsNone)
{
    Shared shared;
    RecordingSurface surface;
    SequenceRandom random({0});
    std::atomic<std::int32_t> stop{1};
    StoppingClock clock(stop, 1);
    RunAnimation(shared.inputs, surface, clock, random, stop);
    EXPECT_EQ(clock.pauses, 0);
    EXPECT_TRUE(surface.TextDraws().empty());
}

// Every build, Linux or Windows, 32 or 64 bits, must move the discs identically, whatever
// precision the x87 unit was left at. The generator is the Win32 runtime's, written out,
// so the start is the same everywhere; the checksum over 2,000 frames of 64 discs was
// taken from a native build.
TEST(Determinism, TwoThousandFramesGiveTheSameBitsOnEveryBuild)
{
    for (const int bits : kX87Precisions) {
        const X87Precision precision(bits);
        Shared shared;
        shared.inputs.varbuleCount = 64;
        RecordingSurface surface;
        FakeClock clock;
        MsvcrtRandom random(20261208);
        FrameLoop loop(shared.inputs, surface, clock, random);
        std::uint64_t hash = 1469598103934665603ull;
        for (int frame = 0; frame < 2000; ++frame) {
            loop.RunFrame();
            surface.calls.clear();
            for (std::int32_t k = 0; k < loop.length(); ++k) {
                const VarbuleRecord& v = loop.table()[k];
                for (const std::int32_t value : {v.x, v.y, v.dx, v.dy, v.collided})
                    hash = (hash ^ static_cast<std::uint32_t>(value)) * 1099511628211ull;
            }
        }
        EXPECT_GT(loop.actionCount(), 2000) << "the run must really collide and bounce";
        EXPECT_EQ(hash, 0xea6ef2faac35187bull) << bits << "-bit x87";
    }
}

// The rate is the same float on every build and under every x87 precision: the quotient
// rounded to float, then 1000 times it rounded to float. The checksum of its bits over
// a sweep of counts and intervals was taken from a native build. The text, from each C
// runtime's own printf, must not change with the precision either.
TEST(Determinism, TheRateIsTheSameFloatOnEveryBuild)
{
    std::vector<std::string> texts[std::size(kX87Precisions)];
    for (std::size_t i = 0; i < std::size(kX87Precisions); ++i) {
        const X87Precision precision(kX87Precisions[i]);
        std::uint64_t hash = 1469598103934665603ull;
        for (std::int32_t count = 0; count < 70000; count += 7) {
            for (std::uint32_t interval = 1001; interval < 3000; interval += 97) {
                const float rate = RateValue(count, interval);
                std::uint32_t bits;
                std::memcpy(&bits, &rate, sizeof bits);
                hash = (hash ^ bits) * 1099511628211ull;
                char text[kRateTextSize];
                FormatRate(count, interval, text);
                texts[i].push_back(text);
            }
        }
        EXPECT_EQ(hash, 0xc5861f95190e1effull) << kX87Precisions[i] << "-bit x87";
    }
    for (std::size_t i = 1; i < std::size(kX87Precisions); ++i) {
        const auto [differs, _] = std::mismatch(texts[0].begin(), texts[0].end(), texts[i].begin());
        EXPECT_TRUE(differs == texts[0].end())
            << *differs << " at 24 bits, " << texts[i][static_cast<std::size_t>(differs - texts[0].begin())] << " at "
            << kX87Precisions[i];
    }
}

}  // namespace
