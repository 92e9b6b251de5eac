// The monitors of the X screen: Xinerama's heads, the primary one first.

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "port/x11/x11_state.h"

namespace {

// RandR's primary output, where the screen has one that shows something.
std::optional<ScreenRect> RandrPrimary(Display* display, Window root)
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 103)
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
}

