// A stand-in for the system's PASSWORD.CPL on Windows 9x, built as PASSWORD.CPL and put
// beside the saver so that its LoadLibraryA finds it first. VerifyScreenSavePwd shows a
// modal message box titled "Varbules test password". It refuses the first time and
// accepts every time after; or, when VARBULES_PASSWORD_ACCEPT_FLAG names a file, it
// accepts exactly while that file exists. Each call appends two lines to the file named
// by VARBULES_PASSWORD_LOG, one as it starts and one as it answers:
//   call=<n> running=<SPI_GETSCREENSAVERRUNNING> owner_is_window=<0|1>
//   answered=<n> accepted=<0|1>
// and, between them, a line for each question of an ending session that reaches the
// owner window while the check runs (seen by a hook on the saver's thread, whose modal
// loop dispatches them):
//   query_end_session=<n>
//   end_session=<n> ending=<wParam>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int calls = 0;
HWND checkedOwner = nullptr;

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

// Messages sent to the owner window, seen before its procedure gets them.
LRESULT CALLBACK WatchOwner(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == checkedOwner) {
        if (sent->message == WM_QUERYENDSESSION)
            Log("query_end_session=%d\n", calls, 0, 0);
        else if (sent->message == WM_ENDSESSION)
            Log("end_session=%d ending=%d\n", calls, sent->wParam ? 1 : 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    const int call = ++calls;
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    Log("call=%d running=%d owner_is_window=%d\n", call, running ? 1 : 0, IsWindow(owner) ? 1 : 0);
    checkedOwner = owner;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchOwner, nullptr, GetCurrentThreadId());
    MessageBoxA(owner, "Password?", "Varbules test password", MB_OK);
    if (hook != nullptr)
        UnhookWindowsHookEx(hook);
    checkedOwner = nullptr;
    const bool accepted = Accepts();
    Log("answered=%d accepted=%d\n", call, accepted ? 1 : 0, 0);
    return accepted ? TRUE : FALSE;
}
