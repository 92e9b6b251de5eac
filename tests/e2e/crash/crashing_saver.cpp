// A saver that is broken on purpose, for the check of the end-to-end tests' launcher: it
// runs the real frame loop on a picture in memory and dies of a segmentation fault as its
// first frame ends, in its pause. Writes "first frame drawn" to stderr just before.
#include <cstdio>

#include "port/raster/raster_surface.h"
#include "sim/frame_loop.h"

namespace {

class CrashingClock final : public Clock {
public:
    std::uint32_t Milliseconds() override { return 0; }
    // The write goes through a pointer the compiler cannot see through, to an address
    // no program has (and that no sanitizer takes for null): a plain segmentation fault.
    void Pause(std::uint32_t) override
    {
        std::fputs("first frame drawn\n", stderr);
        *target_ = 1;
    }

    volatile int* volatile target_ = reinterpret_cast<volatile int*>(sizeof(int));
};

class FixedRandom final : public RandomSource {
public:
    void Seed() override {}
    int Next() override
    {
        next_ = next_ * 1103515245u + 12345u;
        return static_cast<int>(next_ >> 16 & 0x7fff);
    }

private:
    std::uint32_t next_ = 1;
};

}  // namespace

int main()
{
    char rateLabel[64] = "Actions per sec: ";
    const AnimationInputs inputs{false, 16, 0x00800000, 0, rateLabel, sizeof rateLabel, "credit"};
    RasterSurface surface(320, 240);
    CrashingClock clock;
    FixedRandom random;
    FrameLoop loop(inputs, surface, clock, random);
    loop.RunFrame();
    return 0;
}
