// The saver as a web page: the same frame loop as the Windows saver on a canvas the size
// of the browser window, scattered by the Windows C runtime's generator seeded with the
// current second, and paced as the Windows saver is. Address options: see page_options.h.
// With ?selftest the page runs a number of frames at once and writes the table's state
// into the page instead, for the tests to compare with the native build's.

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "globals/saver_globals.h"
#include "port/web/canvas_surface.h"
#include "port/web/frame_pacer.h"
#include "port/web/page_options.h"
#include "settings/saver_strings.h"
#include "sim/frame_loop.h"
#include "sim/skipping_surface.h"

namespace {

// The most frames a paint may run: a page that was hidden goes on where it stood.
constexpr int kMostFramesPerPaint = 16;

// Real time, for the rate overlay. The pace is the paint loop's (FramePacer): a frame's
// pause takes no time here.
class PageClock final : public Clock {
public:
    std::uint32_t Milliseconds() override { return static_cast<std::uint32_t>(emscripten_get_now() - start_); }
    void Pause(std::uint32_t) override {}

private:
    double start_ = emscripten_get_now();
};

// The address after its '?', cut to the buffer (a cut option is malformed, and passed over).
EM_JS(void, PageQuery, (char* buffer, int size), { stringToUTF8(window.location.search, buffer, size); });

EM_JS(void, ShowState, (const char* text), {
    const out = document.getElementById('state');
    out.textContent = UTF8ToString(text);
    out.dataset.done = '1';
});

// With ?bench: the script time of the paints and the frames they ran, told on the
// console every two seconds.
struct Bench {
    double since = 0;
    double scriptMs = 0;
    double longestMs = 0;
    int paints = 0;
    int frames = 0;

    void Count(double start, double end, int framesRun)
    {
        scriptMs += end - start;
        longestMs = end - start > longestMs ? end - start : longestMs;
        ++paints;
        frames += framesRun;
        if (end - since < 2000)
            return;
        std::printf("bench: %d paints, %.1f frames/s, script %.3f ms a paint (longest %.3f)\n", paints,
                    frames * 1000.0 / (end - since), scriptMs / paints, longestMs);
        *this = Bench{end};
    }
};

struct Page {
    PageOptions options;
    PageClock clock;
    std::unique_ptr<CanvasSurface> canvas;
    std::unique_ptr<SkippingSurface> surface;  // draws only the last frame of a paint
    std::unique_ptr<MsvcrtRandom> random;
    AnimationInputs inputs{};  // the loop keeps a reference to them
    std::unique_ptr<FrameLoop> loop;
    PixelSize size{-1, -1};
    Bench bench;
};

Page page;

// A new run at this size, as a new start of the saver makes one: the canvas erased in the
// background colour, the strings as loaded, a new scatter.
void StartRun(PixelSize size, std::uint32_t seed)
{
    page.loop.reset();
    LoadSaverStrings();
    page.size = size;
    page.surface.reset();
    page.canvas = std::make_unique<CanvasSurface>(size.cx, size.cy, saver.backgroundColor);
    page.surface = std::make_unique<SkippingSurface>(*page.canvas, saver.backgroundColor);
    page.random = std::make_unique<MsvcrtRandom>(seed);
    page.inputs = AnimationInputs{page.options.preview,
                                  page.options.count,
                                  saver.backgroundColor,
                                  page.surface->MakeBrush(saver.backgroundColor),
                                  saver.rateLabel,
                                  sizeof saver.rateLabel,
                                  saver.creditLine};
    page.loop = std::make_unique<FrameLoop>(page.inputs, *page.surface, page.clock, *page.random);
}

std::uint32_t CurrentSecond()
{
    return static_cast<std::uint32_t>(std::time(nullptr));
}

// A run starts with its first frame at once, as the saver's first erase starts it.
void StartRunAndShow(PixelSize size)
{
    StartRun(size, CurrentSecond());
    page.loop->RunFrame();
}

EM_BOOL Paint(double now, void* pacer)
{
    const double start = emscripten_get_now();
    // A resized window is a new screen: the run starts anew for it.
    const PixelSize size = PageSize();
    if (size.cx != page.size.cx || size.cy != page.size.cy)
        StartRunAndShow(size);
    const int frames = static_cast<FramePacer*>(pacer)->FramesAt(now);
    // Only the last frame of a paint is seen; the others move the discs without drawing.
    for (int i = 0; i < frames; ++i) {
        page.surface->SetDrawing(i == frames - 1);
        page.loop->RunFrame();
    }
    if (page.options.bench)
        page.bench.Count(start, emscripten_get_now(), frames);
    return EM_TRUE;
}

void SelfTest()
{
    const PageOptions& o = page.options;
    StartRun({o.width, o.height}, o.seed);
    for (std::int32_t i = 0; i < o.frames; ++i)
        page.loop->RunFrame();
    std::string state = "frames=" + std::to_string(o.frames) + "\n";
    for (std::int32_t k = 0; k < page.loop->length(); ++k) {
        const VarbuleRecord& v = page.loop->table()[k];
        state += std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.dx) + " " +
                 std::to_string(v.dy) + " " + std::to_string(v.collided) + "\n";
    }
    ShowState(state.c_str());
}

}  // namespace

int main()
{
    static char query[1024];
    PageQuery(query, sizeof query);
    page.options = ParsePageOptions(query);
    saver.previewMode = page.options.preview ? 1 : 0;
    if (page.options.selfTest) {
        SelfTest();
        return 0;
    }
    StartRunAndShow(PageSize());
    static FramePacer pacer(page.options.preview ? kPreviewFramePauseMs : kFramePauseMs, kMostFramesPerPaint);
    pacer.FramesAt(emscripten_get_now());
    emscripten_request_animation_frame_loop(Paint, &pacer);
    return 0;
}
