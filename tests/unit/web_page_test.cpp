#include <initializer_list>

#include <gtest/gtest.h>

#include "port/web/frame_pacer.h"
#include "port/web/page_options.h"

namespace {

TEST(PageOptions, ReadsWhatItKnowsAndPassesOverTheRest)
{
    PageOptions o = ParsePageOptions("?count=16&preview&bench");
    EXPECT_EQ(o.count, 16);
    EXPECT_TRUE(o.preview);
    EXPECT_TRUE(o.bench);
    EXPECT_FALSE(o.selfTest);

    o = ParsePageOptions("?selftest&seed=4294967295&frames=2000&size=640x480&count=64");
    EXPECT_TRUE(o.selfTest);
    EXPECT_TRUE(o.seedGiven);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.frames, 2000);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 480);
    EXPECT_EQ(o.count, 64);

    // Malformed, unknown, out of range or empty: the defaults stand, and nothing stops.
    for (const char* query : std::initializer_list<const char*>{"", "?", "?&&", "?count=17", "?count=-16", "?count=16x", "?count", "?preview=1",
                              "?seed=4294967296", "?seed=", "?frames=1e3", "?size=640", "?size=x480",
                              "?size=99999x480", "?size=640x480x2", "?%00count=16", "?cou%6Et=16", nullptr}) {
        o = ParsePageOptions(query);
        EXPECT_EQ(o.count, 32) << (query ? query : "(none)");
        EXPECT_FALSE(o.preview) << (query ? query : "(none)");
        EXPECT_FALSE(o.bench) << (query ? query : "(none)");
        EXPECT_FALSE(o.seedGiven) << (query ? query : "(none)");
        EXPECT_EQ(o.width, 1024) << (query ? query : "(none)");
        EXPECT_EQ(o.frames, 100) << (query ? query : "(none)");
    }
    o = ParsePageOptions("?size=0x1&count=32&junk=&count=64");
    EXPECT_EQ(o.width, 0) << "a window of no pixels is the page's to handle";
    EXPECT_EQ(o.height, 1);
    EXPECT_EQ(o.count, 64) << "the last word counts";
}

TEST(FramePacer, RunsTheWindowsPaceAndNeverPilesUp)
{
    FramePacer pacer(5, 16);
    EXPECT_EQ(pacer.FramesAt(1000), 1) << "the first paint shows a frame at once";
    // 60 paints a second: three or four frames each, 200 a second in all.
    int frames = 0;
    for (int paint = 1; paint <= 60; ++paint)
        frames += pacer.FramesAt(1000 + paint * 1000.0 / 60);
    EXPECT_NEAR(frames, 200, 1);
    // A tab in the background for a minute: one paint's bound, and the time is dropped.
    EXPECT_EQ(pacer.FramesAt(62000), 16);
    EXPECT_EQ(pacer.FramesAt(62004), 0);
    EXPECT_EQ(pacer.FramesAt(62005), 1);
    // A clock that goes back (a new page clock) runs nothing, rather than a negative count.
    EXPECT_EQ(pacer.FramesAt(100), 0);

    FramePacer preview(300, 16);
    preview.FramesAt(0);
    frames = 0;
    for (int paint = 1; paint <= 180; ++paint)
        frames += preview.FramesAt(paint * 1000.0 / 60);
    EXPECT_NEAR(frames, 10, 1) << "a preview's three frames a second";
}

}  // namespace
