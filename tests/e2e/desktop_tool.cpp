// Small acts of the desktop and the user for the end-to-end tests, done from another
// process the way a person or the system would:
//
//   desktop_tool count <title> <result>          how many top-level windows bear the title
//   desktop_tool press <title> <id> <result>     clicks control <id> of that window
//   desktop_tool running <result>                SPI_GETSCREENSAVERRUNNING, 0 or 1
//   desktop_tool close-desktop <result>          posts SC_CLOSE to the desktop window, as a
//                                                stray Alt+F4 there would: Wine's desktop
//                                                then ends the session
//   desktop_tool monitors <result>               the monitors, as the saver is told of them
//   desktop_tool windows <class> <result>        the top-level windows of that class: their
//                                                rectangles, styles and visibility
//   desktop_tool settings <scr> <switch> <scenario> <result>
//                                                starts the saver's settings dialog and plays
//                                                a scenario in it (see RunSettings)
//
// Results go to files as key=value lines: under Wine a shell reading a pipe may wait on
// the saver too. Exit code 0 when the act could be done.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string result;

void Put(const char* key, const std::string& value)
{
    result += std::string(key) + "=" + value + "\n";
}

void Put(const char* key, long long value)
{
    Put(key, std::to_string(value));
}

bool Save(const char* path)
{
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return false;
    std::fwrite(result.data(), 1, result.size(), f);
    return std::fclose(f) == 0;
}

// Lets this process's own windows answer while it waits.
void Pump(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

HWND WaitForWindow(const char* windowClass, const char* title, DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        if (HWND window = FindWindowA(windowClass, title))
            return window;
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return nullptr;
        Pump(10);
    }
}

// A dialog exists before it is initialised and shown; a user sees it only then.
HWND WaitForVisibleWindow(const char* windowClass, const char* title, DWORD milliseconds)
{
    HWND window = WaitForWindow(windowClass, title, milliseconds);
    for (int i = 0; window != nullptr && !IsWindowVisible(window) && i < 500; ++i)
        Pump(10);
    Pump(200);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

struct TitleCount {
    const char* title;
    int count;       // visible windows of that title
    int hidden = 0;  // and those that exist but do not show
};

BOOL CALLBACK CountTitle(HWND window, LPARAM parameter)
{
    auto* wanted = reinterpret_cast<TitleCount*>(parameter);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(text, wanted->title) == 0)
        ++(IsWindowVisible(window) ? wanted->count : wanted->hidden);
    return TRUE;
}

std::string Marks(HWND dialog)
{
    std::string marks;
    for (const int id : {4001, 4002, 4004}) {
        if (SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED)
            marks += (marks.empty() ? "" : ",") + std::to_string(id);
    }
    return marks.empty() ? "none" : marks;
}

// Does not wait for the click to be handled: the handler may open a modal box that this
// process is to answer.
void Click(HWND dialog, int id)
{
    SendNotifyMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    Pump(200);
}

struct StaticText {
    std::string text;
};

BOOL CALLBACK FindStaticText(HWND child, LPARAM parameter)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        if (text[0] != '\0')
            reinterpret_cast<StaticText*>(parameter)->text = text;
    }
    return TRUE;
}

LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Plays the desktop: a window of its own in the foreground, the saver started with the
// settings switch, then one scenario in its dialog:
//   look     the marks at start, then OK
//   choose   64, 16, then Escape, the close box and Alt+F4, then OK
//   locked   the settings file held open against writing, then OK and the error message
//   refused  OK and the error message (the test has made the settings file unwritable)
// VARBULES_APPDATA, when set, is the saver's APPDATA ("" for none), as Windows gives it
// to each user: Wine would give every process the prefix's own.
int RunSettings(const char* scr, const char* settingsSwitch, const char* scenario)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VarbulesTestDesktop";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, "VarbulesTestDesktop", "Display Properties", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 10, 10, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(owner);
    Pump(200);
    Put("foreground_is_owner", GetForegroundWindow() == owner ? 1 : 0);

    HANDLE held = INVALID_HANDLE_VALUE;
    if (std::strcmp(scenario, "locked") == 0)
        held = CreateFileA("Varbule.ini", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool refused = held != INVALID_HANDLE_VALUE || std::strcmp(scenario, "refused") == 0;
    if (const char* appData = std::getenv("VARBULES_APPDATA"))
        SetEnvironmentVariableA("APPDATA", *appData != '\0' ? appData : nullptr);

    std::string commandLine = std::string("\"") + scr + "\"" + (*settingsSwitch ? " " : "") + settingsSwitch;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        Put("started", 0);
        return 1;
    }
    HWND dialog = WaitForVisibleWindow("#32770", "Setting", 20000);
    Put("dialog", dialog != nullptr ? 1 : 0);
    if (dialog == nullptr) {
        TerminateProcess(process.hProcess, 99);
        return 1;
    }
    Put("owner_ok", GetWindow(dialog, GW_OWNER) == owner ? 1 : 0);
    Put("marks_at_start", Marks(dialog));

    if (std::strcmp(scenario, "choose") == 0) {
        Click(dialog, 4004);
        Put("marks_after_64", Marks(dialog));
        Click(dialog, 4001);
        Put("marks_after_16", Marks(dialog));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and Alt+F4
        Pump(500);
        Put("open_after_escape", IsWindow(dialog) ? 1 : 0);
    }
    Click(dialog, IDOK);

    if (refused) {
        HWND box = WaitForVisibleWindow("#32770", "Error", 10000);
        Put("error_box", box != nullptr ? 1 : 0);
        if (box != nullptr) {
            StaticText text;
            EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&text));
            Put("error_text", text.text);
            Put("error_owner_is_dialog", GetWindow(box, GW_OWNER) == dialog ? 1 : 0);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }

    // The dialog re-enables its owner, this process's window, as it ends: keep answering.
    DWORD waited = WAIT_TIMEOUT;
    for (int i = 0; i < 1000 && waited != WAIT_OBJECT_0; ++i) {
        waited = WaitForSingleObject(process.hProcess, 0);
        Pump(10);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    Put("ended", waited == WAIT_OBJECT_0 ? 1 : 0);
    Put("exit", exitCode);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);  // so that no later run finds this dialog
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

BOOL CALLBACK PutMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    const RECT& r = info.rcMonitor;
    Put("monitor", std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
                       std::to_string(r.bottom) + ((info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : ""));
    return TRUE;
}

struct ClassWindows {
    const char* className;
    int count;
};

BOOL CALLBACK PutWindowOfClass(HWND window, LPARAM data)
{
    auto& wanted = *reinterpret_cast<ClassWindows*>(data);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, wanted.className) != 0)
        return TRUE;
    ++wanted.count;
    RECT r{};
    GetWindowRect(window, &r);
    char line[160];
    std::snprintf(line, sizeof line, "%ld %ld %ld %ld style=0x%08lX exstyle=0x%08lX visible=%d", r.left, r.top, r.right,
                  r.bottom, static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                  static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), IsWindowVisible(window) ? 1 : 0);
    Put("window", line);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "count") == 0) {
        TitleCount wanted{argv[2], 0};
        EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&wanted));
        Put("count", wanted.count);
        Put("hidden", wanted.hidden);
        return Save(argv[3]) ? 0 : 2;
    }
    if (argc >= 5 && std::strcmp(argv[1], "press") == 0) {
        HWND window = FindWindowA(nullptr, argv[2]);
        Put("found", window != nullptr ? 1 : 0);
        if (window != nullptr)
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return Save(argv[4]) && window != nullptr ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "running") == 0) {
        BOOL running = FALSE;
        Put("answered", SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) ? 1 : 0);
        Put("running", running ? 1 : 0);
        return Save(argv[2]) ? 0 : 2;
    }
    if (argc >= 3 && std::strcmp(argv[1], "close-desktop") == 0) {
        Put("posted", PostMessageA(GetDesktopWindow(), WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0);
        return Save(argv[2]) ? 0 : 2;
    }
    if (argc >= 3 && std::strcmp(argv[1], "monitors") == 0) {
        EnumDisplayMonitors(nullptr, nullptr, PutMonitor, 0);
        Put("virtual", std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN)) + " " +
                           std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
        return Save(argv[2]) ? 0 : 2;
    }
    if (argc >= 4 && std::strcmp(argv[1], "windows") == 0) {
        ClassWindows wanted{argv[2], 0};
        EnumWindows(PutWindowOfClass, reinterpret_cast<LPARAM>(&wanted));
        Put("count", wanted.count);
        return Save(argv[3]) ? 0 : 2;
    }
    if (argc >= 6 && std::strcmp(argv[1], "settings") == 0) {
        const int rc = RunSettings(argv[2], argv[3], argv[4]);
        return Save(argv[5]) ? rc : 2;
    }
    std::fprintf(stderr, "usage: see the comment at the top of desktop_tool.cpp\n");
    return 2;
}
