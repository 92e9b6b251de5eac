#pragma once

#include "desktop_api.h"

// Every message for the saver window passes three layers, each answering it or handing
// it on: SaverClassProc, SaverWindowProc, DefaultSaverProc, and last DefWindowProcA.

// The outer layer: hides the cursor at creation, posts the quit message at destruction,
// keeps input away from the saver once it is closing and swallows the system commands
// that would switch away from a full-screen saver.
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The system commands that would switch away from a full-screen saver: closing it,
// starting the saver anew, and moving to the next or previous window.
bool IsSwitchAwayCommand(WPARAM command);

// The inner layer: which input ends a full-screen run, and the password check before it.
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the run on WM_CLOSE, after the password verifier (if any) has accepted.
void CloseSaver(HWND window);

// The private message that asks the inner layer for the password verdict.
constexpr UINT kVerifyPasswordMessage = WM_APP;
