#pragma once

// On Windows the host is written against the real thing.
#include <windows.h>
