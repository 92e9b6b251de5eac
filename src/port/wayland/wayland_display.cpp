// The connection to the compositor: its globals, its outputs, and reading what it sends.

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "globals/saver_globals.h"
#include "port/wayland/output_choice.h"
#include "port/wayland/wayland_display.h"
#include "port/wayland/wayland_state.h"

namespace {

WaylandDisplay wayland;

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t offered,
        std::uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

// The monitors listed anew; an output that comes or goes while a full-screen run shows
// is to be covered or its cover let go, so the host is told the display changed and
// makes the covers anew.
void OutputsChanged(bool outputCameOrWent)
{
    UpdateMonitors();
    if (outputCameOrWent && saver.saverWindow != nullptr && Desk().coversMonitors)
        PostMessageA(saver.saverWindow, WM_DISPLAYCHANGE, 0, 0);
}

// An output's properties come in several events and are whole once "done" arrives, from
// wl_output and, where the compositor has it, from xdg-output too.
void OutputComplete(Output& output)
{
    const bool first = !output.complete;
    output.complete = true;
    OutputsChanged(first);
}

const wl_output_listener kOutputListener = {
    // geometry: the position here is the layout's where there is no xdg-output.
    [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t, std::int32_t, const char*,
       const char*, std::int32_t transform) {
        auto* output = static_cast<Output*>(data);
        if (output->xdgOutput == nullptr) {
            output->x = x;
            output->y = y;
        }
        output->turned = transform % 2 == 1;
    },
    // mode
    [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t refresh) {
        if ((flags & WL_OUTPUT_MODE_CURRENT) == 0)
            return;
        auto* output = static_cast<Output*>(data);
        output->modeWidth = width;
        output->modeHeight = height;
        output->refreshMilliHertz = refresh;
    },
    // done
    [](void* data, wl_output*) { OutputComplete(*static_cast<Output*>(data)); },
    // scale
    [](void* data, wl_output*, std::int32_t factor) { static_cast<Output*>(data)->scale = std::max(factor, 1); },
    // name
    [](void* data, wl_output*, const char* name) { static_cast<Output*>(data)->name = name; },
    // description
    [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener kXdgOutputListener = {
    // logical_position
    [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        auto* output = static_cast<Output*>(data);
        output->x = x;
        output->y = y;
    },
    // logical_size
    [](void*, zxdg_output_v1*, std::int32_t, std::int32_t) {},
    // done: from version 3 on, wl_output's done says it all.
    [](void*, zxdg_output_v1*) {},
    // name, which wl_output tells only from its version 4
    [](void* data, zxdg_output_v1*, const char* name) {
        auto* output = static_cast<Output*>(data);
        if (output->name.empty())
            output->name = name;
    },
    // description
    [](void*, zxdg_output_v1*, const char*) {},
};

void WatchXdgOutput(Output& output)
{
    if (wayland.xdgOutputs == nullptr || output.xdgOutput != nullptr)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(wayland.xdgOutputs, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &kXdgOutputListener, &output);
}

void AddOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version)
{
    auto output = std::make_unique<Output>();
    output->globalName = name;
    output->output = Bind<wl_output>(registry, name, &wl_output_interface, version, 4);
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    WatchXdgOutput(*output);
    wayland.outputs.push_back(std::move(output));
}

// Lets go of the output's objects; the record stays, as windows may still name it.
void ForgetOutput(Output& output)
{
    if (output.xdgOutput != nullptr)
        zxdg_output_v1_destroy(output.xdgOutput);
    output.xdgOutput = nullptr;
    ReleaseProxy(output.output, wl_output_release, wl_output_destroy, WL_OUTPUT_RELEASE_SINCE_VERSION);
}

void RemoveOutput(std::uint32_t name)
{
    for (auto& output : wayland.outputs) {
        if (output->globalName != name || output->gone)
            continue;
        output->gone = true;
        ForgetOutput(*output);
        if (output->complete)
            OutputsChanged(true);
        return;
    }
}

const xdg_wm_base_listener kWmBaseListener = {
    [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    WaylandDisplay& w = wayland;
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        w.compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        w.shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !w.noLayerShell) {
        w.layerShell = Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        w.wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 2);
        xdg_wm_base_add_listener(w.wmBase, &kWmBaseListener, nullptr);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        w.viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        w.xdgOutputs = Bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 3);
        for (auto& output : w.outputs)
            if (!output->gone)
                WatchXdgOutput(*output);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        AddOutput(registry, name, version);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        AddSeat(Bind<wl_seat>(registry, name, &wl_seat_interface, version, 7));
    }
}

void OnGlobalRemoved(void*, wl_registry*, std::uint32_t name)
{
    RemoveOutput(name);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemoved};

// The outputs that are there, and their places, in the order they were announced.
std::vector<OutputPlace> Places(std::vector<Output*>* live)
{
    std::vector<OutputPlace> places;
    for (auto& output : wayland.outputs) {
        if (output->gone || !output->complete)
            continue;
        places.push_back(OutputPlace{output->name, PlaceOf(*output)});
        live->push_back(output.get());
    }
    return places;
}

// Reading failed: the compositor went away, or ended the connection over an error.
void ConnectionLost()
{
    const int error = wl_display_get_error(wayland.display);
    Fail("lost the connection to the Wayland display " + wayland.displayName +
         (error != 0 ? std::string(" (") + std::strerror(error) + ")" : std::string()));
}

}  // namespace

WaylandDisplay& W()
{
    return wayland;
}

ScreenRect PlaceOf(const Output& output)
{
    return ScreenRect{output.x, output.y, output.turned ? output.modeHeight : output.modeWidth,
                      output.turned ? output.modeWidth : output.modeHeight};
}

void UpdateMonitors()
{
    std::vector<Output*> live;
    const std::vector<OutputPlace> places = Places(&live);
    std::vector<ScreenRect> monitors;
    if (wayland.animated != nullptr) {
        const auto found = std::find(live.begin(), live.end(), wayland.animated);
        monitors = MonitorsWithFirst(places, static_cast<std::size_t>(found - live.begin()));
        // The animated output gone, its place stays first, so that every output left
        // is covered rather than taken for the one that shows the animation.
        if (found == live.end())
            monitors.insert(monitors.begin(), Desk().monitors.empty() ? ScreenRect{} : Desk().monitors.front());
    } else {
        monitors = MonitorsWithFirst(places, 0);
    }
    if (monitors.empty())
        monitors.push_back(ScreenRect{0, 0, 0, 0});
    Desk().monitors = monitors;
}

Output* OutputAt(const ScreenRect& rect)
{
    for (auto& output : wayland.outputs)
        if (!output->gone && output->complete && PlaceOf(*output) == rect)
            return output.get();
    return nullptr;
}

bool ConnectWayland(const RunOptions& options)
{
    WaylandDisplay& w = wayland;
    w.display = wl_display_connect(nullptr);
    if (w.display == nullptr)
        return false;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    w.displayName = name != nullptr && *name != '\0' ? name : "wayland-0";
    w.wantedOutput = options.output;
    w.noLayerShell = std::getenv("VARBULES_WAYLAND_NO_LAYER_SHELL") != nullptr;
    w.registry = wl_display_get_registry(w.display);
    wl_registry_add_listener(w.registry, &kRegistryListener, nullptr);
    // The globals, then what the outputs and seats say of themselves.
    wl_display_roundtrip(w.display);
    wl_display_roundtrip(w.display);
    return true;
}

bool ChooseAnimatedOutput()
{
    WaylandDisplay& w = wayland;
    std::vector<Output*> live;
    const std::vector<OutputPlace> places = Places(&live);
    const std::size_t k = AnimatedOutput(places, w.wantedOutput);
    if (k >= live.size())
        return false;
    w.animated = live[k];
    UpdateMonitors();
    return true;
}

void DisconnectWayland()
{
    // Disconnecting frees none of the objects still known on the connection.
    WaylandDisplay& w = wayland;
    if (w.display == nullptr)
        return;
    ReleaseSeats();
    for (auto& output : w.outputs)
        ForgetOutput(*output);
    if (w.xdgOutputs != nullptr)
        zxdg_output_manager_v1_destroy(w.xdgOutputs);
    if (w.viewporter != nullptr)
        wp_viewporter_destroy(w.viewporter);
    if (w.wmBase != nullptr)
        xdg_wm_base_destroy(w.wmBase);
    // The layer shell has a destroy request only from its version 3.
    ReleaseProxy(w.layerShell, zwlr_layer_shell_v1_destroy,
                 +[](zwlr_layer_shell_v1* shell) { wl_proxy_destroy(reinterpret_cast<wl_proxy*>(shell)); },
                 ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION);
    if (w.shm != nullptr)
        wl_shm_destroy(w.shm);
    if (w.compositor != nullptr)
        wl_compositor_destroy(w.compositor);
    wl_registry_destroy(w.registry);
    wl_display_disconnect(w.display);
    w.display = nullptr;
}

void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    wayland.incoming.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
}

void Fail(const std::string& why)
{
    if (wayland.failed)
        return;
    wayland.failed = true;
    std::fprintf(stderr, "varbules: %s\n", why.c_str());
    DestroyEveryWindow();
}

WaylandWindow* WindowOn(wl_surface* surface)
{
    if (surface == nullptr)
        return nullptr;
    for (auto& window : Desk().windows) {
        WaylandWindow& w = WRecord(*window);
        if (w.alive && w.surface == surface)
            return &w;
    }
    return nullptr;
}

bool display::TakeMessage(MSG* message)
{
    WaylandDisplay& w = wayland;
    while (Desk().posted.empty() && !w.failed) {
        if (!w.incoming.empty()) {
            *message = w.incoming.front();
            w.incoming.pop_front();
            if (message->hwnd != nullptr && !Record(message->hwnd).alive)
                continue;
            return true;
        }
        const int dispatched = wl_display_dispatch_pending(w.display);
        if (dispatched < 0)
            ConnectionLost();
        if (dispatched <= 0)
            return false;
    }
    return false;
}

void display::WaitForEvents(int wakeFd)
{
    WaylandDisplay& w = wayland;
    if (w.failed)
        return;
    // Events already read and queued are dispatched first; only an empty queue may wait.
    if (wl_display_prepare_read(w.display) != 0)
        return;
    wl_display_flush(w.display);
    pollfd fds[2] = {{wl_display_get_fd(w.display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (poll(fds, 2, -1) > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        if (wl_display_read_events(w.display) != 0)
            ConnectionLost();
    } else {
        wl_display_cancel_read(w.display);
    }
}
