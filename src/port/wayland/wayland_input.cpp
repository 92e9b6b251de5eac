// Input from the compositor's seats, read as the window messages Win32 would deliver:
// keys, buttons, touch and pointer motion on any surface of ours. An ordinary window
// (--window) hears none of it: there, as on X11, input belongs to the desktop.

#include <unistd.h>

#include <cmath>

#include "port/linux/pack_point.h"
#include "port/wayland/wayland_state.h"

namespace {

// The window of ours that takes input on that surface, or none.
WaylandWindow* InputWindow(wl_surface* surface)
{
    WaylandWindow* window = WindowOn(surface);
    return window != nullptr && window->role != WindowRole::Framed && window->procedure != nullptr ? window : nullptr;
}

struct SeatFocus {
    wl_surface* pointerSurface = nullptr;
    wl_surface* keyboardSurface = nullptr;
};
SeatFocus focus;

// The pointer at a point of a surface, in whole pixels of the layout (a surface's
// coordinates are the layout's, from its output's corner): seen there, and a move.
void PointerAt(wl_surface* surface, wl_fixed_t sx, wl_fixed_t sy)
{
    WaylandWindow* window = InputWindow(surface);
    if (window == nullptr)
        return;
    const auto x = static_cast<std::int32_t>(std::floor(wl_fixed_to_double(sx)));
    const auto y = static_cast<std::int32_t>(std::floor(wl_fixed_to_double(sy)));
    const std::int32_t left = window->output != nullptr ? window->output->x : 0;
    const std::int32_t top = window->output != nullptr ? window->output->y : 0;
    W().pointer.Seen(left + x, top + y);
    Deliver(Handle(*window), WM_MOUSEMOVE, 0, PackPoint(x * window->scale, y * window->scale));
}

const wl_pointer_listener kPointerListener = {
    // enter: a surface appearing under a resting pointer is no move; the tracker takes
    // the first place it learns of for where the pointer stood.
    [](void*, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t sx, wl_fixed_t sy) {
        focus.pointerSurface = surface;
        W().lastPointer = pointer;
        W().pointerSerial = serial;
        ApplyCursor();
        PointerAt(surface, sx, sy);
    },
    // leave
    [](void*, wl_pointer*, std::uint32_t, wl_surface* surface) {
        if (focus.pointerSurface == surface)
            focus.pointerSurface = nullptr;
    },
    // motion
    [](void*, wl_pointer*, std::uint32_t, wl_fixed_t sx, wl_fixed_t sy) { PointerAt(focus.pointerSurface, sx, sy); },
    // button
    [](void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button, std::uint32_t state) {
        const UINT message = ButtonMessage(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
        WaylandWindow* window = InputWindow(focus.pointerSurface);
        if (message != 0 && window != nullptr)
            Deliver(Handle(*window), message, 0, 0);
    },
    // axis: the wheel has messages of its own on Windows, which the saver leaves alone.
    [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
    // frame, axis_source, axis_stop, axis_discrete, axis_value120
    [](void*, wl_pointer*) {},
    [](void*, wl_pointer*, std::uint32_t) {},
    [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
    [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
    [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
};

const wl_keyboard_listener kKeyboardListener = {
    // keymap: the saver reads no key's meaning, so the keymap's file is only closed.
    [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); },
    // enter: the keys already down when the keyboard came were pressed before.
    [](void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) { focus.keyboardSurface = surface; },
    // leave
    [](void*, wl_keyboard*, std::uint32_t, wl_surface* surface) {
        if (focus.keyboardSurface == surface)
            focus.keyboardSurface = nullptr;
    },
    // key: evdev codes are 8 below X's key codes, which X11 hands on as the key's wParam.
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
        const UINT message = KeyMessage(state == WL_KEYBOARD_KEY_STATE_PRESSED);
        WaylandWindow* window = InputWindow(focus.keyboardSurface);
        if (message != 0 && window != nullptr)
            Deliver(Handle(*window), message, key + 8, 0);
    },
    // modifiers, repeat_info
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
};

const wl_touch_listener kTouchListener = {
    // down: a touch is a press of the left button where it touches.
    [](void*, wl_touch*, std::uint32_t, std::uint32_t, wl_surface* surface, std::int32_t, wl_fixed_t, wl_fixed_t) {
        WaylandWindow* window = InputWindow(surface);
        if (window != nullptr)
            Deliver(Handle(*window), WM_LBUTTONDOWN, 0, 0);
    },
    // up, motion, frame, cancel, shape, orientation
    [](void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {},
    [](void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {},
    [](void*, wl_touch*) {},
    [](void*, wl_touch*) {},
    [](void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {},
    [](void*, wl_touch*, std::int32_t, wl_fixed_t) {},
};

const wl_seat_listener kSeatListener = {
    // capabilities: a seat's devices come and go (a mouse plugged in, a virtual keyboard).
    [](void* data, wl_seat* seat, std::uint32_t capabilities) {
        auto& s = *static_cast<Seat*>(data);
        if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && s.pointer == nullptr) {
            s.pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(s.pointer, &kPointerListener, &s);
        } else if ((capabilities & WL_SEAT_CAPABILITY_POINTER) == 0) {
            if (W().lastPointer == s.pointer)
                W().lastPointer = nullptr;
            ReleaseProxy(s.pointer, wl_pointer_release, wl_pointer_destroy, WL_POINTER_RELEASE_SINCE_VERSION);
        }
        if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && s.keyboard == nullptr) {
            s.keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(s.keyboard, &kKeyboardListener, &s);
        } else if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) == 0) {
            ReleaseProxy(s.keyboard, wl_keyboard_release, wl_keyboard_destroy, WL_KEYBOARD_RELEASE_SINCE_VERSION);
        }
        if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0 && s.touch == nullptr) {
            s.touch = wl_seat_get_touch(seat);
            wl_touch_add_listener(s.touch, &kTouchListener, &s);
        } else if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) == 0) {
            ReleaseProxy(s.touch, wl_touch_release, wl_touch_destroy, WL_TOUCH_RELEASE_SINCE_VERSION);
        }
    },
    // name
    [](void*, wl_seat*, const char*) {},
};

}  // namespace

void AddSeat(wl_seat* seat)
{
    auto s = std::make_unique<Seat>();
    s->seat = seat;
    wl_seat_add_listener(seat, &kSeatListener, s.get());
    W().seats.push_back(std::move(s));
}

void ReleaseSeats()
{
    for (auto& s : W().seats) {
        ReleaseProxy(s->pointer, wl_pointer_release, wl_pointer_destroy, WL_POINTER_RELEASE_SINCE_VERSION);
        ReleaseProxy(s->keyboard, wl_keyboard_release, wl_keyboard_destroy, WL_KEYBOARD_RELEASE_SINCE_VERSION);
        ReleaseProxy(s->touch, wl_touch_release, wl_touch_destroy, WL_TOUCH_RELEASE_SINCE_VERSION);
        ReleaseProxy(s->seat, wl_seat_release, wl_seat_destroy, WL_SEAT_RELEASE_SINCE_VERSION);
    }
    W().seats.clear();
    W().lastPointer = nullptr;
}

void ApplyCursor()
{
    // Over our own surfaces the pointer shows no image while the host hides the cursor;
    // over an ordinary window it keeps the desktop's.
    WaylandDisplay& w = W();
    if (w.lastPointer == nullptr || w.cursorShown || InputWindow(focus.pointerSurface) == nullptr)
        return;
    wl_pointer_set_cursor(w.lastPointer, w.pointerSerial, nullptr, 0, 0);
}
