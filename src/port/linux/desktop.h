#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "desktop_api.h"
#include "port/display_surface.h"
#include "port/linux/screen_rect.h"
#include "port/solid_brush.h"
#include "sim/surface.h"

// The Linux saver's desktop: the Win32 calls the host makes, implemented once for every
// display. Classes, window records and their procedures, the message queue, brushes,
// monitors, threads and stop signals are the same whatever shows the windows; what does
// differ is in namespace display, one implementation per display (port/x11,
// port/wayland). All of it belongs to the main thread, except where a comment says
// otherwise.

// What an HWND points to. Each display keeps its own fields in a record derived from
// this one. Records are never freed while the program runs, so a stale handle still
// points at a record that says the window is gone.
struct DesktopWindow {
    virtual ~DesktopWindow() = default;

    WNDPROC procedure = nullptr;  // none for another program's window
    HWND parent = nullptr;
    bool ownWindow = false;       // made for us, so its display side goes with DestroyWindow
    bool fullScreen = false;      // takes the keyboard once it is visible
    bool alive = true;
    bool destroying = false;      // WM_DESTROY is under way
    bool goneFromOutside = false; // the display destroyed it before we did
    // How often the main thread has painted it (FillRect), read by the animation thread:
    // what it painted over is drawn again, text included.
    std::atomic<std::uint32_t> erasures{0};
};

// A CreateWindowExA call, for the display to make its side of the window.
struct WindowRequest {
    DWORD exStyle = 0;
    DWORD style = 0;
    const char* name = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
};

// What each display implements for the desktop. A program links one display (the X11
// one for varbules, the Wayland one for varbules-wayland), so the choice is the linker's.
namespace display {

// The display's side of a new window, its procedure not yet set; none when it cannot be
// made.
std::unique_ptr<DesktopWindow> MakeWindow(const WindowRequest& request);
// The window's procedures are done with it: its display side goes.
void DestroyWindow(DesktopWindow& window);
void ShowWindow(DesktopWindow& window);
// Paints at once whatever is waiting to be painted (UpdateWindow).
void UpdateWindow(HWND window);
// The client area's size; false when the window no longer exists.
bool ClientSize(DesktopWindow& window, int* width, int* height);
// The main thread's painting: a rectangle of the client area in one colour.
void Fill(DesktopWindow& window, const RECT& rect, COLORREF colour);
// The cursor over every window of ours: shown, or hidden.
void ShowCursor(bool shown);
// Where the pointer stands, in Win32 screen coordinates.
POINT CursorPosition();
// Reads what the display has sent without waiting, and hands out the next window
// message it means, if there is one. It stops reading early when what it read has
// posted a message (Desk().posted), which is to be handed out first.
bool TakeMessage(MSG* message);
// Waits until the display has something to read, or until wakeFd can be read.
void WaitForEvents(int wakeFd);
// The animation thread's drawing on the window; called on that thread. Only what the
// main thread wrote before it started the thread may be read here.
std::unique_ptr<DisplaySurface> OpenSurface(HWND window);
// The time between two pictures the display shows the window, in microseconds; the same
// rules as OpenSurface.
std::uint32_t FramePeriodMicros(HWND window);

}  // namespace display

struct Desktop {
    // The monitors in the display's coordinates, the primary one first; never empty once
    // the display is open. Win32's screen coordinates start at the primary's top left.
    std::vector<ScreenRect> monitors;
    // A saver drawing on a window it was given has that window for its screen: it
    // covers no monitor of its own.
    bool coversMonitors = true;

    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<DesktopWindow>> windows;
    std::deque<std::unique_ptr<SolidBrush>> brushes;
    std::deque<MSG> posted;
    void (*windowCreated)(HWND) = nullptr;
};

Desktop& Desk();

inline const ScreenRect& PrimaryMonitor()
{
    return Desk().monitors.front();
}

inline DesktopWindow& Record(HWND window)
{
    return *reinterpret_cast<DesktopWindow*>(window);
}

inline HWND Handle(DesktopWindow& window)
{
    return reinterpret_cast<HWND>(&window);
}

// A window's drawing context for the main thread is its record: FillRect needs nothing
// more than the window behind it.
inline HDC DcOf(HWND window)
{
    return reinterpret_cast<HDC>(window);
}

inline const SolidBrush& BrushOf(HBRUSH brush)
{
    return *reinterpret_cast<const SolidBrush*>(brush);
}

// Hands a display's window to the desktop and returns its handle; for windows the host
// did not make (another program's, known only as a parent).
HWND AddWindow(std::unique_ptr<DesktopWindow> window);

// Destroys every window of the program; used when a stop signal arrives.
void DestroyEveryWindow();

// SIGTERM and SIGINT from now on destroy every window of the program, which stops the
// animation and ends the message loop. The handler itself only writes to a pipe.
bool EndOnStopSignals();
// The read end of the stop-signal pipe, or -1. True if a stop signal has arrived since
// the last call; reading empties the pipe.
int StopSignalFd();
bool TakeStopSignal();

// Called once a window's WM_CREATE has been handled, before it is shown.
using WindowCreatedHook = void (*)(HWND window);
void SetWindowCreatedHook(WindowCreatedHook hook);
