#pragma once

#include <cstdint>

#include "port/pace/paced_window_surface.h"
#include "port/solid_brush.h"
#include "sim/frame_loop.h"
#include "sim_fakes.h"

// Two runs of the saver from one seed: one at the Linux pace on a paced surface, the other
// drawing every frame on a surface of its own, reading the pace's clock, so that after a
// frame both stand at the same frame of the rules. The paced run erases with the main
// thread's brush, as the host does; the other with the brush given, or that one too.
struct PacedBesideEvery {
    PacedBesideEvery(PacedWindowSurface& paced, Surface& every, Colour background, Surface::Brush everyBackground,
                     std::int32_t count, unsigned seed)
        : mainBrush{background},
          pace(paced.Pace(clock)),
          everyClock(pace),
          pacedRandom(seed),
          everyRandom(seed),
          everyInputs(Inputs(background, everyBackground != 0 ? everyBackground : MainBrush(), everyLabel, count)),
          pacedInputs(Inputs(background, MainBrush(), pacedLabel, count)),
          everyLoop(everyInputs, every, everyClock, everyRandom),
          pacedLoop(pacedInputs, paced, pace, pacedRandom)
    {
    }

    // A frame of each, the one drawing every frame first.
    void RunFrame()
    {
        everyLoop.RunFrame();
        pacedLoop.RunFrame();
    }

    SolidBrush mainBrush;
    char pacedLabel[64] = "Actions per sec:";
    char everyLabel[64] = "Actions per sec:";
    SleepingClock clock;
    FramePace& pace;
    ReadingClock everyClock;
    MsvcrtRandom pacedRandom;
    MsvcrtRandom everyRandom;
    AnimationInputs everyInputs;  // the loops keep them by reference
    AnimationInputs pacedInputs;
    FrameLoop everyLoop;
    FrameLoop pacedLoop;

private:
    Surface::Brush MainBrush() { return reinterpret_cast<Surface::Brush>(&mainBrush); }
    static AnimationInputs Inputs(Colour background, Surface::Brush brush, char* label, std::int32_t count)
    {
        return AnimationInputs{false, count, background, brush, label, 64, "Varbules credit line"};
    }
};
