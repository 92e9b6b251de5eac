#pragma once

#include <cstdint>

#include "desktop_api.h"

// What Wayland input means to the saver, in Win32 messages. Plain logic, without a
// connection, so that it is tested alone.

// The message for a pointer button: left, right and middle press as on Windows; any
// other button (the side buttons, which Windows reports with messages the saver leaves
// alone), and every release, is none (0). button is a Linux input event code.
UINT ButtonMessage(std::uint32_t button, bool pressed);

// A key counts when it goes down; its release, a keymap, a keyboard's entering a surface
// and a change of modifiers are no input (an idle daemon, or a tool's new virtual
// keyboard, sends those without anyone touching a key).
UINT KeyMessage(bool pressed);

// Where the pointer stands, as GetCursorPos answers it. Wayland tells a client where the
// pointer is only while it is over one of the client's surfaces, so before that nothing
// is known: the first place it is seen counts as where it stood when the saver started,
// and every answer is measured from there. A move counts once the pointer has left that
// whole pixel, as on Windows; moves within it are not moves.
class PointerTracker {
public:
    // A position the compositor reported, in whole pixels of the layout.
    void Seen(std::int32_t x, std::int32_t y);
    // (0, 0) until the pointer is first seen; then the way it has gone since.
    POINT Position() const;

private:
    bool seen_ = false;
    std::int32_t firstX_ = 0;
    std::int32_t firstY_ = 0;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};
