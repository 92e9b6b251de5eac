#pragma once

#include <cstdint>

#include "desktop_api.h"

// Win32's packing of two client coordinates into one lParam: x low, y high, 16 bits each.
inline LPARAM PackPoint(int x, int y)
{
    const auto low = static_cast<std::uint32_t>(x) & 0xFFFFu;
    const auto high = (static_cast<std::uint32_t>(y) & 0xFFFFu) << 16;
    return static_cast<LPARAM>(static_cast<std::int32_t>(high | low));
}
