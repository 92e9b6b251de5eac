// The monitors of the X screen: Xinerama's heads, the primary one first.

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "port/x11/x11_state.h"

namespace {

// Whether the server has RandR 1.3, which knows a primary output.
bool HasRandr13(Display* display)
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &event, &error) && XRRQueryVersion(display, &major, &minor) &&
           major * 100 + minor >= 103;
}

// RandR's primary output, where the screen has one that shows something.
std::optional<ScreenRect> RandrPrimary(Display* display, Window root)
{
    if (!HasRandr13(display))
        return std::nullopt;
    const RROutput output = XRRGetOutputPrimary(display, root);
    if (output == None)
        return std::nullopt;
    std::optional<ScreenRect> primary;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr)
        return std::nullopt;
    if (XRROutputInfo* info = XRRGetOutputInfo(display, resources, output)) {
        if (info->crtc != None) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
                primary = ScreenRect{crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)};
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(resources);
    return primary;
}

// The time between two pictures of a mode, in microseconds; 0 where the mode does not say.
std::uint32_t ModePeriodMicros(const XRRModeInfo& mode)
{
    double frames = static_cast<double>(mode.hTotal) * mode.vTotal;
    if (mode.modeFlags & RR_DoubleScan)
        frames *= 2;
    if (mode.modeFlags & RR_Interlace)
        frames /= 2;
    if (mode.dotClock == 0 || frames <= 0)
        return 0;
    const double micros = frames * 1e6 / static_cast<double>(mode.dotClock);
    // A refresh rate outside 20 to 500 a second is no monitor's.
    return micros >= 2000 && micros <= 50000 ? static_cast<std::uint32_t>(micros + 0.5) : 0;
}

// The period of RandR's primary output, else of the first output that shows anything;
// 60 pictures a second where RandR does not tell (Xvfb's modes have no timings).
std::uint32_t FramePeriod(Display* display, Window root)
{
    constexpr std::uint32_t kSixtyHertzMicros = 16667;
    if (!HasRandr13(display))
        return kSixtyHertzMicros;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr)
        return kSixtyHertzMicros;
    std::vector<RROutput> outputs{XRRGetOutputPrimary(display, root)};
    outputs.insert(outputs.end(), resources->outputs, resources->outputs + resources->noutput);
    std::uint32_t period = 0;
    for (const RROutput output : outputs) {
        XRROutputInfo* info = output == None ? nullptr : XRRGetOutputInfo(display, resources, output);
        if (info == nullptr)
            continue;
        if (XRRCrtcInfo* crtc = info->crtc == None ? nullptr : XRRGetCrtcInfo(display, resources, info->crtc)) {
            for (int k = 0; k < resources->nmode && period == 0; ++k) {
                if (resources->modes[k].id == crtc->mode)
                    period = ModePeriodMicros(resources->modes[k]);
            }
            XRRFreeCrtcInfo(crtc);
        }
        XRRFreeOutputInfo(info);
        if (period != 0)
            break;
    }
    XRRFreeScreenResources(resources);
    return period != 0 ? period : kSixtyHertzMicros;
}

std::vector<ScreenRect> XineramaHeads(Display* display)
{
    std::vector<ScreenRect> heads;
    int event = 0;
    int error = 0;
    if (!XineramaQueryExtension(display, &event, &error) || !XineramaIsActive(display))
        return heads;
    int count = 0;
    if (XineramaScreenInfo* screens = XineramaQueryScreens(display, &count)) {
        for (int k = 0; k < count; ++k)
            heads.push_back(ScreenRect{screens[k].x_org, screens[k].y_org, screens[k].width, screens[k].height});
        XFree(screens);
    }
    return heads;
}

}  // namespace

void ReadMonitors()
{
    X11Display& d = X();
    const ScreenRect whole{0, 0, DisplayWidth(d.display, d.screen), DisplayHeight(d.display, d.screen)};
    Desk().monitors = OrderMonitors(XineramaHeads(d.display), RandrPrimary(d.display, d.root), whole);
    d.framePeriodMicros = FramePeriod(d.display, d.root);
}

