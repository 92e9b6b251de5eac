#pragma once

#include "globals/saver_globals.h"
#include "port/fake/fake_desktop.h"

// A new desktop and the saver's state as a new process starts with it, for tests that run
// the host one scenario after another in one process.
inline void StartAsFreshProcess()
{
    ResetFakeDesktop();
    saver.previewMode = 0;
    saver.win9xPasswords = 0;
    saver.passwordModule = nullptr;
    saver.verifyPassword = nullptr;
    saver.checkingPassword = 0;
    saver.closing = 0;
    saver.savedCursorPos = {0, 0};
    saver.varbuleCount = 32;
    saver.saverWindow = nullptr;
    saver.coverCount = 0;
}
