#pragma once

#include "sim/surface.h"

// A solid brush on the desktops that have no brushes of their own (Linux): its colour.
// Brush handles there point at one, whoever made it, so a surface can fill with a brush
// the main thread made (the background) as with its own.
struct SolidBrush {
    Colour colour = 0;
};

inline const SolidBrush& BrushAt(Surface::Brush brush)
{
    return *reinterpret_cast<const SolidBrush*>(brush);
}
