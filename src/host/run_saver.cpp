#include "host/run_saver.h"

#include "globals/saver_globals.h"
#include "host/monitor_covers.h"
#include "host/saver_procs.h"
#include "resources/resource.h"

namespace {

// On Windows 9x the system is told that a saver runs, so that it keeps the keys that
// would switch away from it to itself.
void ReportSaverRunning(UINT running)
{
    if (saver.win9xPasswords != 0 && saver.previewMode == 0) {
        UINT previous = 0;
        SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &previous, 0);
    }
}

HWND CreateSaverWindow(HWND parent)
{
    if (parent != nullptr) {
        RECT client;
        GetClientRect(parent, &client);
        return CreateWindowExA(0, kSaverClassName, kSaverWindowTitle, WS_CHILD, 0, 0, client.right, client.bottom,
                               parent, nullptr, saver.saverInstance, nullptr);
    }
    return CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverWindowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           saver.saverInstance, nullptr);
}

}  // namespace

BOOL RegisterExtraClasses(HINSTANCE)
{
    return 1;
}

BOOL RegisterSaverClass()
{
    WNDCLASSA windowClass{};
    // No CS_DBLCLKS: a double click arrives as two presses, never as its own message.
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC | CS_SAVEBITS;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = saver.saverInstance;
    windowClass.hIcon = LoadIconA(saver.saverInstance, MAKEINTRESOURCEA(IDI_VARBULE));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kSaverClassName;
    if (RegisterClassA(&windowClass) == 0)
        return 0;
    return RegisterExtraClasses(saver.saverInstance);
}

int RunSaver(HWND parent)
{
    ReportSaverRunning(1);
    int result = 0;
    if (RegisterSaverClass() == 0) {
        MessageBoxA(nullptr, "RegisterClasses() failed", nullptr, MB_ICONERROR);
    } else {
        saver.saverWindow = CreateSaverWindow(parent);
        if (saver.saverWindow != nullptr) {
            UpdateWindow(saver.saverWindow);
            ShowWindow(saver.saverWindow, SW_SHOW);
            // The animation has started on the primary monitor; the others are blanked
            // after it.
            if (parent == nullptr)
                CoverOtherMonitors();
            MSG message{};
            BOOL got;
            // A failing wait (-1) cannot arise with these arguments; should it, the loop
            // ends rather than spin.
            while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (got == 0)
                result = static_cast<int>(message.wParam);
        }
    }
    ReportSaverRunning(0);
    if (saver.passwordModule != nullptr)
        FreeLibrary(saver.passwordModule);
    return result;
}
