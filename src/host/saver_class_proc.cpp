#include "globals/saver_globals.h"
#include "host/saver_procs.h"
#include "host/saver_window_proc.h"

bool IsSwitchAwayCommand(WPARAM command)
{
    return command == SC_CLOSE || command == SC_SCREENSAVE || command == SC_NEXTWINDOW || command == SC_PREVWINDOW;
}

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (saver.previewMode == 0)
            SetCursor(nullptr);
        GetCursorPos(&saver.savedCursorPos);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_PAINT:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Once the verdict is in, the window is on its way out: input is no concern of ours.
        if (saver.closing != 0)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (saver.previewMode == 0 && IsSwitchAwayCommand(wParam))
            return 0;
        break;
    case WM_TIMER:
        if (saver.closing != 0)
            return 0;
        break;
    default:
        break;
    }
    return SaverWindowProc(window, message, wParam, lParam);
}
