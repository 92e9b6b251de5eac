// Runs the animation for a while on a surface in memory and saves the last frame as a
// picture, so the saver can be seen without a window:
//   varbules-snapshot [--width W] [--height H] [--count N] [--frames F] [--out FILE.ppm]
// Time is simulated: each frame's pause moves the clock on instead of sleeping, so the
// rate overlay shows what it would after the same number of real frames.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "globals/saver_globals.h"
#include "port/raster/raster_surface.h"
#include "settings/saver_strings.h"
#include "settings/settings_file.h"
#include "sim/frame_loop.h"

namespace {

class SimulatedClock final : public Clock {
public:
    std::uint32_t Milliseconds() override { return now_; }
    void Pause(std::uint32_t milliseconds) override { now_ += milliseconds + 1; }

private:
    std::uint32_t now_ = 0;
};

int Usage()
{
    std::fprintf(stderr, "usage: varbules-snapshot [--width W] [--height H] [--count N] [--frames F] [--out FILE.ppm]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::int32_t frames = 400;
    std::string out = "varbules.ppm";

    LoadSaverStrings();
    ReadSettingsFile();
    for (int i = 1; i < argc; ++i) {
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        if (std::strcmp(argv[i - 1], "--width") == 0)
            width = std::atoi(value);
        else if (std::strcmp(argv[i - 1], "--height") == 0)
            height = std::atoi(value);
        else if (std::strcmp(argv[i - 1], "--count") == 0)
            saver.varbuleCount = std::atoi(value);
        else if (std::strcmp(argv[i - 1], "--frames") == 0)
            frames = std::atoi(value);
        else if (std::strcmp(argv[i - 1], "--out") == 0)
            out = value;
        else
            return Usage();
    }
    if (width <= 0 || height <= 0 || frames < 0)
        return Usage();

    RasterSurface surface(width, height);
    surface.FillAll(saver.backgroundColor);
    const AnimationInputs inputs{false,          saver.varbuleCount,      saver.backgroundColor,
                                 surface.MakeBrush(saver.backgroundColor), saver.rateLabel,
                                 sizeof saver.rateLabel, saver.creditLine};
    SimulatedClock clock;
    StdRandom random;
    FrameLoop loop(inputs, surface, clock, random);
    for (std::int32_t i = 0; i < frames; ++i)
        loop.RunFrame();

    if (!surface.WritePpm(out)) {
        std::fprintf(stderr, "varbules-snapshot: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}
