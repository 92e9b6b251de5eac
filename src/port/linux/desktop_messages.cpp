// The message queue: messages posted by the program first, then what the display sends,
// read as the window messages Win32 would have delivered. Main thread only.

#include "port/linux/desktop.h"

void DestroyEveryWindow()
{
    // Records are only ever added, and destroying a window adds none, so plain indices
    // stay valid while the windows go one by one.
    Desktop& d = Desk();
    for (std::size_t i = 0; i < d.windows.size(); ++i)
        if (d.windows[i]->alive && d.windows[i]->procedure != nullptr)
            DestroyWindow(Handle(*d.windows[i]));
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT)
{
    Desktop& d = Desk();
    for (;;) {
        if (!d.posted.empty()) {
            *message = d.posted.front();
            d.posted.pop_front();
            return message->message == WM_QUIT ? 0 : 1;
        }
        if (TakeStopSignal()) {
            // A stop is not a user's close request that a password could refuse: the
            // windows go, the animation stops, and the quit message ends the loop.
            DestroyEveryWindow();
            continue;
        }
        if (display::TakeMessage(message))
            return 1;
        // The display stops reading once what it read has posted a message, which goes
        // first; with none posted, everything that had arrived has been read.
        if (d.posted.empty())
            display::WaitForEvents(StopSignalFd());
    }
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;  // no character messages: the saver never reads WM_CHAR
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message->hwnd == nullptr)
        return 0;
    DesktopWindow& w = Record(message->hwnd);
    if (!w.alive || w.procedure == nullptr)
        return 0;
    return w.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != nullptr && !Record(window).alive)
        return FALSE;
    Desk().posted.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr)
        return 0;
    DesktopWindow& w = Record(window);
    if (!w.alive || w.procedure == nullptr)
        return 0;
    return w.procedure(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    Desk().posted.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}
