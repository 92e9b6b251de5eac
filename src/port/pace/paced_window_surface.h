#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "port/display_surface.h"
#include "port/pace/frame_pace.h"
#include "sim/skipping_surface.h"

// The Linux saver's surface on its window: the display's drawing behind a SkippingSurface,
// which FramePace tells which frames to draw. After every drawn frame the picture is
// exactly that of drawing every frame; the frames between are stepped.
class PacedWindowSurface final : public Surface, private SteppedDrawing {
public:
    // tickMicros is the time between two pictures the display shows. erasures, when
    // given, counts how often the window's owner has painted the window over.
    PacedWindowSurface(std::unique_ptr<DisplaySurface> display, Colour background, std::uint32_t tickMicros,
                       const std::atomic<std::uint32_t>* erasures);

    // The pace the animation keeps on this surface, in front of the system clock; made at
    // the first call, for the thread's one clock.
    FramePace& Pace(Clock& clock);

    PixelSize ClientSize() override { return skipping_.ClientSize(); }
    Brush MakeBrush(Colour colour) override { return skipping_.MakeBrush(colour); }
    Region MakeDiscRegion(const PixelRect& bounds) override { return skipping_.MakeDiscRegion(bounds); }
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override { skipping_.MoveRegion(region, dx, dy); }
    PixelSize MeasureText(const char* text, std::int32_t length) override { return skipping_.MeasureText(text, length); }
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override
    {
        skipping_.SetTextStyle(background, text, characterExtra);
    }
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override
    {
        skipping_.DrawTextLine(x, y, text, length);
    }

private:
    void EndFrame() override { display_->EndFrame(); }
    bool Ready() override { return display_->WantsFrame(); }
    void SetDrawing(bool drawing) override;

    std::unique_ptr<DisplaySurface> display_;
    SkippingSurface skipping_;
    Colour background_;
    Brush eraser_;  // the background colour, as the skipping surface knows its erasers
    std::uint32_t tickMicros_;
    const std::atomic<std::uint32_t>* erasures_;
    std::uint32_t erasuresSeen_ = 0;
    std::optional<FramePace> pace_;
};
