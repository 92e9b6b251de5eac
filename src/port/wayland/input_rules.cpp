#include "port/wayland/input_rules.h"

#include <linux/input-event-codes.h>

UINT ButtonMessage(std::uint32_t button, bool pressed)
{
    if (!pressed)
        return 0;
    switch (button) {
    case BTN_LEFT:
        return WM_LBUTTONDOWN;
    case BTN_RIGHT:
        return WM_RBUTTONDOWN;
    case BTN_MIDDLE:
        return WM_MBUTTONDOWN;
    default:
        return 0;
    }
}

UINT KeyMessage(bool pressed)
{
    return pressed ? WM_KEYDOWN : 0;
}

void PointerTracker::Seen(std::int32_t x, std::int32_t y)
{
    if (!seen_) {
        seen_ = true;
        firstX_ = x;
        firstY_ = y;
    }
    x_ = x;
    y_ = y;
}

POINT PointerTracker::Position() const
{
    return POINT{x_ - firstX_, y_ - firstY_};
}
