#pragma once

#include <string>
#include <vector>

#include "sim/surface.h"

// A surface in front of another that can leave frames undrawn, for a screen that is
// shown only now and then: a browser runs several frames between two paints, and only
// the last of them is ever seen.
//
// Every frame erases each disc where it stood and draws it where it goes, then draws both
// overlays, so the picture after a frame depends on that frame's drawing and on the text
// that stood on the screen before it, nothing else. Undrawn frames therefore draw nothing,
// except erasures that reach text and the overlays such erasures spoil, since later frames
// would not mend those. When drawing is turned on again, the discs still standing from the
// last drawn frame are erased first, and erasures that can only meet background are left
// out. After every drawn frame the picture is exactly the one drawing every frame gives.
//
// Drawn or not, a line of text is drawn again only when it changed or something may
// have covered it since: a fill or another line that reached it, or an erasure of the
// whole target from outside (TextErased). The text is most of what a frame sends that
// did not change.
class SkippingSurface final : public Surface {
public:
    SkippingSurface(Surface& target, Colour background);

    // Frames from now on are drawn, or left undrawn until drawing is turned on again.
    // Called between frames only.
    void SetDrawing(bool drawing);
    // Something else painted over the target (a window's erase by its owner): every line
    // of text is drawn again at its next turn. Called between frames only.
    void TextErased();

    PixelSize ClientSize() override { return target_.ClientSize(); }
    Brush MakeBrush(Colour colour) override;
    Region MakeDiscRegion(const PixelRect& bounds) override;
    void FillRegion(Region region, Brush brush) override;
    void MoveRegion(Region region, std::int32_t dx, std::int32_t dy) override;
    PixelSize MeasureText(const char* text, std::int32_t length) override;
    void SetTextStyle(Colour background, Colour text, std::int32_t characterExtra) override;
    void DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

private:
    struct Disc {
        Region target;
        PixelRect bounds;         // where the disc stands now
        std::int32_t lagX = 0;    // how far the target's region is behind it
        std::int32_t lagY = 0;
        bool shown = false;       // drawn on the target, at bounds less the lag, and not erased
    };
    // A line of text drawn at one place, and everywhere any text drawn there has covered.
    struct Line {
        std::int32_t x;
        std::int32_t y;
        std::string text;
        PixelRect reach;
        bool spoiled;             // an erasure may have reached it since it was drawn
    };

    bool Erases(Brush brush) const;
    bool MeetsText(const PixelRect& r) const;
    bool MeetsShownDisc(const PixelRect& r) const;
    // Fills the disc on the target where the target's region stands, which the lines it
    // meets take note of.
    void FillOnTarget(Disc& disc, Brush brush);
    void EraseOnTarget(Disc& disc);
    void CatchUp(Disc& disc);
    void Spoil(const PixelRect& r);

    Surface& target_;
    Colour background_;
    bool drawing_ = true;
    std::vector<Brush> erasers_;  // brushes of the background colour
    std::vector<Disc> discs_;
    std::vector<Line> lines_;
};
