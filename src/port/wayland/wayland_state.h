#pragma once

#include <wayland-client.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "layer-shell-client.h"
#include "port/linux/desktop.h"
#include "port/wayland/input_rules.h"
#include "port/wayland/shm_picture.h"
#include "viewporter-client.h"
#include "xdg-output-unstable-v1-client.h"
#include "xdg-shell-client.h"

// The Wayland display's own records, shared by the files that implement its part of the
// desktop. All of it belongs to the main thread, except where a field says otherwise.

struct Output {
    std::uint32_t globalName = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    std::string name;
    std::int32_t x = 0;  // in the layout, from xdg-output where the compositor has it
    std::int32_t y = 0;
    std::int32_t modeWidth = 0;  // the current mode, in the output's own pixels
    std::int32_t modeHeight = 0;
    std::int32_t refreshMilliHertz = 0;  // the current mode's; 0 where the compositor does not say
    bool turned = false;         // shown a quarter turn round, so the mode's sides swap
    std::int32_t scale = 1;
    bool complete = false;  // every property has been told at least once
    bool gone = false;      // the compositor removed it
};

// How a window is shown.
enum class WindowRole {
    Overlay,     // a layer-shell surface in the overlay layer over one whole output
    FullScreen,  // an xdg-shell window made full screen on one output, where there is no layer shell
    Framed,      // an ordinary xdg-shell window, for --window: its input is no concern of the saver
};

struct WaylandWindow final : DesktopWindow {
    WindowRole role = WindowRole::Overlay;
    Output* output = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    // The size in the layout's units, as the compositor configured it, and the buffer's
    // scale: the client area is width * scale by height * scale pixels.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t scale = 1;
    std::uint32_t framePeriodMicros = 16667;  // of its output, at the first configure
    bool configured = false;
    bool needsErase = false;  // configured, and not painted since
    std::unique_ptr<ShmPicture> picture;  // made at the first configure
};

struct Seat {
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_touch* touch = nullptr;
};

struct WaylandDisplay {
    wl_display* display = nullptr;
    std::string displayName;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wp_viewporter* viewporter = nullptr;
    zxdg_output_manager_v1* xdgOutputs = nullptr;
    std::vector<std::unique_ptr<Seat>> seats;
    // Every output ever announced, in that order; removed ones stay, marked gone, since
    // windows may still point at them.
    std::vector<std::unique_ptr<Output>> outputs;
    Output* animated = nullptr;  // the output that shows the animation
    std::string wantedOutput;    // --output
    bool framed = false;         // --window: the saver window is an ordinary window
    bool noLayerShell = false;   // VARBULES_WAYLAND_NO_LAYER_SHELL: as on a compositor without one

    std::deque<MSG> incoming;  // window messages the events meant, not yet handed out
    PointerTracker pointer;
    bool cursorShown = true;
    std::uint32_t pointerSerial = 0;  // of the pointer's last entry, to set its cursor
    wl_pointer* lastPointer = nullptr;
    // The saver ends with exit code 1: the connection broke, or the compositor closed a
    // surface of ours that it had no reason to close.
    bool failed = false;
};

WaylandDisplay& W();

// Where an output stands in the layout, and its size in its own pixels.
ScreenRect PlaceOf(const Output& output);

// Lets go of an object the compositor may know a release request for (from that
// version on), else destroys it; either way the pointer is none after.
template <typename T>
void ReleaseProxy(T*& proxy, void (*release)(T*), void (*destroy)(T*), std::uint32_t releaseSince)
{
    if (proxy == nullptr)
        return;
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(proxy)) >= releaseSince)
        release(proxy);
    else
        destroy(proxy);
    proxy = nullptr;
}

inline WaylandWindow& WRecord(HWND window)
{
    return static_cast<WaylandWindow&>(Record(window));
}

inline WaylandWindow& WRecord(DesktopWindow& window)
{
    return static_cast<WaylandWindow&>(window);
}

// The live window of ours on that surface, or none.
WaylandWindow* WindowOn(wl_surface* surface);

// A window message for the event loop to hand out.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Something went wrong that ends the saver with exit code 1: says why in one line (once),
// and closes every window through the host's own path.
void Fail(const std::string& why);

// Lists the monitors anew from the outputs, the animated one first.
void UpdateMonitors();

// The seat's listeners (wayland_input.cpp).
void AddSeat(wl_seat* seat);
// Lets go of every seat and its devices.
void ReleaseSeats();
// The cursor as the host last asked for it, on the pointer's surface.
void ApplyCursor();
