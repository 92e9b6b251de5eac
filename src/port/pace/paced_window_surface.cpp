#include "port/pace/paced_window_surface.h"

#include "port/solid_brush.h"

PacedWindowSurface::PacedWindowSurface(std::unique_ptr<DisplaySurface> display, Colour background,
                                       std::uint32_t tickMicros, const std::atomic<std::uint32_t>* erasures)
    : display_(std::move(display)),
      skipping_(*display_, background),
      background_(background),
      eraser_(skipping_.MakeBrush(background)),
      tickMicros_(tickMicros),
      erasures_(erasures),
      erasuresSeen_(erasures != nullptr ? erasures->load() : 0)
{
    display_->SetWindowBackground(background);
}

FramePace& PacedWindowSurface::Pace(Clock& clock)
{
    if (!pace_)
        pace_.emplace(clock, static_cast<SteppedDrawing&>(*this), tickMicros_);
    return *pace_;
}

void PacedWindowSurface::FillRegion(Region region, Brush brush)
{
    // The host erases with the main thread's background brush, which the skipping surface
    // did not make; it knows an erasure by its own brush of that colour.
    skipping_.FillRegion(region, brush != 0 && BrushAt(brush).colour == background_ ? eraser_ : brush);
}

void PacedWindowSurface::SetDrawing(bool drawing)
{
    if (erasures_ != nullptr) {
        const std::uint32_t erasures = erasures_->load();
        if (erasures != erasuresSeen_) {
            erasuresSeen_ = erasures;
            skipping_.TextErased();
        }
    }
    skipping_.SetDrawing(drawing);
}
