#include "port/x11/disc_rows.h"

#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "port/picture/pixels.h"

namespace {

// XRectangle's fields, without Xlib's macros.
struct Rectangle {
    short x, y;
    unsigned short width, height;
};

// Discs of many sizes at many places, inside and over every edge of the client area, at an
// offset on the window (a view of the root window): the rectangles cover each pixel the
// disc rule fills, once, and nothing else; rows alike are joined.
TEST(DiscRows, TheRectanglesAreTheDiscsPixelsOnceEachCutToTheClientArea)
{
    constexpr PixelSize kClient{61, 47};
    constexpr int kDx = 7, kDy = 3;
    std::mt19937 random(11);
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<Rectangle> rows;
    std::size_t rowsSeen = 0, rectanglesSeen = 0;
    for (const int w : {0, 1, 2, 3, 5, 8, 13, 40, 72}) {
        for (const int h : {0, 1, 2, 4, 9, 40, 72}) {
            for (int place = 0; place < 8; ++place) {
                // Every other place wholly inside, where the disc fits.
                const bool inside = place % 2 == 0 && w <= kClient.cx && h <= kClient.cy;
                const int left = inside ? between(0, kClient.cx - w) : between(-w - 2, kClient.cx + 2);
                const int top = inside ? between(0, kClient.cy - h) : between(-h - 2, kClient.cy + 2);
                const PixelRect bounds{left, top, left + w, top + h};
                SCOPED_TRACE(testing::Message() << w << "x" << h << " at " << left << "," << top);
                const DiscShape shape(w, h);
                const DiscRows<Rectangle> discRows(w, h);
                std::vector<std::uint32_t> want(kClient.cx * kClient.cy, 0), got(kClient.cx * kClient.cy, 0);
                shape.Fill(Pixels{want.data(), kClient.cx, kClient.cy, kClient.cx}, left, top, 1);
                rows.clear();
                discRows.Append(bounds, kClient, kDx, kDy, rows);
                for (const Rectangle& r : rows) {
                    for (int y = r.y - kDy; y < r.y - kDy + r.height; ++y) {
                        for (int x = r.x - kDx; x < r.x - kDx + r.width; ++x) {
                            ASSERT_TRUE(x >= 0 && y >= 0 && x < kClient.cx && y < kClient.cy) << x << "," << y;
                            ++got[static_cast<std::size_t>(y * kClient.cx + x)];
                        }
                    }
                }
                ASSERT_EQ(got, want);
                for (int y = 0; y < kClient.cy; ++y)
                    rowsSeen += std::any_of(want.begin() + y * kClient.cx, want.begin() + (y + 1) * kClient.cx,
                                            [](std::uint32_t p) { return p != 0; });
                rectanglesSeen += rows.size();
            }
        }
    }
    EXPECT_LT(rectanglesSeen * 10, rowsSeen * 9) << "alike rows are not joined";
}

}  // namespace
