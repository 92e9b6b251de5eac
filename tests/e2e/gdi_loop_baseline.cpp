// A yardstick for the saver's cost under Wine: the plainest program doing the same GDI
// work per frame. A full-screen topmost popup (class VarbulesGdiBaseline, title
// "GDI BASELINE"), and a drawing thread that, per frame, for each of 64 discs fills its
// region with the background, moves the region and fills it with the disc's colour, then
// draws three lines of text and sleeps 5 ms. No collisions, no rate arithmetic.
//
// A key or mouse button press ends it (exit code 0). When VARBULES_FRAME_LOG names a file,
// the drawing thread writes one line there as it ends, the way the saver does:
// frames=<N> first_frame_ms=<ms since process start> last_frame_ms=<ms since process start>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDiscs = 64;
constexpr int kDiameter = 30;  // what the saver gives 64 discs on a 768-pixel-high screen
constexpr DWORD kPauseMs = 5;
const char kClass[] = "VarbulesGdiBaseline";
const COLORREF kBackground = RGB(0, 0, 128);

HWND g_window;
volatile LONG g_stop;
HANDLE g_thread;
unsigned long long g_processStart;  // 100 ns units, the system's file time

unsigned long long Now100ns()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

unsigned long MsSinceProcessStart()
{
    return static_cast<unsigned long>((Now100ns() - g_processStart) / 10000ULL);
}

struct Disc {
    int x, y, dx, dy;
    HRGN region;
    HBRUSH brush;
};

DWORD WINAPI DrawingThread(LPVOID)
{
    HDC dc = GetDC(g_window);
    RECT client;
    GetClientRect(g_window, &client);
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &client, background);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, kBackground);
    SetBkMode(dc, OPAQUE);

    std::srand(GetTickCount());
    Disc discs[kDiscs];
    for (Disc& d : discs) {
        d.x = std::rand() % 504;
        d.y = std::rand() % 504;
        d.dx = 1 + std::rand() % 7;
        d.dy = 1 + std::rand() % 7;
        d.region = CreateEllipticRgn(d.x, d.y, d.x + kDiameter, d.y + kDiameter);
        const int r = 255 - (std::rand() & 0xF0), g = 255 - (std::rand() & 0xF0), b = 255 - (std::rand() & 0xF0);
        d.brush = CreateSolidBrush(RGB(r, g, b));
    }

    const char label[] = "Actions per sec:";
    const char credit[] = "GDI loop baseline for the Varbules screen saver";
    SIZE creditSize;
    GetTextExtentPoint32A(dc, credit, static_cast<int>(sizeof credit - 1), &creditSize);
    SIZE labelSize;
    GetTextExtentPoint32A(dc, label, static_cast<int>(sizeof label - 1), &labelSize);
    char rate[32] = "000.00";
    unsigned long frames = 0, firstMs = 0, lastMs = 0;
    DWORD rateBase = GetTickCount();

    while (g_stop == 0) {
        for (Disc& d : discs) {
            FillRgn(dc, d.region, background);
            int nx = d.x + d.dx, ny = d.y + d.dy;
            if (nx < 0 || nx + kDiameter > client.right) {
                d.dx = -d.dx;
                nx = d.x + d.dx;
            }
            if (ny < 0 || ny + kDiameter > client.bottom) {
                d.dy = -d.dy;
                ny = d.y + d.dy;
            }
            OffsetRgn(d.region, nx - d.x, ny - d.y);
            d.x = nx;
            d.y = ny;
            FillRgn(dc, d.region, d.brush);
        }
        if (GetTickCount() - rateBase > 1000) {
            std::snprintf(rate, sizeof rate, "%lu.00", frames % 1000);
            rateBase = GetTickCount();
        }
        TextOutA(dc, 5, 1, label, static_cast<int>(sizeof label - 1));
        TextOutA(dc, 5 + labelSize.cx + 8, 1, rate, lstrlenA(rate));
        TextOutA(dc, client.right - creditSize.cx, client.bottom - creditSize.cy - 1, credit,
                 static_cast<int>(sizeof credit - 1));
        ++frames;
        lastMs = MsSinceProcessStart();
        if (frames == 1)
            firstMs = lastMs;
        Sleep(kPauseMs);
    }

    for (Disc& d : discs) {
        DeleteObject(d.region);
        DeleteObject(d.brush);
    }
    DeleteObject(background);
    ReleaseDC(g_window, dc);

    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("VARBULES_FRAME_LOG", path, sizeof path);
    if (n > 0 && n < sizeof path) {
        if (FILE* f = std::fopen(path, "wb")) {
            std::fprintf(f, "frames=%lu first_frame_ms=%lu last_frame_ms=%lu\n", frames, firstMs, lastMs);
            std::fclose(f);
        }
    }
    return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        DestroyWindow(window);
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        InterlockedExchange(&g_stop, 1);
        if (g_thread) {
            WaitForSingleObject(g_thread, 5000);
            CloseHandle(g_thread);
        }
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    g_processStart = (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc))
        return 1;
    g_window = CreateWindowExA(WS_EX_TOPMOST, kClass, "GDI BASELINE", WS_POPUP | WS_VISIBLE, 0, 0,
                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                               instance, nullptr);
    if (!g_window)
        return 1;
    g_thread = CreateThread(nullptr, 0, DrawingThread, nullptr, 0, nullptr);
    if (!g_thread)
        return 1;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
