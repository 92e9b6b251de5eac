// Runs the animation for a while on a picture in memory, drawn as the Wayland saver draws
// (real text included), and saves the last frame, so the saver can be seen without a
// window:
//   varbules-snapshot [--width W] [--height H] [--count N] [--frames F] [--out FILE.ppm]
//                     [--seed S] [--state FILE]
// Time is simulated: each frame's pause moves the clock on instead of sleeping, so the
// rate overlay shows what it would after the same number of real frames. With --seed the
// scatter draws from the Windows C runtime's generator seeded with S (as the web page
// does), instead of this C library's seeded with the time; --state writes the table after
// the last frame ("x y dx dy collided" a varbule), for comparing builds.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <vector>

#include "globals/saver_globals.h"
#include "port/picture/picture_surface.h"
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

// The picture: plain memory, drawn by one thread, never shown until it is saved.
class MemoryPicture final : public PictureTarget {
public:
    MemoryPicture(std::int32_t width, std::int32_t height, Colour fill)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), PixelOf(fill))
    {
    }

    Pixels Acquire() override { return Pixels{pixels_.data(), width_, height_, width_}; }
    void Release(const PixelRect&) override {}
    void Present() override {}

    bool WritePpm(const std::string& path) const
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr)
            return false;
        std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
        for (const std::uint32_t p : pixels_) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, file);
        }
        return std::fclose(file) == 0;
    }

private:
    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint32_t> pixels_;
};

int Usage()
{
    std::fprintf(stderr, "usage: varbules-snapshot [--width W] [--height H] [--count N] [--frames F] [--out FILE.ppm]"
                         " [--seed S] [--state FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::int32_t frames = 400;
    std::string out = "varbules.ppm";
    std::string statePath;
    bool seeded = false;
    std::uint32_t seed = 0;

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
        else if (std::strcmp(argv[i - 1], "--seed") == 0) {
            seeded = true;
            seed = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        }
        else if (std::strcmp(argv[i - 1], "--state") == 0)
            statePath = value;
        else
            return Usage();
    }
    if (width <= 0 || height <= 0 || frames < 0)
        return Usage();

    MemoryPicture picture(width, height, saver.backgroundColor);
    PictureSurface surface(picture, GlyphFont::Open(GlyphFont::kTextPixels));
    const AnimationInputs inputs{false,          saver.varbuleCount,      saver.backgroundColor,
                                 surface.MakeBrush(saver.backgroundColor), saver.rateLabel,
                                 sizeof saver.rateLabel, saver.creditLine};
    SimulatedClock clock;
    StdRandom timeSeeded;
    MsvcrtRandom fixedSeed(seed);
    FrameLoop loop(inputs, surface, clock, seeded ? static_cast<RandomSource&>(fixedSeed) : timeSeeded);
    for (std::int32_t i = 0; i < frames; ++i)
        loop.RunFrame();

    if (!statePath.empty()) {
        FILE* state = std::fopen(statePath.c_str(), "w");
        if (state == nullptr) {
            std::fprintf(stderr, "varbules-snapshot: cannot write %s\n", statePath.c_str());
            return 1;
        }
        std::fprintf(state, "frames=%d\n", frames);
        for (std::int32_t k = 0; k < loop.length(); ++k) {
            const VarbuleRecord& v = loop.table()[k];
            std::fprintf(state, "%d %d %d %d %d\n", v.x, v.y, v.dx, v.dy, v.collided);
        }
        std::fclose(state);
    }

    if (!picture.WritePpm(out)) {
        std::fprintf(stderr, "varbules-snapshot: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}
