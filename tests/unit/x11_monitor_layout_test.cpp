#include "port/x11/monitor_layout.h"

#include <gtest/gtest.h>

namespace {

const ScreenRect kWhole{0, 0, 1824, 768};
const ScreenRect kLeft{0, 0, 1024, 768};
const ScreenRect kRight{1024, 0, 800, 600};

TEST(MonitorLayout, ThePrimaryComesFirstChosenByRandrElseTheFirstHead)
{
    using List = std::vector<ScreenRect>;
    EXPECT_EQ(OrderMonitors({kLeft, kRight}, std::nullopt, kWhole), (List{kLeft, kRight})) << "Xephyr's two heads";
    EXPECT_EQ(OrderMonitors({kLeft, kRight}, kRight, kWhole), (List{kRight, kLeft}));
    EXPECT_EQ(OrderMonitors({kLeft, kRight, ScreenRect{0, 768, 1024, 768}}, ScreenRect{0, 768, 1024, 768}, kWhole),
              (List{ScreenRect{0, 768, 1024, 768}, kLeft, kRight}))
        << "the others keep their order";
    // A RandR primary that is no head (say, RandR reports the whole screen) is passed over.
    EXPECT_EQ(OrderMonitors({kLeft, kRight}, kWhole, kWhole), (List{kLeft, kRight}));
}

TEST(MonitorLayout, MirroredAndEmptyHeadsCountOnceOrNotAtAllAndNoHeadsIsTheWholeScreen)
{
    using List = std::vector<ScreenRect>;
    EXPECT_EQ(OrderMonitors({kLeft, kLeft, kRight, kLeft}, std::nullopt, kWhole), (List{kLeft, kRight}));
    EXPECT_EQ(OrderMonitors({ScreenRect{1024, 0, 0, 600}, kRight}, std::nullopt, kWhole), (List{kRight}));
    EXPECT_EQ(OrderMonitors({}, std::nullopt, kWhole), (List{kWhole})) << "no Xinerama";
    EXPECT_EQ(OrderMonitors({}, kLeft, kWhole), (List{kWhole}));
    EXPECT_EQ(OrderMonitors({ScreenRect{0, 0, 0, 0}}, std::nullopt, kWhole), (List{kWhole}));
}

}  // namespace
