#include "host/animation_thread.h"

#include <cstdlib>

#include "globals/saver_globals.h"
#include "host/frame_log.h"
#include "port/system_clock.h"
#include "port/window_surface.h"
#include "sim/frame_loop.h"

DWORD WINAPI AnimationThread(LPVOID animationBlock)
{
    AnimationBlock& block = *static_cast<AnimationBlock*>(animationBlock);
    // All of this was written by the main thread before it started this one.
    const AnimationInputs inputs{saver.previewMode != 0,
                                 saver.varbuleCount,
                                 saver.backgroundColor,
                                 reinterpret_cast<Surface::Brush>(saver.backgroundBrush),
                                 saver.rateLabel,
                                 sizeof saver.rateLabel,
                                 saver.creditLine};
    const std::unique_ptr<Surface> surface = OpenWindowSurface(block.window);
    SystemClock systemClock;
    const WindowPace pace = PaceOf(*surface, systemClock);
    StdRandom random;

    if (const char* logPath = std::getenv("VARBULES_FRAME_LOG")) {
        FrameLoggingClock loggingClock(pace.clock, logPath, WallClockMilliseconds, pace.drawnFrames);
        RunAnimation(inputs, *surface, loggingClock, random, block.stopRequested);
    } else {
        RunAnimation(inputs, *surface, pace.clock, random, block.stopRequested);
    }
    return 0;
}
