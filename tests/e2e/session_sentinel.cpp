// A witness of the Wine session's end, for the tests that must tell a saver the session
// ended from one that closed itself:
//
//   session_sentinel <log file> <ready file>
//
// Makes a hidden top-level window, which an ending session asks like every other
// (WM_QUERYENDSESSION, then WM_ENDSESSION), writes the ready file once it exists, and
// appends a line to the log for each of those messages as it comes:
//   query_end_session
//   end_session=<wParam: 1 when the session does end>
// It answers yes, as a program with nothing to save does, and runs until the session
// ends or it is killed. The log is closed after every line: the session's end kills
// the process soon after.
#include <windows.h>

#include <cstdio>

namespace {

const char* logPath = nullptr;

void Log(const char* line)
{
    if (FILE* log = std::fopen(logPath, "ab")) {
        std::fputs(line, log);
        std::fclose(log);
    }
}

LRESULT CALLBACK SentinelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        Log("query_end_session\n");
        return TRUE;
    case WM_ENDSESSION:
        Log(wParam ? "end_session=1\n" : "end_session=0\n");
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    logPath = argv[1];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SentinelProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VarbulesSessionSentinel";
    if (!RegisterClassA(&windowClass))
        return 1;
    if (!CreateWindowExA(0, windowClass.lpszClassName, "Varbules session sentinel", WS_POPUP, 0, 0, 1, 1, nullptr,
                         nullptr, windowClass.hInstance, nullptr))
        return 1;
    if (FILE* ready = std::fopen(argv[2], "wb"))
        std::fclose(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
