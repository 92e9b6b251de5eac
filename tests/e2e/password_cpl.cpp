// A stand-in for the system's PASSWORD.CPL on Windows 9x, built as PASSWORD.CPL and put
// beside the saver so that its LoadLibraryA finds it first. VerifyScreenSavePwd shows a
// modal message box titled "Varbules test password". It refuses the first time and
// accepts every time after; or, when VARBULES_PASSWORD_ACCEPT_FLAG names a file, it
// accepts exactly while that file exists. Each call appends two lines to the file named
// by VARBULES_PASSWORD_LOG, one as it starts and one as it answers:
//   call=<n> running=<SPI_GETSCREENSAVERRUNNING> owner_is_window=<0|1>
//   answered=<n> accepted=<0|1>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int calls = 0;

void Log(const char* format, int a, int b, int c)
{
    const char* path = std::getenv("VARBULES_PASSWORD_LOG");
    if (path == nullptr)
        return;
    if (FILE* log = std::fopen(path, "ab")) {
        std::fprintf(log, format, a, b, c);
        std::fclose(log);
    }
}

bool Accepts()
{
    const char* flag = std::getenv("VARBULES_PASSWORD_ACCEPT_FLAG");
    if (flag == nullptr)
        return calls >= 2;
    return GetFileAttributesA(flag) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    const int call = ++calls;
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    Log("call=%d running=%d owner_is_window=%d\n", call, running ? 1 : 0, IsWindow(owner) ? 1 : 0);
    MessageBoxA(owner, "Password?", "Varbules test password", MB_OK);
    const bool accepted = Accepts();
    Log("answered=%d accepted=%d\n", call, accepted ? 1 : 0, 0);
    return accepted ? TRUE : FALSE;
}
