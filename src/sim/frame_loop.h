#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "sim/clock.h"
#include "sim/collision_scan.h"
#include "sim/random_source.h"
#include "sim/rate_text.h"
#include "sim/surface.h"
#include "sim/varbule.h"

// What the animation reads of the shared state. The main thread fills all of it before
// it starts the animation thread and changes none of it while the thread runs, except
// the rate label, which from then on only the animation thread writes.
struct AnimationInputs {
    bool previewMode;
    std::int32_t varbuleCount;
    Colour backgroundColor;
    Surface::Brush backgroundBrush;
    char* rateLabel;  // holds its loaded text; the rate is written behind it
    std::size_t rateLabelSize;
    const char* creditLine;
};

constexpr Colour kTextColour = 0x00FFFFFF;
constexpr std::int32_t kCharacterExtra = 5;
constexpr std::uint32_t kFramePauseMs = 5;
constexpr std::uint32_t kPreviewFramePauseMs = 300;
constexpr std::uint32_t kRateIntervalMs = 1000;
constexpr std::int32_t kRateLabelX = 5;
constexpr std::int32_t kRateLabelY = 1;

// A disc bounces when it reaches beyond an edge: the velocity component becomes the
// overshoot, pointing back inside, so the next move puts its edge exactly on the edge.
// Touching an edge is no bounce. Returns the number of bounces (0, 1 or 2).
std::int32_t BounceOffWalls(VarbuleRecord& v, std::int32_t clientWidth, std::int32_t clientHeight);

// The animation thread's work: set up once, then frames until told to stop. The table
// is a member, so it lives wherever the loop does: on the animation thread's stack.
class FrameLoop {
public:
    FrameLoop(const AnimationInputs& inputs, Surface& surface, Clock& clock, RandomSource& random);

    // One frame: every varbule scanned, erased, bounced, moved and drawn in index order;
    // the rate when more than a second has passed; both overlays; the pause.
    void RunFrame();

    VarbuleRecord* table() { return table_.data(); }
    std::int32_t length() const { return length_; }
    std::int32_t actionCount() const { return actionCount_; }

private:
    void StepVarbule(std::int32_t k);
    void UpdateRate();
    void DrawRateLabel();
    void DrawCreditLine();

    const AnimationInputs& inputs_;
    Surface& surface_;
    Clock& clock_;
    std::array<VarbuleRecord, kMaxVarbules> table_{};
    ScanLayout layout_{};  // the table's positions for the collision scans, kept in step
    std::int32_t length_;
    std::int32_t creditWidth_ = 0;
    std::int32_t creditHeight_ = 0;
    std::int32_t clientWidth_ = 0;
    std::int32_t clientHeight_ = 0;
    std::uint8_t rateLabelLength_ = 0;
    std::int32_t actionCount_ = 0;
    std::uint32_t timeBase_ = 0;
    char rateText_[kRateTextSize] = {};
};

// The body of the animation thread once it holds its surface: frames until stopRequested,
// read afresh before every frame, is found nonzero. The frame in progress always ends
// with its overlays and its pause, so a stop takes at most one frame.
void RunAnimation(const AnimationInputs& inputs, Surface& surface, Clock& clock, RandomSource& random,
                  const std::atomic<std::int32_t>& stopRequested);
