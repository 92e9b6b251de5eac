#pragma once

#include "port/display_surface.h"

// A surface with nowhere to draw: the animation runs, and nothing shows. For a window
// the display could not give the animation a way into.
class NoSurface final : public DisplaySurface {
public:
    PixelSize ClientSize() override { return {0, 0}; }
    Brush MakeBrush(Colour) override { return 0; }
    Region MakeDiscRegion(const PixelRect&) override { return 0; }
    void FillRegion(Region, Brush) override {}
    void MoveRegion(Region, std::int32_t, std::int32_t) override {}
    PixelSize MeasureText(const char*, std::int32_t) override { return {0, 0}; }
    void SetTextStyle(Colour, Colour, std::int32_t) override {}
    void DrawTextLine(std::int32_t, std::int32_t, const char*, std::int32_t) override {}
    void EndFrame() override {}
};
