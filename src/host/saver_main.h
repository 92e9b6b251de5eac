#pragma once

#include "desktop_api.h"

// The program's work once started: sets up the Windows 9x password check where the
// platform needs the saver to ask for it, then does what the command line's first switch
// letter says. Returns the exit code.
int SaverMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

// The settings dialog, owned by the foreground window. Returns the dialog's end code.
INT_PTR RunConfigDialog();

// The platform's own dialog for changing the screen-saver password.
void ChangePassword(HWND owner);
