#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include "port/wayland/buffer_book.h"
#include "port/wayland/input_rules.h"
#include "port/wayland/output_choice.h"

namespace {

TEST(WaylandInput, PressesOfTheThreeButtonsAndOfKeysAreInputReleasesAreNot)
{
    EXPECT_EQ(ButtonMessage(BTN_LEFT, true), WM_LBUTTONDOWN);
    EXPECT_EQ(ButtonMessage(BTN_RIGHT, true), WM_RBUTTONDOWN);
    EXPECT_EQ(ButtonMessage(BTN_MIDDLE, true), WM_MBUTTONDOWN);
    for (const std::uint32_t button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
        EXPECT_EQ(ButtonMessage(button, false), 0u) << button;
    // The side buttons have messages of their own on Windows, which the saver ignores.
    EXPECT_EQ(ButtonMessage(BTN_SIDE, true), 0u);
    EXPECT_EQ(ButtonMessage(BTN_EXTRA, true), 0u);
    EXPECT_EQ(KeyMessage(true), WM_KEYDOWN);
    EXPECT_EQ(KeyMessage(false), 0u);
}

TEST(WaylandInput, ThePointerIsMeasuredFromWhereItWasFirstSeen)
{
    PointerTracker pointer;
    const POINT unseen = pointer.Position();
    EXPECT_EQ(unseen.x, 0);
    EXPECT_EQ(unseen.y, 0);
    // Where the host read the cursor before anything was known is where it is first seen,
    // wherever that is in the layout: a surface appearing under it is no move.
    pointer.Seen(1900, 340);
    EXPECT_EQ(pointer.Position().x, unseen.x);
    EXPECT_EQ(pointer.Position().y, unseen.y);
    pointer.Seen(1900, 340);
    EXPECT_EQ(pointer.Position().x, 0);
    pointer.Seen(1901, 340);
    EXPECT_EQ(pointer.Position().x, 1) << "one pixel is a move";
    pointer.Seen(1899, 338);
    EXPECT_EQ(pointer.Position().x, -1);
    EXPECT_EQ(pointer.Position().y, -2);
    pointer.Seen(1900, 340);
    EXPECT_EQ(pointer.Position().x, 0) << "back where it stood";
    EXPECT_EQ(pointer.Position().y, 0);
}

TEST(WaylandOutputs, TheNamedOutputOrTheFirstShowsTheAnimationAndComesFirst)
{
    const std::vector<OutputPlace> outputs = {
        {"DP-1", {0, 0, 2560, 1440}}, {"HDMI-A-1", {2560, 0, 1920, 1080}}, {"eDP-1", {-1920, 200, 1920, 1200}}};
    EXPECT_EQ(AnimatedOutput(outputs, ""), 0u);
    EXPECT_EQ(AnimatedOutput(outputs, "eDP-1"), 2u);
    EXPECT_EQ(AnimatedOutput(outputs, "HDMI-A"), outputs.size()) << "names match whole";
    EXPECT_EQ(AnimatedOutput({}, ""), 0u) << "none, when there are none";

    const std::vector<ScreenRect> monitors = MonitorsWithFirst(outputs, 2);
    ASSERT_EQ(monitors.size(), 3u);
    EXPECT_EQ(monitors[0], outputs[2].rect);
    EXPECT_EQ(monitors[1], outputs[0].rect);
    EXPECT_EQ(monitors[2], outputs[1].rect);
    // With none animated, the outputs are listed as they were announced.
    EXPECT_EQ(MonitorsWithFirst(outputs, outputs.size()).size(), 3u);
    EXPECT_EQ(MonitorsWithFirst(outputs, outputs.size())[0], outputs[0].rect);
}

bool Covers(const std::vector<PixelRect>& rects, const PixelRect& r)
{
    for (std::int32_t y = r.top; y < r.bottom; ++y)
        for (std::int32_t x = r.left; x < r.right; ++x) {
            bool inside = false;
            for (const PixelRect& c : rects)
                inside = inside || (x >= c.left && x < c.right && y >= c.top && y < c.bottom);
            if (!inside)
                return false;
        }
    return true;
}

TEST(WaylandBuffers, AHeldBufferIsNeverHandedOutAndAFreeOneLacksNothingOnceCaughtUp)
{
    BufferBook book(3, 64, 48);
    EXPECT_FALSE(book.MayPresent()) << "nothing drawn";
    book.Drawn({0, 0, 64, 48});
    ASSERT_TRUE(book.MayPresent());
    const auto first = book.FreeBuffer();
    ASSERT_EQ(first, 0u);
    EXPECT_TRUE(Covers(book.Stale(0), {0, 0, 64, 48})) << "a new buffer lacks the whole picture";
    book.Presented(0);

    // Until the compositor has shown it, nothing more goes, however much is drawn: a
    // hidden output gets no frames and no new buffers.
    for (int frame = 0; frame < 100; ++frame)
        book.Drawn({frame % 60, 10, frame % 60 + 4, 14});
    EXPECT_FALSE(book.MayPresent());
    EXPECT_EQ(book.BufferCount(), 1u);

    book.FrameShown();
    ASSERT_TRUE(book.MayPresent());
    EXPECT_TRUE(Covers(book.Changed(), {0, 10, 63, 14})) << "the compositor hears of every change";
    const auto second = book.FreeBuffer();
    ASSERT_EQ(second, 1u) << "buffer 0 is held";
    book.Presented(1);
    book.Drawn({5, 5, 9, 9});
    book.FrameShown();

    // Every buffer held: a third is made, and with that many none is handed out.
    ASSERT_EQ(book.FreeBuffer(), 2u);
    book.Presented(2);
    book.FrameShown();
    book.Drawn({1, 1, 2, 2});
    EXPECT_EQ(book.FreeBuffer(), std::nullopt);

    // Given back, buffer 0 lacks what was drawn since it went, and is up to date once
    // that is copied in.
    book.Released(0);
    EXPECT_FALSE(book.Held(0));
    ASSERT_EQ(book.FreeBuffer(), 0u);
    for (const PixelRect& drawn : {PixelRect{0, 10, 63, 14}, PixelRect{5, 5, 9, 9}, PixelRect{1, 1, 2, 2}})
        EXPECT_TRUE(Covers(book.Stale(0), drawn));
    EXPECT_TRUE(book.Held(1) && book.Held(2));
}

}  // namespace
