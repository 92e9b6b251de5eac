#include "globals/saver_globals.h"
#include "host/saver_procs.h"

namespace {

// Input asks for the close by posting WM_CLOSE, except while the password dialog is up.
void RequestClose(HWND window)
{
    if (saver.checkingPassword == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

// The cursor is read afresh: a mouse-move message also comes when a window appears
// under a resting cursor, and that must not end the saver.
void CloseIfCursorMoved(HWND window)
{
    POINT now;
    GetCursorPos(&now);
    if (now.x != saver.savedCursorPos.x || now.y != saver.savedCursorPos.y)
        RequestClose(window);
}

}  // namespace

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (saver.previewMode != 0 || saver.closing != 0)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        CloseSaver(window);
        return 0;
    case WM_SETCURSOR:
        if (saver.checkingPassword != 0)
            break;  // the password dialog wants its cursor
        SetCursor(nullptr);
        return 1;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (wParam == 0)
            CloseIfCursorMoved(window);
        break;
    case WM_MOUSEMOVE:
        CloseIfCursorMoved(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RequestClose(window);
        break;
    case kVerifyPasswordMessage:
        return saver.verifyPassword != nullptr ? saver.verifyPassword(window) : 1;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CloseSaver(HWND window)
{
    if (saver.checkingPassword != 0 || saver.closing != 0)
        return;
    if (saver.verifyPassword != nullptr) {
        // The verifier runs a modal dialog; meanwhile this window's procedures are entered
        // again, and checkingPassword keeps that input from asking for another close.
        saver.checkingPassword = 1;
        saver.closing = static_cast<std::int32_t>(SendMessageA(window, kVerifyPasswordMessage, 0, 0));
        saver.checkingPassword = 0;
    } else {
        saver.closing = 1;
    }
    if (saver.closing != 0)
        DestroyWindow(window);
    else
        GetCursorPos(&saver.savedCursorPos);  // moving to the dialog must not close at once
}
