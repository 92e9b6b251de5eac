#pragma once

// The part of the Win32 interface the portable code is written against, for platforms
// without Win32. Only what the code actually uses is declared here; the Linux port and
// the unit tests' fake desktop implement it (what only the fake and its tests need is in
// fake_desktop.h). Values are Win32's own.

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ATOM = std::uint16_t;
using COLORREF = DWORD;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPVOID = void*;
using LPCSTR = const char*;
using LPSTR = char*;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct HINSTANCE__;
struct HWND__;
struct HBRUSH__;
struct HDC__;
struct HICON__;
struct HCURSOR__;
struct HMENU__;
struct HMONITOR__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HWND = HWND__*;
using HBRUSH = HBRUSH__*;
using HDC = HDC__*;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HMENU = HMENU__*;
using HMONITOR = HMONITOR__*;
using HGDIOBJ = void*;
using HANDLE = void*;
struct HKEY__;
using HKEY = HKEY__*;
using LSTATUS = LONG;
using FARPROC = INT_PTR(WINAPI*)();

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

using LPCRECT = const RECT*;

// A monitor's rectangle and work area in virtual-screen coordinates, in which the primary
// monitor's top-left corner is (0, 0).
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
constexpr DWORD MONITORINFOF_PRIMARY = 1;
using MONITORENUMPROC = BOOL(CALLBACK*)(HMONITOR, HDC, RECT*, LPARAM);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

#define MAKEINTRESOURCEA(id) (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<std::uint16_t>(id))))

// Messages.
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_APP = 0x8000;

// System commands.
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_PREVWINDOW = 0xF050;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_SCREENSAVE = 0xF140;

// Window and class styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_SAVEBITS = 0x0800;

// Dialogs and buttons.
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr WPARAM BST_CHECKED = 1;
constexpr UINT HELP_CONTENTS = 3;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr UINT MB_OK = 0;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr inline unsigned LOWORD(std::uintptr_t value)
{
    return static_cast<unsigned>(value & 0xFFFF);
}

// The platform.
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr LSTATUS ERROR_SUCCESS = 0;
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

// Odds and ends.
constexpr UINT SPI_SCREENSAVERRUNNING = 97;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr UINT MB_ICONERROR = 0x10;
constexpr int BLACK_BRUSH = 4;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;

// Strings: copies entry id into buffer, at most size - 1 characters, always terminated.
int LoadStringA(HINSTANCE instance, UINT id, char* buffer, int size);

// Windows and messages.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL UpdateWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL GetClientRect(HWND window, RECT* rect);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
int GetSystemMetrics(int index);
BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);

// The cursor.
HCURSOR SetCursor(HCURSOR cursor);
BOOL GetCursorPos(POINT* point);

// Painting.
HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int object);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

// Threads and modules.
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, DWORD* threadId);
BOOL SetThreadPriority(HANDLE thread, int priority);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL CloseHandle(HANDLE handle);
BOOL FreeLibrary(HMODULE module);
HMODULE LoadLibraryA(LPCSTR name);
HMODULE GetModuleHandleA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

// The platform, the registry and other windows.
BOOL GetVersionExA(OSVERSIONINFOA* info);
LSTATUS RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, unsigned char* data, DWORD* size);
LSTATUS RegCloseKey(HKEY key);
BOOL IsWindow(HWND window);
HWND GetForegroundWindow();

// Dialogs.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckRadioButton(HWND dialog, int first, int last, int id);
BOOL WinHelpA(HWND window, LPCSTR helpFile, UINT command, UINT_PTR data);
