#pragma once

// The part of the Win32 interface the portable code is written against, for platforms
// without Win32. Only what the code actually calls is declared here; the Linux port and
// the unit tests' fake desktop provide it.

#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using COLORREF = DWORD;

struct HINSTANCE__;
struct HWND__;
struct HBRUSH__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HWND = HWND__*;
using HBRUSH = HBRUSH__*;
using HANDLE = void*;

struct POINT {
    LONG x;
    LONG y;
};

// Copies string-table entry id into buffer: at most size - 1 characters, always
// terminated. Returns the number of characters copied, 0 for an unknown id.
int LoadStringA(HINSTANCE instance, UINT id, char* buffer, int size);
