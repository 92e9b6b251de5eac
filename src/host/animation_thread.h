#pragma once

#include "desktop_api.h"

// The body of the animation thread; its one argument is the address of the saver's
// AnimationBlock. It draws into the block's window until the block's stopRequested is
// set, then lets its drawing context go and ends. It never waits for the main thread.
DWORD WINAPI AnimationThread(LPVOID animationBlock);
