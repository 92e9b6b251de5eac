// Plays the desktop's part in a screen saver preview, the way the Display control panel
// does: a visible window of its own, the saver started with "/p <decimal HWND>" to draw
// inside it, then checks of the window the saver makes there and of the saver's life.
//
//   preview_driver <saver path> <result file> [hold <ms> | gone]
//
// With "hold", the driver keeps the preview up that much longer before it destroys the
// window, having written "note: holding" to the result file, so that a test can storm it
// with input meanwhile. With "gone", the saver is handed the number of a window that was
// destroyed just before: it must end by itself, showing nothing.
//
// Every finding goes to the result file, one line each, "ok:" or "FAIL:", and a last line
// "result=pass" or "result=fail". The exit code is 0 only when every check passed.
// Nothing is written to standard output: the saver may inherit this program's handles
// under Wine, and whoever reads a pipe from here would then wait for the saver as well.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kClientWidth = 152;
constexpr int kClientHeight = 112;

// The bounds on the saver's reactions grow on a busy machine by the factor the test
// gives in VARBULES_E2E_FACTOR (1 unless told).
DWORD Scaled(DWORD milliseconds)
{
    const char* factor = std::getenv("VARBULES_E2E_FACTOR");
    const long k = factor != nullptr ? std::strtol(factor, nullptr, 10) : 1;
    return milliseconds * static_cast<DWORD>(k >= 1 && k <= 20 ? k : 1);
}

const DWORD kWindowTimeoutMs = Scaled(15000);
const DWORD kSettleMs = Scaled(500);
const DWORD kAfterInputMs = Scaled(1000);
const DWORD kEndTimeoutMs = Scaled(2000);
const char kSaverClass[] = "WindowsScreenSaverClass";

class Report {
public:
    explicit Report(const char* path) : file_(std::fopen(path, "wb")) {}
    ~Report()
    {
        if (file_) {
            std::fprintf(file_, "result=%s\n", failures_ == 0 ? "pass" : "fail");
            std::fclose(file_);
        }
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    bool opened() const { return file_ != nullptr; }
    int failures() const { return failures_; }

    // Records one check; returns whether it passed.
    __attribute__((format(printf, 3, 4))) bool Check(bool passed, const char* format, ...)
    {
        if (!passed)
            ++failures_;
        va_list args;
        va_start(args, format);
        Line(passed ? "ok: " : "FAIL: ", format, args);
        va_end(args);
        return passed;
    }

    __attribute__((format(printf, 2, 3))) void Note(const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        Line("note: ", format, args);
        va_end(args);
    }

private:
    void Line(const char* prefix, const char* format, va_list args)
    {
        std::fputs(prefix, file_);
        std::vfprintf(file_, format, args);
        std::fputc('\n', file_);
        std::fflush(file_);
    }

    FILE* file_;
    int failures_ = 0;
};

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps this thread's messages for up to timeoutMs, returning early once the process
// has ended. Returns whether it ended.
bool PumpUntilProcessEnds(HANDLE process, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

// Pumps messages until a child of the saver's class appears under parent, the saver
// ends, or the time runs out.
HWND WaitForSaverChild(HWND parent, HANDLE process, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        HWND child = FindWindowExA(parent, nullptr, kSaverClass, nullptr);
        if (child)
            return child;
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 || GetTickCount() - start >= timeoutMs)
            return nullptr;
        MsgWaitForMultipleObjects(1, &process, FALSE, 10, QS_ALLINPUT);
    }
}

HWND MakeHostWindow(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "VarbulesPreviewHost";
    if (!RegisterClassA(&wc))
        return nullptr;
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    RECT r = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return CreateWindowExA(0, wc.lpszClassName, "Varbules preview host", style, 40, 40, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, instance, nullptr);
}

void EndSaver(HANDLE process)
{
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
}

// Starts the saver with "/p <window>"; false (reported) when it cannot be started.
bool StartPreview(const char* saverPath, HWND parent, Report& report, PROCESS_INFORMATION& saver)
{
    char commandLine[MAX_PATH + 64];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" /p %lu", saverPath,
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)));
    report.Note("command line: %s", commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    const bool started =
        CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &saver) != 0;
    const DWORD startError = started ? 0 : GetLastError();
    if (!report.Check(started, "saver started (error %lu)", startError))
        return false;
    CloseHandle(saver.hThread);
    return true;
}

// The desktop's preview window is gone by the time the saver looks for it.
int DriveGoneParent(const char* saverPath, Report& report)
{
    HWND host = MakeHostWindow(GetModuleHandleA(nullptr));
    if (!report.Check(host != nullptr, "host window made"))
        return 1;
    DestroyWindow(host);
    PumpMessages();
    PROCESS_INFORMATION saver = {};
    if (!StartPreview(saverPath, host, report, saver))
        return 1;
    const DWORD launched = GetTickCount();
    const bool ended = PumpUntilProcessEnds(saver.hProcess, kWindowTimeoutMs);
    DWORD code = 0;
    GetExitCodeProcess(saver.hProcess, &code);
    report.Check(ended, "the saver ended by itself %lu ms after its start", GetTickCount() - launched);
    if (ended)
        report.Check(code == 0, "the saver's exit code is %lu", code);
    report.Check(FindWindowA(kSaverClass, nullptr) == nullptr, "no window of the saver's class was left anywhere");
    EndSaver(saver.hProcess);
    CloseHandle(saver.hProcess);
    return report.failures() == 0 ? 0 : 1;
}

int Drive(const char* saverPath, DWORD holdMs, Report& report)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND host = MakeHostWindow(instance);
    const DWORD hostError = host ? 0 : GetLastError();
    if (!report.Check(host != nullptr, "host window made (error %lu)", hostError))
        return 1;
    UpdateWindow(host);
    PumpMessages();

    RECT hostClient = {};
    GetClientRect(host, &hostClient);
    report.Check(hostClient.right == kClientWidth && hostClient.bottom == kClientHeight,
                 "host client area is %ldx%ld (asked for %dx%d)", hostClient.right, hostClient.bottom, kClientWidth,
                 kClientHeight);

    PROCESS_INFORMATION saver = {};
    const DWORD launched = GetTickCount();
    if (!StartPreview(saverPath, host, report, saver)) {
        DestroyWindow(host);
        return 1;
    }

    HWND child = WaitForSaverChild(host, saver.hProcess, kWindowTimeoutMs);
    if (!child) {
        DWORD code = 0;
        const bool ended = WaitForSingleObject(saver.hProcess, 0) == WAIT_OBJECT_0;
        GetExitCodeProcess(saver.hProcess, &code);
        report.Check(false, "no child window of class %s appeared under the host within %lu ms (saver %s, exit code %lu)",
                     kSaverClass, kWindowTimeoutMs, ended ? "ended" : "still running", code);
        EndSaver(saver.hProcess);
        CloseHandle(saver.hProcess);
        DestroyWindow(host);
        return 1;
    }
    report.Check(true, "child window of class %s appeared under the host %lu ms after the start", kSaverClass,
                 GetTickCount() - launched);

    DWORD childProcess = 0;
    GetWindowThreadProcessId(child, &childProcess);
    report.Check(childProcess == saver.dwProcessId, "the child belongs to the saver process (%lu, saver %lu)",
                 childProcess, saver.dwProcessId);
    report.Check(GetParent(child) == host, "the child's parent is the host window");

    const LONG style = GetWindowLongA(child, GWL_STYLE);
    report.Check((style & WS_CHILD) != 0, "the child has WS_CHILD (style 0x%08lX)", static_cast<unsigned long>(style));
    report.Check((style & WS_POPUP) == 0, "the child has no WS_POPUP (style 0x%08lX)", static_cast<unsigned long>(style));

    RECT childClient = {};
    GetClientRect(child, &childClient);
    report.Check(childClient.right == hostClient.right && childClient.bottom == hostClient.bottom,
                 "the child's client area is %ldx%ld, the host's %ldx%ld", childClient.right, childClient.bottom,
                 hostClient.right, hostClient.bottom);
    RECT childWindow = {};
    GetWindowRect(child, &childWindow);
    POINT origin = {childWindow.left, childWindow.top};
    ScreenToClient(host, &origin);
    report.Check(origin.x == 0 && origin.y == 0, "the child stands at (%ld,%ld) of the host's client area", origin.x,
                 origin.y);

    // A preview never covers the screen: no top-level window of the saver's class.
    HWND topLevel = FindWindowA(kSaverClass, nullptr);
    DWORD topLevelProcess = 0;
    if (topLevel)
        GetWindowThreadProcessId(topLevel, &topLevelProcess);
    report.Check(topLevelProcess != saver.dwProcessId, "the saver made no top-level window of its class");

    // Input reaches the preview without ending it: only its parent's end does.
    PumpUntilProcessEnds(saver.hProcess, kSettleMs);
    PostMessageA(child, WM_KEYDOWN, 'A', 0x001E0001);
    PostMessageA(child, WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u));
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(60, 40));
    bool endedOnInput = PumpUntilProcessEnds(saver.hProcess, kAfterInputMs);
    DWORD code = 0;
    GetExitCodeProcess(saver.hProcess, &code);
    report.Check(!endedOnInput, "the saver still runs %lu ms after a key press, a button press and mouse moves%s",
                 kAfterInputMs, endedOnInput ? " (it ended)" : "");
    report.Check(IsWindow(child) != 0, "its child window still exists after the input");
    const LONG laterStyle = GetWindowLongA(child, GWL_STYLE);
    report.Check((laterStyle & WS_VISIBLE) != 0 && IsWindowVisible(child) != 0,
                 "the child is visible (style 0x%08lX)", static_cast<unsigned long>(laterStyle));

    if (!endedOnInput && holdMs > 0) {
        POINT clientOrigin = {0, 0};
        ClientToScreen(host, &clientOrigin);
        report.Note("holding, the client area at %ld %ld %ld %ld", clientOrigin.x, clientOrigin.y, hostClient.right,
                    hostClient.bottom);
        const bool endedWhileHeld = PumpUntilProcessEnds(saver.hProcess, holdMs);
        GetExitCodeProcess(saver.hProcess, &code);
        report.Check(!endedWhileHeld, "the saver still runs after %lu ms more of the test's input%s", holdMs,
                     endedWhileHeld ? " (it ended)" : "");
        report.Check(IsWindow(child) && IsWindowVisible(child) && GetParent(child) == host,
                     "its child window is still there, visible, under the host");
        endedOnInput = endedWhileHeld;
    }

    if (endedOnInput) {
        report.Note("saver exit code %lu", code);
        CloseHandle(saver.hProcess);
        DestroyWindow(host);
        return 1;
    }

    const DWORD destroyed = GetTickCount();
    DestroyWindow(host);
    const bool ended = PumpUntilProcessEnds(saver.hProcess, kEndTimeoutMs);
    const DWORD took = GetTickCount() - destroyed;
    const bool endedInTime = ended && took <= kEndTimeoutMs;
    if (ended)
        report.Check(endedInTime, "the saver ended %lu ms after its parent window was destroyed (limit %lu ms)", took,
                     kEndTimeoutMs);
    else
        report.Check(false, "the saver still runs %lu ms after its parent window was destroyed", took);
    if (ended) {
        GetExitCodeProcess(saver.hProcess, &code);
        report.Check(code == 0, "the saver's exit code is %lu", code);
    }
    EndSaver(saver.hProcess);
    CloseHandle(saver.hProcess);
    return report.failures() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool hold = argc == 5 && std::strcmp(argv[3], "hold") == 0;
    const bool gone = argc == 4 && std::strcmp(argv[3], "gone") == 0;
    if (argc != 3 && !hold && !gone) {
        std::fprintf(stderr, "usage: preview_driver <saver path> <result file> [hold <ms> | gone]\n");
        return 2;
    }
    Report report(argv[2]);
    if (!report.opened())
        return 2;
    const int rc = gone ? DriveGoneParent(argv[1], report)
                        : Drive(argv[1], hold ? static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)) : 0, report);
    return rc == 0 && report.failures() == 0 ? 0 : 1;
}
