#include "port/x11/event_translation.h"

namespace {

TranslatedEvent Input(UINT message, WPARAM wParam, int x, int y, int rootX, int rootY)
{
    TranslatedEvent t;
    t.meaning = EventMeaning::Message;
    t.message = message;
    t.wParam = wParam;
    t.lParam = PackPoint(x, y);
    t.screenPoint = POINT{rootX, rootY};
    return t;
}

TranslatedEvent Plain(UINT message, WPARAM wParam)
{
    TranslatedEvent t;
    t.meaning = EventMeaning::Message;
    t.message = message;
    t.wParam = wParam;
    return t;
}

// Buttons 1 to 3 are the left, middle and right buttons. The wheel (4 to 7) and the side
// buttons have messages of their own on Windows that the saver leaves alone, so they are
// not turned into presses here.
TranslatedEvent ButtonPressed(const XButtonEvent& b)
{
    UINT message = 0;
    switch (b.button) {
    case Button1:
        message = WM_LBUTTONDOWN;
        break;
    case Button2:
        message = WM_MBUTTONDOWN;
        break;
    case Button3:
        message = WM_RBUTTONDOWN;
        break;
    default:
        return {};
    }
    return Input(message, 0, b.x, b.y, b.x_root, b.y_root);
}

// Focus that merely moves into one of the window's own children, or the focus events a
// keyboard grab of our own causes, are no loss of activation.
bool IsRealFocusChange(const XFocusChangeEvent& f)
{
    return (f.mode == NotifyNormal || f.mode == NotifyWhileGrabbed) && f.detail != NotifyInferior &&
           f.detail != NotifyPointer;
}

}  // namespace

TranslatedEvent TranslateEvent(const XEvent& event, Atom deleteWindowAtom)
{
    switch (event.type) {
    case KeyPress: {
        const XKeyEvent& k = event.xkey;
        return Input(WM_KEYDOWN, k.keycode, k.x, k.y, k.x_root, k.y_root);
    }
    case ButtonPress:
        return ButtonPressed(event.xbutton);
    case MotionNotify: {
        const XMotionEvent& m = event.xmotion;
        return Input(WM_MOUSEMOVE, 0, m.x, m.y, m.x_root, m.y_root);
    }
    case FocusIn:
        return IsRealFocusChange(event.xfocus) ? Plain(WM_ACTIVATE, 1) : TranslatedEvent{};
    case FocusOut:
        return IsRealFocusChange(event.xfocus) ? Plain(WM_ACTIVATE, 0) : TranslatedEvent{};
    case Expose:
        // The whole client area is painted at every erase, so one erase per run of
        // exposures is enough: the last one, which says no more follow.
        return event.xexpose.count == 0 ? Plain(WM_ERASEBKGND, 0) : TranslatedEvent{};
    case ClientMessage: {
        const XClientMessageEvent& c = event.xclient;
        if (c.format == 32 && static_cast<Atom>(c.data.l[0]) == deleteWindowAtom && deleteWindowAtom != None)
            return Plain(WM_CLOSE, 0);
        return {};
    }
    case DestroyNotify: {
        // Also reported to a parent for each of its children; only the window's own
        // destruction counts.
        TranslatedEvent t;
        if (event.xdestroywindow.window == event.xdestroywindow.event)
            t.meaning = EventMeaning::Gone;
        return t;
    }
    case MapNotify: {
        TranslatedEvent t;
        if (event.xmap.window == event.xmap.event)
            t.meaning = EventMeaning::Mapped;
        return t;
    }
    default:
        return {};
    }
}
