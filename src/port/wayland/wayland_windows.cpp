// The Wayland side of windows: a surface with a role (an overlay over one output, a full-
// screen window where the compositor has no layer shell, or an ordinary window), its
// configuration, its painting and the animation's surface on it.

#include <cmath>

#include "port/picture/glyph_font.h"
#include "port/no_surface.h"
#include "globals/saver_globals.h"
#include "port/picture/picture_surface.h"
#include "port/wayland/wayland_display.h"
#include "port/wayland/wayland_state.h"

namespace {

constexpr std::int32_t kFramedWidth = 800;
constexpr std::int32_t kFramedHeight = 600;
// Roundtrips a new window waits for its first configuration before it goes on without.
constexpr int kConfigureRoundtrips = 4;

// The first configuration fixes the window's size: the animation keeps the client area
// it started with, as on Windows. Every later one is acknowledged and changes nothing.
void Configured(WaylandWindow& window, std::int32_t width, std::int32_t height)
{
    if (window.configured)
        return;
    window.configured = true;
    window.width = width;
    window.height = height;
    window.scale = window.output != nullptr ? window.output->scale : 1;
    // The output's refresh rate as its current mode tells it; 60 a second where it does not.
    const std::int32_t milliHertz = window.output != nullptr ? window.output->refreshMilliHertz : 0;
    if (milliHertz >= 20000 && milliHertz <= 500000)
        window.framePeriodMicros = static_cast<std::uint32_t>(1000000000LL / milliHertz);
    WaylandDisplay& w = W();
    window.picture = std::make_unique<ShmPicture>(w.display, w.shm, window.surface, w.viewporter, width, height,
                                                  window.scale);
    window.needsErase = true;
    if (window.alive && window.procedure != nullptr)
        Deliver(Handle(window), WM_ERASEBKGND, 0, 0);
}

// A layer surface is closed when its output goes, and then the output's removal follows;
// any other close would leave the screen uncovered. Which it was shows once the
// compositor has answered a sync asked for after the close.
const wl_callback_listener kClosedCheckListener = {
    [](void* data, wl_callback* callback, std::uint32_t) {
        wl_callback_destroy(callback);
        auto& window = *static_cast<WaylandWindow*>(data);
        if (window.alive && window.output != nullptr && !window.output->gone)
            Fail("the compositor closed the saver's surface on output " + window.output->name);
    },
};

const zwlr_layer_surface_v1_listener kLayerListener = {
    // configure
    [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width, std::uint32_t height) {
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        Configured(*static_cast<WaylandWindow*>(data), static_cast<std::int32_t>(width),
                   static_cast<std::int32_t>(height));
    },
    // closed
    [](void* data, zwlr_layer_surface_v1*) {
        wl_callback* check = wl_display_sync(W().display);
        wl_callback_add_listener(check, &kClosedCheckListener, data);
    },
};

const xdg_surface_listener kXdgSurfaceListener = {
    [](void* data, xdg_surface* surface, std::uint32_t serial) {
        xdg_surface_ack_configure(surface, serial);
        auto& window = *static_cast<WaylandWindow*>(data);
        const bool framed = window.role == WindowRole::Framed;
        std::int32_t width = window.width > 0 ? window.width : (framed ? kFramedWidth : 0);
        std::int32_t height = window.height > 0 ? window.height : (framed ? kFramedHeight : 0);
        // A full-screen window the compositor has not sized fills its output.
        if ((width == 0 || height == 0) && window.output != nullptr) {
            const ScreenRect place = PlaceOf(*window.output);
            width = place.width / window.output->scale;
            height = place.height / window.output->scale;
        }
        window.width = 0;
        window.height = 0;
        Configured(window, width, height);
    },
};

const xdg_toplevel_listener kToplevelListener = {
    // configure: the size to take, which the surface's configure then confirms.
    [](void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
        auto& window = *static_cast<WaylandWindow*>(data);
        if (!window.configured) {
            window.width = width;
            window.height = height;
        }
    },
    // close: the compositor asks, as a window manager would.
    [](void* data, xdg_toplevel*) {
        auto& window = *static_cast<WaylandWindow*>(data);
        if (window.alive && window.procedure != nullptr)
            Deliver(Handle(window), WM_CLOSE, 0, 0);
    },
    // configure_bounds
    [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
    // wm_capabilities
    [](void*, xdg_toplevel*, wl_array*) {},
};

void MakeOverlay(WaylandWindow& window)
{
    WaylandDisplay& w = W();
    window.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        w.layerShell, window.surface, window.output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "varbules");
    zwlr_layer_surface_v1_add_listener(window.layerSurface, &kLayerListener, &window);
    // All four edges and no size: the whole output. An exclusive zone of -1 keeps it over
    // the panels instead of beside them, and the keyboard comes to it alone.
    zwlr_layer_surface_v1_set_anchor(window.layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(window.layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(window.layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(window.layerSurface,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void MakeToplevel(WaylandWindow& window, const char* title)
{
    WaylandDisplay& w = W();
    window.xdgSurface = xdg_wm_base_get_xdg_surface(w.wmBase, window.surface);
    xdg_surface_add_listener(window.xdgSurface, &kXdgSurfaceListener, &window);
    window.toplevel = xdg_surface_get_toplevel(window.xdgSurface);
    xdg_toplevel_add_listener(window.toplevel, &kToplevelListener, &window);
    xdg_toplevel_set_title(window.toplevel, title);
    xdg_toplevel_set_app_id(window.toplevel, "varbules");
    if (window.role == WindowRole::FullScreen)
        xdg_toplevel_set_fullscreen(window.toplevel, window.output->output);
}

// The output a top-level window of that place is for: the saver window's is the animated
// output, a cover's the output at the cover's monitor.
Output* OutputFor(const WindowRequest& request, bool cover)
{
    WaylandDisplay& w = W();
    if (!cover)
        return w.animated;
    const ScreenRect& primary = PrimaryMonitor();
    Output* output = OutputAt(ScreenRect{request.x + primary.x, request.y + primary.y, request.width, request.height});
    return output != w.animated ? output : nullptr;
}

}  // namespace

std::unique_ptr<DesktopWindow> display::MakeWindow(const WindowRequest& request)
{
    // A child in another program's window is for X11 alone.
    if ((request.style & WS_CHILD) != 0)
        return nullptr;
    WaylandDisplay& w = W();
    const bool cover = (request.exStyle & WS_EX_NOACTIVATE) != 0;
    auto window = std::make_unique<WaylandWindow>();
    window->output = OutputFor(request, cover);
    if (window->output == nullptr || window->output->gone)
        return nullptr;
    if (w.framed && !cover)
        window->role = WindowRole::Framed;
    else
        window->role = w.layerShell != nullptr ? WindowRole::Overlay : WindowRole::FullScreen;
    window->ownWindow = true;
    window->fullScreen = !cover && window->role != WindowRole::Framed;

    window->surface = wl_compositor_create_surface(w.compositor);
    if (window->role == WindowRole::Overlay)
        MakeOverlay(*window);
    else
        MakeToplevel(*window, window->role == WindowRole::Framed ? "Varbules" : request.name);
    // The first commit carries no buffer; the compositor answers it with the size.
    wl_surface_commit(window->surface);
    for (int k = 0; k < kConfigureRoundtrips && !window->configured && !w.failed; ++k) {
        if (wl_display_roundtrip(w.display) < 0)
            break;
    }
    return window;
}

void display::DestroyWindow(DesktopWindow& desktopWindow)
{
    WaylandWindow& window = WRecord(desktopWindow);
    window.picture.reset();
    if (window.layerSurface != nullptr)
        zwlr_layer_surface_v1_destroy(window.layerSurface);
    if (window.toplevel != nullptr)
        xdg_toplevel_destroy(window.toplevel);
    if (window.xdgSurface != nullptr)
        xdg_surface_destroy(window.xdgSurface);
    wl_surface_destroy(window.surface);
    window.layerSurface = nullptr;
    window.toplevel = nullptr;
    window.xdgSurface = nullptr;
    window.surface = nullptr;
    wl_display_flush(W().display);
}

void display::ShowWindow(DesktopWindow&)
{
    // A surface is shown with its first buffer, which its first erase paints.
}

void display::UpdateWindow(HWND handle)
{
    WaylandWindow& window = WRecord(handle);
    if (window.needsErase) {
        window.needsErase = false;
        SendMessageA(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DcOf(handle)), 0);
    }
}

bool display::ClientSize(DesktopWindow& desktopWindow, int* width, int* height)
{
    const WaylandWindow& window = WRecord(desktopWindow);
    if (!window.alive && window.surface == nullptr)
        return false;
    *width = window.width * window.scale;
    *height = window.height * window.scale;
    return true;
}

void display::Fill(DesktopWindow& window, const RECT& rect, COLORREF colour)
{
    ShmPicture* picture = WRecord(window).picture.get();
    if (picture != nullptr)
        picture->Fill(PixelRect{rect.left, rect.top, rect.right, rect.bottom}, PixelOf(colour));
}

void display::ShowCursor(bool shown)
{
    W().cursorShown = shown;
    ApplyCursor();
}

POINT display::CursorPosition()
{
    return W().pointer.Position();
}

std::unique_ptr<DisplaySurface> display::OpenSurface(HWND handle)
{
    // Only what the main thread wrote before it started this thread is read here: the
    // window's picture and scale.
    WaylandWindow& window = WRecord(handle);
    if (window.picture == nullptr)
        return std::make_unique<NoSurface>();
    return std::make_unique<PictureSurface>(*window.picture, GlyphFont::Open(GlyphFont::kTextPixels * window.scale));
}

std::uint32_t display::FramePeriodMicros(HWND handle)
{
    return WRecord(handle).framePeriodMicros;
}
