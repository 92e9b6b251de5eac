#include "sim/frame_loop.h"

#include <cstdlib>
#include <cstring>

#include "sim/scatter.h"

namespace {

std::int32_t Length(const char* text)
{
    return static_cast<std::int32_t>(std::strlen(text));
}

}  // namespace

std::int32_t BounceOffWalls(VarbuleRecord& v, std::int32_t clientWidth, std::int32_t clientHeight)
{
    const std::int32_t r = v.diameter >> 1;
    std::int32_t bounces = 0;
    if (v.x - r < 0) {
        v.dx = std::abs(v.x - r);
        ++bounces;
    }
    if (v.y - r < 0) {
        v.dy = std::abs(v.y - r);
        ++bounces;
    }
    if (v.x + r > clientWidth) {
        v.dx = clientWidth - (v.x + r);
        ++bounces;
    }
    if (v.y + r > clientHeight) {
        v.dy = clientHeight - (v.y + r);
        ++bounces;
    }
    return bounces;
}

FrameLoop::FrameLoop(const AnimationInputs& inputs, Surface& surface, Clock& clock, RandomSource& random)
    : inputs_(inputs), surface_(surface), clock_(clock),
      length_(TableLength(inputs.previewMode, inputs.varbuleCount))
{
    // The credit line is measured before the extra character spacing is set; its
    // placement adds the spacing itself.
    const PixelSize credit = surface_.MeasureText(inputs_.creditLine, Length(inputs_.creditLine));
    creditWidth_ = credit.cx;
    creditHeight_ = credit.cy;

    // The client area is measured once; a later change of size is not followed.
    const PixelSize client = surface_.ClientSize();
    clientWidth_ = client.cx;
    clientHeight_ = client.cy;

    random.Seed();
    rateLabelLength_ = static_cast<std::uint8_t>(std::strlen(inputs_.rateLabel));
    surface_.SetTextStyle(inputs_.backgroundColor, kTextColour, kCharacterExtra);

    const std::int32_t diameter =
        inputs_.previewMode ? kPreviewDiameter : FullDiameter(clientHeight_, SizeFactor(length_));
    ScatterVarbules(table_.data(), length_, diameter, surface_, random);

    actionCount_ = 0;
    timeBase_ = clock_.Milliseconds();
}

void FrameLoop::StepVarbule(std::int32_t k)
{
    VarbuleRecord& v = table_[static_cast<std::size_t>(k)];
    v.collided = 0;
    actionCount_ += CollisionScan(table_.data(), length_, k, layout_);
    surface_.FillRegion(v.region, inputs_.backgroundBrush);
    actionCount_ += BounceOffWalls(v, clientWidth_, clientHeight_);
    v.x += v.dx;
    v.y += v.dy;
    layout_.x[k] = v.x;
    layout_.y[k] = v.y;
    surface_.MoveRegion(v.region, v.dx, v.dy);
    surface_.FillRegion(v.region, v.brush);
}

void FrameLoop::UpdateRate()
{
    // Three readings: one to decide, one that ends this interval, one that begins the
    // next. The time between the last two belongs to no interval.
    if (clock_.Milliseconds() - timeBase_ <= kRateIntervalMs)
        return;
    const std::uint32_t interval = clock_.Milliseconds() - timeBase_;
    FormatRate(actionCount_, interval, rateText_);

    // The number goes right behind the loaded text, over whatever number stood there.
    // A loaded text too long to leave room for it keeps its old number instead.
    const std::size_t textLength = std::strlen(rateText_);
    if (rateLabelLength_ + textLength < inputs_.rateLabelSize)
        std::memcpy(inputs_.rateLabel + rateLabelLength_, rateText_, textLength + 1);

    DrawRateLabel();
    actionCount_ = 0;
    timeBase_ = clock_.Milliseconds();
}

void FrameLoop::DrawRateLabel()
{
    surface_.DrawTextLine(kRateLabelX, kRateLabelY, inputs_.rateLabel, Length(inputs_.rateLabel));
}

void FrameLoop::DrawCreditLine()
{
    // With the extra spacing after each of its characters the line ends exactly at the
    // right edge; its bottom stands one pixel above the bottom edge.
    const std::int32_t n = Length(inputs_.creditLine);
    surface_.DrawTextLine(clientWidth_ - creditWidth_ - kCharacterExtra * n, clientHeight_ - creditHeight_ - 1,
                          inputs_.creditLine, n);
}

void FrameLoop::RunFrame()
{
    // Taken afresh each frame, so that the table may be changed between frames.
    LayOut(table_.data(), length_, layout_);
    for (std::int32_t k = 0; k < length_; ++k)
        StepVarbule(k);
    UpdateRate();
    DrawCreditLine();
    DrawRateLabel();
    clock_.Pause(inputs_.previewMode ? kPreviewFramePauseMs : kFramePauseMs);
}

void RunAnimation(const AnimationInputs& inputs, Surface& surface, Clock& clock, RandomSource& random,
                  const std::atomic<std::int32_t>& stopRequested)
{
    FrameLoop loop(inputs, surface, clock, random);
    while (stopRequested.load() == 0)
        loop.RunFrame();
}
