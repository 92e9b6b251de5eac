#pragma once

#include "desktop_api.h"

// The settings dialog: the user picks 16, 32 or 64 varbules, and OK stores the choice in
// the settings file. OK is the only way out; Escape and the close box leave it open.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
