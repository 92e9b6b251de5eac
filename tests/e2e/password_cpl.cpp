// A stand-in for the system's PASSWORD.CPL on Windows 9x, built as PASSWORD.CPL and put
// beside the saver so that its LoadLibraryA finds it first. VerifyScreenSavePwd shows a
// modal message box titled "Varbules test password" and refuses the first time, accepts
// every time after. Each call appends a line to the file named by VARBULES_PASSWORD_LOG:
//   call=<n> running=<SPI_GETSCREENSAVERRUNNING> owner_is_window=<0|1>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int calls = 0;

void Log(HWND owner)
{
    const char* path = std::getenv("VARBULES_PASSWORD_LOG");
    if (path == nullptr)
        return;
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "call=%d running=%d owner_is_window=%d\n", calls, running ? 1 : 0, IsWindow(owner) ? 1 : 0);
        std::fclose(log);
    }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    ++calls;
    Log(owner);
    MessageBoxA(owner, "Password?", "Varbules test password", MB_OK);
    return calls >= 2 ? TRUE : FALSE;
}
