// GoogleTest comes first: Xlib's headers define None as a macro, which would break its own
// type named None.
#include <gtest/gtest.h>

#include "port/x11/event_translation.h"

namespace {

constexpr Atom kDeleteWindow = 301;

XEvent Event(int type)
{
    XEvent event{};
    event.type = type;
    event.xany.window = 0x400001;
    return event;
}

TEST(PackPoint, PutsXLowAndYHighSixteenBitsEach)
{
    EXPECT_EQ(PackPoint(0x12, 0x34), static_cast<LPARAM>(0x00340012));
    EXPECT_EQ(PackPoint(1919, 1079) & 0xFFFF, 1919);
    EXPECT_EQ((PackPoint(1919, 1079) >> 16) & 0xFFFF, 1079);
    // A point left of or above the window keeps its two's complement in its 16 bits.
    EXPECT_EQ(PackPoint(-1, 0) & 0xFFFF, 0xFFFF);
}

TEST(TranslateEvent, AKeyPressIsKeyDownAndAReleaseNothing)
{
    XEvent press = Event(KeyPress);
    press.xkey.keycode = 38;
    press.xkey.x_root = 10;
    press.xkey.y_root = 20;
    const TranslatedEvent t = TranslateEvent(press, kDeleteWindow);
    EXPECT_EQ(t.meaning, EventMeaning::Message);
    EXPECT_EQ(t.message, WM_KEYDOWN);
    EXPECT_EQ(t.wParam, 38u);
    EXPECT_EQ(t.screenPoint.x, 10);
    EXPECT_EQ(t.screenPoint.y, 20);
    EXPECT_EQ(TranslateEvent(Event(KeyRelease), kDeleteWindow).meaning, EventMeaning::Nothing);
}

TEST(TranslateEvent, TheThreeButtonsPressAndTheWheelDoesNot)
{
    const struct {
        unsigned button;
        UINT message;
    } presses[] = {{Button1, WM_LBUTTONDOWN}, {Button2, WM_MBUTTONDOWN}, {Button3, WM_RBUTTONDOWN}};
    for (const auto& p : presses) {
        XEvent event = Event(ButtonPress);
        event.xbutton.button = p.button;
        event.xbutton.x = 7;
        event.xbutton.y = 9;
        const TranslatedEvent t = TranslateEvent(event, kDeleteWindow);
        EXPECT_EQ(t.meaning, EventMeaning::Message) << p.button;
        EXPECT_EQ(t.message, p.message) << p.button;
        EXPECT_EQ(t.lParam, PackPoint(7, 9));
    }
    for (unsigned wheel : {4u, 5u, 6u, 7u, 8u}) {
        XEvent event = Event(ButtonPress);
        event.xbutton.button = wheel;
        EXPECT_EQ(TranslateEvent(event, kDeleteWindow).meaning, EventMeaning::Nothing) << wheel;
    }
    EXPECT_EQ(TranslateEvent(Event(ButtonRelease), kDeleteWindow).meaning, EventMeaning::Nothing);
}

TEST(TranslateEvent, MotionIsMouseMoveWithClientAndScreenPoints)
{
    XEvent event = Event(MotionNotify);
    event.xmotion.x = 3;
    event.xmotion.y = 4;
    event.xmotion.x_root = 503;
    event.xmotion.y_root = 404;
    const TranslatedEvent t = TranslateEvent(event, kDeleteWindow);
    EXPECT_EQ(t.message, WM_MOUSEMOVE);
    EXPECT_EQ(t.lParam, PackPoint(3, 4));
    EXPECT_EQ(t.screenPoint.x, 503);
    EXPECT_EQ(t.screenPoint.y, 404);
}

TEST(TranslateEvent, LosingTheFocusDeactivatesGainingItActivates)
{
    XEvent out = Event(FocusOut);
    out.xfocus.mode = NotifyNormal;
    out.xfocus.detail = NotifyNonlinear;
    TranslatedEvent t = TranslateEvent(out, kDeleteWindow);
    EXPECT_EQ(t.meaning, EventMeaning::Message);
    EXPECT_EQ(t.message, WM_ACTIVATE);
    EXPECT_EQ(t.wParam, 0u);
    out.xfocus.mode = NotifyWhileGrabbed;
    EXPECT_EQ(TranslateEvent(out, kDeleteWindow).message, WM_ACTIVATE) << "another client took the focus";

    XEvent in = Event(FocusIn);
    in.xfocus.mode = NotifyNormal;
    in.xfocus.detail = NotifyAncestor;
    t = TranslateEvent(in, kDeleteWindow);
    EXPECT_EQ(t.message, WM_ACTIVATE);
    EXPECT_EQ(t.wParam, 1u);
}

TEST(TranslateEvent, FocusMovesThatAreNoLossOfActivationMeanNothing)
{
    XEvent grab = Event(FocusOut);
    grab.xfocus.mode = NotifyGrab;  // our own keyboard grab
    grab.xfocus.detail = NotifyNonlinear;
    EXPECT_EQ(TranslateEvent(grab, kDeleteWindow).meaning, EventMeaning::Nothing);
    grab.xfocus.mode = NotifyUngrab;
    EXPECT_EQ(TranslateEvent(grab, kDeleteWindow).meaning, EventMeaning::Nothing);
    XEvent inferior = Event(FocusOut);
    inferior.xfocus.mode = NotifyNormal;
    inferior.xfocus.detail = NotifyInferior;  // into a child window of ours
    EXPECT_EQ(TranslateEvent(inferior, kDeleteWindow).meaning, EventMeaning::Nothing);
    inferior.xfocus.detail = NotifyPointer;
    EXPECT_EQ(TranslateEvent(inferior, kDeleteWindow).meaning, EventMeaning::Nothing);
}

TEST(TranslateEvent, OnlyTheLastExposureOfARunErases)
{
    XEvent event = Event(Expose);
    event.xexpose.count = 2;
    EXPECT_EQ(TranslateEvent(event, kDeleteWindow).meaning, EventMeaning::Nothing);
    event.xexpose.count = 0;
    const TranslatedEvent t = TranslateEvent(event, kDeleteWindow);
    EXPECT_EQ(t.meaning, EventMeaning::Message);
    EXPECT_EQ(t.message, WM_ERASEBKGND);
}

TEST(TranslateEvent, TheWindowManagersCloseRequestIsWmClose)
{
    XEvent event = Event(ClientMessage);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(kDeleteWindow);
    EXPECT_EQ(TranslateEvent(event, kDeleteWindow).message, WM_CLOSE);
    event.xclient.data.l[0] = static_cast<long>(kDeleteWindow + 1);
    EXPECT_EQ(TranslateEvent(event, kDeleteWindow).meaning, EventMeaning::Nothing);
    event.xclient.data.l[0] = static_cast<long>(kDeleteWindow);
    event.xclient.format = 8;
    EXPECT_EQ(TranslateEvent(event, kDeleteWindow).meaning, EventMeaning::Nothing);
}

TEST(TranslateEvent, DestructionAndMappingCountForTheWindowItself)
{
    XEvent destroyed = Event(DestroyNotify);
    destroyed.xdestroywindow.event = 0x400001;
    destroyed.xdestroywindow.window = 0x400001;
    EXPECT_EQ(TranslateEvent(destroyed, kDeleteWindow).meaning, EventMeaning::Gone);
    destroyed.xdestroywindow.window = 0x400002;  // a child of it, reported to the parent
    EXPECT_EQ(TranslateEvent(destroyed, kDeleteWindow).meaning, EventMeaning::Nothing);

    XEvent mapped = Event(MapNotify);
    mapped.xmap.event = 0x400001;
    mapped.xmap.window = 0x400001;
    EXPECT_EQ(TranslateEvent(mapped, kDeleteWindow).meaning, EventMeaning::Mapped);
    mapped.xmap.window = 0x400002;
    EXPECT_EQ(TranslateEvent(mapped, kDeleteWindow).meaning, EventMeaning::Nothing);
}

TEST(TranslateEvent, OtherEventsMeanNothing)
{
    for (int type : {EnterNotify, LeaveNotify, ConfigureNotify, UnmapNotify, PropertyNotify, VisibilityNotify})
        EXPECT_EQ(TranslateEvent(Event(type), kDeleteWindow).meaning, EventMeaning::Nothing) << type;
}

}  // namespace
