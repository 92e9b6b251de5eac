// The cost of the simulation alone: one frame on a surface that draws nothing, and the
// collision scan by itself. Run: build/native/bench/frame_benchmark

#include <cmath>

#include <benchmark/benchmark.h>

#include "sim/collision_scan.h"
#include "sim/frame_loop.h"

namespace {

class NullSurface final : public Surface {
public:
    PixelSize ClientSize() override { return {1920, 1080}; }
    Brush MakeBrush(Colour) override { return 1; }
    Region MakeDiscRegion(const PixelRect&) override { return 1; }
    void FillRegion(Region, Brush) override {}
    void MoveRegion(Region, std::int32_t, std::int32_t) override {}
    PixelSize MeasureText(const char*, std::int32_t length) override { return {8 * length, 16}; }
    void SetTextStyle(Colour, Colour, std::int32_t) override {}
    void DrawTextLine(std::int32_t, std::int32_t, const char*, std::int32_t) override {}
};

class NullClock final : public Clock {
public:
    std::uint32_t Milliseconds() override { return 0; }
    void Pause(std::uint32_t) override {}
};

struct Animation {
    char rateLabel[255] = "Actions per sec:";
    AnimationInputs inputs;
    NullSurface surface;
    NullClock clock;
    StdRandom random{[](std::time_t*) -> std::time_t { return 42; }};
    FrameLoop loop;

    explicit Animation(std::int32_t count)
        : inputs{false, count, 0x800000, 1, rateLabel, sizeof rateLabel, "Varbules"},
          loop(inputs, surface, clock, random)
    {
        // Let the discs spread out over the screen first, as they do in a real run.
        for (int i = 0; i < 500; ++i)
            loop.RunFrame();
    }
};

void BM_Frame(benchmark::State& state)
{
    Animation animation(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        animation.loop.RunFrame();
        benchmark::DoNotOptimize(animation.loop.table());
    }
    state.SetLabel(std::to_string(state.range(0)) + " varbules");
}
BENCHMARK(BM_Frame)->Arg(16)->Arg(32)->Arg(64);

void BM_CollisionScan(benchmark::State& state)
{
    Animation animation(64);
    std::int32_t index = 0;
    for (auto _ : state) {
        animation.loop.table()[index].collided = 0;
        benchmark::DoNotOptimize(CollisionScan(animation.loop.table(), 64, index));
        index = (index + 1) & 63;
    }
    state.SetLabel("one scan of 64");
}
BENCHMARK(BM_CollisionScan);

void BM_CollisionScansOfAFrameWithLayout(benchmark::State& state)
{
    Animation animation(64);
    ScanLayout layout;
    LayOut(animation.loop.table(), 64, layout);
    for (auto _ : state) {
        for (std::int32_t k = 0; k < 64; ++k) {
            animation.loop.table()[k].collided = 0;
            benchmark::DoNotOptimize(CollisionScan(animation.loop.table(), 64, k, layout));
        }
    }
    state.SetLabel("64 scans, the frame loop's way");
}
BENCHMARK(BM_CollisionScansOfAFrameWithLayout);

void BM_CollisionScansOfAFrame(benchmark::State& state)
{
    Animation animation(64);
    for (auto _ : state) {
        for (std::int32_t k = 0; k < 64; ++k) {
            animation.loop.table()[k].collided = 0;
            benchmark::DoNotOptimize(CollisionScan(animation.loop.table(), 64, k));
        }
    }
    state.SetLabel("64 scans, no movement");
}
BENCHMARK(BM_CollisionScansOfAFrame);

// For scale: the bare pair test alone, positions in plain float arrays, no exchanges.
// What the machine does here says how fast the scans above can hope to be.
void BM_BarePairTest(benchmark::State& state)
{
    Animation animation(64);
    float xs[64], ys[64];
    for (int i = 0; i < 64; ++i) {
        xs[i] = static_cast<float>(animation.loop.table()[i].x);
        ys[i] = static_cast<float>(animation.loop.table()[i].y);
    }
    for (auto _ : state) {
        int contacts = 0;
        for (int s = 0; s < 64; ++s) {
            for (int p = 0; p < 64; ++p) {
                const float dx = xs[s] - xs[p];
                const float dy = ys[s] - ys[p];
                contacts += (40.0f >= std::sqrt(dx * dx + dy * dy)) & (s != p);
            }
        }
        benchmark::DoNotOptimize(contacts);
    }
    state.SetLabel("64 x 64 distances, for scale");
}
BENCHMARK(BM_BarePairTest);

}  // namespace

BENCHMARK_MAIN();
