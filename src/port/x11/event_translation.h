#pragma once

#include <X11/Xlib.h>

#include "desktop_api.h"
#include "port/linux/pack_point.h"

// What an X event means to the Win32 message loop that stands on top of X.
enum class EventMeaning {
    Nothing,   // no message: the host never hears of it
    Message,   // a window message for the event's window (message, wParam, lParam)
    Gone,      // the window was destroyed from outside, by its parent or its owner
    Mapped,    // the window has become visible
};

struct TranslatedEvent {
    EventMeaning meaning = EventMeaning::Nothing;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    POINT screenPoint{0, 0};  // where the pointer stood, for input messages
};

// Reads an X event the way Win32 would have delivered it: a key press as WM_KEYDOWN, a
// press of one of the three buttons as its WM_xBUTTONDOWN, pointer motion as WM_MOUSEMOVE, the loss of
// keyboard focus as a deactivation, the last of a run of exposures as one background
// erase (its wParam, the drawing context, is the caller's to fill in), and the window
// manager's close request as WM_CLOSE. Releases are not selected on any window: the saver
// acts on presses alone. deleteWindowAtom is WM_DELETE_WINDOW's atom.
TranslatedEvent TranslateEvent(const XEvent& event, Atom deleteWindowAtom);
