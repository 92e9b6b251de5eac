#include "port/x11/monitor_layout.h"

#include <algorithm>

std::vector<ScreenRect> OrderMonitors(const std::vector<ScreenRect>& heads, const std::optional<ScreenRect>& randrPrimary,
                                      const ScreenRect& wholeScreen)
{
    std::vector<ScreenRect> monitors;
    for (const ScreenRect& head : heads) {
        if (head.width > 0 && head.height > 0 && std::find(monitors.begin(), monitors.end(), head) == monitors.end())
            monitors.push_back(head);
    }
    if (monitors.empty())
        return {wholeScreen};
    if (randrPrimary) {
        const auto primary = std::find(monitors.begin(), monitors.end(), *randrPrimary);
        if (primary != monitors.end())
            std::rotate(monitors.begin(), primary, primary + 1);
    }
    return monitors;
}
