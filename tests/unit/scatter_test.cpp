#include "sim/scatter.h"

#include <vector>

#include <gtest/gtest.h>

#include "sim_fakes.h"

namespace {

TEST(TableLength, PreviewHasTwoAndFullScreenTakesTheStoredCountWhenSensible)
{
    EXPECT_EQ(TableLength(true, 64), 2);
    EXPECT_EQ(TableLength(true, 0), 2);
    EXPECT_EQ(TableLength(false, 16), 16);
    EXPECT_EQ(TableLength(false, 32), 32);
    EXPECT_EQ(TableLength(false, 1), 1);
    EXPECT_EQ(TableLength(false, 64), 64);
    // A hand-edited file may hold anything from 0 to 255.
    EXPECT_EQ(TableLength(false, 0), 64);
    EXPECT_EQ(TableLength(false, 65), 64);
    EXPECT_EQ(TableLength(false, 200), 64);
    EXPECT_EQ(TableLength(false, -1), 64);
}

TEST(SizeFactor, ShrinksWithTheSquareRootOfTheLength)
{
    EXPECT_EQ(SizeFactor(2), 11);
    EXPECT_EQ(SizeFactor(16), 9);
    EXPECT_EQ(SizeFactor(32), 7);
    EXPECT_EQ(SizeFactor(64), 5);
    EXPECT_EQ(SizeFactor(1), 12);
    EXPECT_EQ(SizeFactor(9), 10);  // exactly 10.0, no rounding down to 9
}

TEST(FullDiameter, CutsTheHeightToMultiplesOf128)
{
    EXPECT_EQ(FullDiameter(480, 5), 15);
    EXPECT_EQ(FullDiameter(600, 5), 20);
    EXPECT_EQ(FullDiameter(768, 5), 30);
    EXPECT_EQ(FullDiameter(1024, 5), 40);
    EXPECT_EQ(FullDiameter(127, 5), 0);
    EXPECT_EQ(FullDiameter(1080, 9), 72);
}

TEST(Scatter, TakesSevenDrawsPerVarbuleInTheOrderXYRedGreenBlueDxDy)
{
    // Each draw is distinct in the bits that are used, so a field taken from the wrong
    // draw shows up at once.
    const std::vector<int> draws{
        0x0A8, 0x150, 0x030, 0x0C5, 0x001, 0x005, 0x002,  // varbule 0
        0x1FF, 0x007, 0x0F0, 0x000, 0x1E0, 0x000, 0x007,  // varbule 1
    };
    SequenceRandom random(draws);
    RecordingSurface surface;
    VarbuleRecord table[2] = {};
    table[0].collided = 1;
    ScatterVarbules(table, 2, 30, surface, random);

    EXPECT_EQ(random.draws, 14u);
    EXPECT_EQ(table[0].x, 0xA8);
    EXPECT_EQ(table[0].y, 0x150);
    EXPECT_EQ(surface.brushes[0], 0x00FF3FCFu);  // red 255 - 0x30, green 255 - 0xC0, blue 255
    EXPECT_EQ(table[0].dx, 2);
    EXPECT_EQ(table[0].dy, 6);
    EXPECT_EQ(table[0].collided, 0);

    EXPECT_EQ(table[1].x, 0x1F8);  // the low three bits are dropped
    EXPECT_EQ(table[1].y, 0);
    EXPECT_EQ(surface.brushes[1], (255u - 0xF0u) | (255u << 8) | ((255u - 0xE0u) << 16));
    EXPECT_EQ(table[1].dx, 7);
    EXPECT_EQ(table[1].dy, 1);
}

TEST(Scatter, MakesEachRegionFromTheSquareAroundTheStartAndKeepsHandles)
{
    SequenceRandom random({0x100, 0x008, 0, 0, 0, 0, 0});
    RecordingSurface surface;
    VarbuleRecord table[1] = {};
    ScatterVarbules(table, 1, 15, surface, random);  // an odd diameter: radius 7

    const PixelRect expected{0x100 - 7, 8 - 7, 0x100 + 7, 8 + 7};
    EXPECT_EQ(table[0].diameter, 15);
    EXPECT_EQ(table[0].bounds.left, expected.left);
    EXPECT_EQ(table[0].bounds.top, expected.top);
    EXPECT_EQ(table[0].bounds.right, expected.right);
    EXPECT_EQ(table[0].bounds.bottom, expected.bottom);
    ASSERT_EQ(surface.regions.size(), 1u);
    EXPECT_EQ(surface.regions[0].left, expected.left);
    EXPECT_EQ(table[0].region, 1u);
    EXPECT_EQ(table[0].brush, 1001u);
    EXPECT_EQ(surface.brushes[0], 0x00FFFFFFu);  // channels of 0 draw give 255
}

TEST(Scatter, ValuesStayInTheirRangesForEveryDraw)
{
    // A spread of 9-bit draws over a full table.
    std::vector<int> draws;
    for (int i = 0; i < 7 * 64; ++i)
        draws.push_back((i * 37) & 0x1FF);
    SequenceRandom random(draws);
    RecordingSurface surface;
    VarbuleRecord table[64] = {};
    ScatterVarbules(table, 64, 8, surface, random);
    for (const VarbuleRecord& v : table) {
        EXPECT_EQ(v.x % 8, 0);
        EXPECT_LE(v.x, 504);
        EXPECT_GE(v.dx, 0);
        EXPECT_LE(v.dx, 7);
        EXPECT_GE(v.dy, 1);
        EXPECT_LE(v.dy, 8);
    }
    for (const Colour c : surface.brushes) {
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_EQ((c >> shift) & 0x0F, 0x0Fu);
        EXPECT_EQ(c >> 24, 0u);
    }
}

TEST(StdRandom, SeedsFromTheGivenClockSoSameSecondsScatterAlike)
{
    static std::time_t fixed = 1700000000;
    StdRandom a([](std::time_t*) { return fixed; });
    a.Seed();
    const int first = a.Next();
    const int second = a.Next();
    StdRandom b([](std::time_t*) { return fixed; });
    b.Seed();
    EXPECT_EQ(b.Next(), first);
    EXPECT_EQ(b.Next(), second);
}

}  // namespace
