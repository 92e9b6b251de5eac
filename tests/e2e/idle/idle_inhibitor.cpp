// A Wayland client that holds idle back, as a video player does: an ordinary window with
// a picture of one colour and an idle inhibitor on its surface, held until the process
// is ended. Prints "inhibiting" once the window has been shown with the inhibitor.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "idle-inhibit-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
xdg_wm_base* wmBase = nullptr;
zwp_idle_inhibit_manager_v1* inhibitManager = nullptr;
bool configured = false;

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0)
        inhibitManager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}

const wl_registry_listener kRegistry = {OnGlobal, [](void*, wl_registry*, std::uint32_t) {}};
const xdg_wm_base_listener kWmBase = {[](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }};
const xdg_surface_listener kSurface = {[](void*, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    configured = true;
}};

wl_buffer* OneColour(int width, int height, std::uint32_t argb)
{
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    for (int k = 0; k < width * height; ++k)
        pixels[k] = argb;
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("idle_inhibitor: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, nullptr);
    wl_display_roundtrip(display);
    if (compositor == nullptr || shm == nullptr || wmBase == nullptr || inhibitManager == nullptr) {
        std::fputs("idle_inhibitor: the compositor lacks xdg-shell or the idle inhibitor\n", stderr);
        return 1;
    }
    xdg_wm_base_add_listener(wmBase, &kWmBase, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(wmBase, surface);
    xdg_surface_add_listener(xdgSurface, &kSurface, nullptr);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdgSurface);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    wl_surface_commit(surface);
    while (!configured && wl_display_dispatch(display) >= 0) {
    }
    zwp_idle_inhibit_manager_v1_create_inhibitor(inhibitManager, surface);
    wl_surface_attach(surface, OneColour(320, 240, 0xFF446688), 0, 0);
    wl_surface_damage(surface, 0, 0, 320, 240);
    wl_surface_commit(surface);
    wl_display_roundtrip(display);
    std::puts("inhibiting");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
