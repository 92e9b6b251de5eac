#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/clock.h"
#include "sim/random_source.h"
#include "sim/surface.h"

// Remembers every drawing call, and where each region stands, so tests can check both
// the order of the work and its result.
class RecordingSurface final : public Surface {
public:
    enum class Op { MakeBrush, MakeDiscRegion, FillRegion, MoveRegion, MeasureText, SetTextStyle, DrawTextLine };
    struct Call {
        Call(Op op_, std::uintptr_t a_ = 0, std::int64_t b_ = 0, std::int64_t c_ = 0, std::string text_ = {})
            : op(op_), a(a_), b(b_), c(c_), text(std::move(text_))
        {
        }
        Op op;
        std::uintptr_t a;  // region, brush or colour
        std::int64_t b;    // brush, dx, or x
        std::int64_t c;    // dy or y
        std::string text;
    };

    PixelSize clientSize{1024, 768};
    PixelSize textCell{8, 16};  // extent of one character before extra spacing
    std::vector<Call> calls;
    std::vector<Colour> brushes;
    std::vector<PixelRect> regions;
    std::int32_t characterExtra = 0;

    PixelSize ClientSize() override { return clientSize; }
    Brush MakeBrush(Colour colour) override
    {
        brushes.push_back(colour);
        calls.push_back({Op::MakeBrush, colour});
        return brushes.size() + 1000;
    }
    Region MakeDiscRegion(const PixelRect& bounds) override
    {
        regions.push_back(bounds);
        calls.push_back({Op::MakeDiscRegion, regions.size()});
        return regions.size();
    }
    void FillRegion(Region region, Brush brush) override { calls.push_back({Op::FillRegion, region, static_cast<std::int64_t>(brush)}); }
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override
    {
        PixelRect& r = regions.at(region - 1);
        r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        calls.push_back({Op::MoveRegion, region, dx, dy});
    }
    PixelSize MeasureText(const char* text, std::int32_t length) override
    {
        calls.push_back({Op::MeasureText, 0, 0, 0, std::string(text, static_cast<std::size_t>(length))});
        return {length * (textCell.cx + characterExtra), textCell.cy};
    }
    void SetTextStyle(Colour background, Colour text, std::int32_t extra) override
    {
        characterExtra = extra;
        calls.push_back({Op::SetTextStyle, background, text, extra});
    }
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override
    {
        calls.push_back({Op::DrawTextLine, 0, x, y, std::string(text, static_cast<std::size_t>(length))});
    }

    std::vector<Call> TextDraws() const
    {
        std::vector<Call> out;
        for (const Call& call : calls)
            if (call.op == Op::DrawTextLine)
                out.push_back(call);
        return out;
    }
};

// A clock that stands still until a test moves it; pauses are remembered, not slept.
class FakeClock final : public Clock {
public:
    std::uint32_t now = 0;
    std::uint32_t advancePerReading = 0;
    std::vector<std::uint32_t> pauses;

    std::uint32_t Milliseconds() override
    {
        const std::uint32_t reading = now;
        now += advancePerReading;
        return reading;
    }
    void Pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
};

// A clock whose pauses pass at once, each taking as long as it asks; a reading costs
// nothing. The pauses are counted, as a thread's wake-ups.
class SleepingClock final : public Clock {
public:
    std::uint32_t now = 5000;
    std::uint32_t pauses = 0;
    std::uint32_t Milliseconds() override { return now; }
    void Pause(std::uint32_t milliseconds) override
    {
        now += milliseconds;
        ++pauses;
    }
};

// Reads another clock and pauses not at all: a loop that sees the very readings another
// loop sees.
class ReadingClock final : public Clock {
public:
    explicit ReadingClock(Clock& clock) : clock_(clock) {}
    std::uint32_t Milliseconds() override { return clock_.Milliseconds(); }
    void Pause(std::uint32_t) override {}

private:
    Clock& clock_;
};

// Hands out a given sequence, then repeats its last value; counts the draws and seeds.
class SequenceRandom final : public RandomSource {
public:
    explicit SequenceRandom(std::vector<int> values) : values_(std::move(values)) {}

    int seeds = 0;
    std::size_t draws = 0;

    void Seed() override { ++seeds; }
    int Next() override
    {
        const int value = values_.empty() ? 0 : values_[std::min(draws, values_.size() - 1)];
        ++draws;
        return value;
    }

private:
    std::vector<int> values_;
};
