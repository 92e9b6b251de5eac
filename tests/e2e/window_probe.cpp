// Looks at a top-level window from outside, the way a test needs to see it under Wine:
//
//   window_probe <class> <title> <timeout ms> <result file> [ready file]
//
// Writes the ready file (empty) once it runs, then looks for the window every 2 ms with
// FindWindowA(class, title). When it appears, the result file gets one key=value line per
// finding: when it was found (Unix ms, comparable with the shell's clock), its class,
// title, rectangle, client size, the screen size, styles, owner process and when that was
// created, and the cursor as GetCursorInfo tells another process of it. Exits 0 when the
// window was found, 1 when it did not appear in time, 2 on bad arguments or I/O errors.
// The result goes to a file, never to standard output: under Wine a shell reading a
// pipe may wait on more than this process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A system time in milliseconds since 1970, the clock `date +%s%3N` reads.
unsigned long long UnixMilliseconds(const FILETIME& ft)
{
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    const unsigned long long epochOffset100ns = 116444736000000000ULL;
    return (t.QuadPart - epochOffset100ns) / 10000ULL;
}

unsigned long long UnixMilliseconds()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return UnixMilliseconds(ft);
}

// When the process was created (Unix ms), or 0 if that cannot be read. The C runtime's
// clock() counts from no earlier than this.
unsigned long long ProcessCreatedMs(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return 0;
    FILETIME created, exited, kernel, user;
    const bool known = GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
    CloseHandle(process);
    return known ? UnixMilliseconds(created) : 0;
}

bool WriteWhole(const char* path, const std::string& text)
{
    // Written beside the target and moved into place, so a reader never sees half of it.
    const std::string temp = std::string(path) + ".part";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !written)
        return false;
    return MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string Line(const char* key, const std::string& value)
{
    return std::string(key) + "=" + value + "\n";
}

std::string Number(long long n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", n);
    return buffer;
}

std::string Hex(unsigned long n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", n);
    return buffer;
}

std::string Describe(HWND window, unsigned long long foundMs, unsigned long long startMs)
{
    std::string out;
    out += Line("found", "1");
    out += Line("found_unix_ms", Number(static_cast<long long>(foundMs)));
    out += Line("waited_ms", Number(static_cast<long long>(foundMs - startMs)));
    out += Line("hwnd", Number(static_cast<long long>(reinterpret_cast<UINT_PTR>(window))));

    char text[256] = {};
    GetClassNameA(window, text, sizeof text);
    out += Line("class", text);
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    out += Line("title", text);

    RECT r = {};
    GetWindowRect(window, &r);
    out += Line("rect", Number(r.left) + " " + Number(r.top) + " " + Number(r.right) + " " + Number(r.bottom));
    RECT c = {};
    GetClientRect(window, &c);
    out += Line("client", Number(c.right - c.left) + " " + Number(c.bottom - c.top));
    out += Line("screen", Number(GetSystemMetrics(SM_CXSCREEN)) + " " + Number(GetSystemMetrics(SM_CYSCREEN)));

    const unsigned long style = static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE));
    const unsigned long exStyle = static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE));
    out += Line("style", Hex(style));
    out += Line("exstyle", Hex(exStyle));
    out += Line("popup", (style & WS_POPUP) ? "1" : "0");
    out += Line("child", (style & WS_CHILD) ? "1" : "0");
    out += Line("visible", (style & WS_VISIBLE) ? "1" : "0");
    out += Line("topmost", (exStyle & WS_EX_TOPMOST) ? "1" : "0");
    out += Line("iswindowvisible", IsWindowVisible(window) ? "1" : "0");

    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    out += Line("pid", Number(pid));
    out += Line("process_created_unix_ms", Number(static_cast<long long>(ProcessCreatedMs(pid))));

    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    if (GetCursorInfo(&cursor)) {
        out += Line("cursor_showing", (cursor.flags & CURSOR_SHOWING) ? "1" : "0");
        out += Line("cursor_handle", Number(static_cast<long long>(reinterpret_cast<UINT_PTR>(cursor.hCursor))));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: window_probe <class> <title> <timeout ms> <result file> [ready file]\n");
        return 2;
    }
    const char* windowClass = argv[1];
    const char* title = argv[2];
    const unsigned long timeoutMs = std::strtoul(argv[3], nullptr, 10);
    const char* resultPath = argv[4];
    if (argc == 6 && !WriteWhole(argv[5], ""))
        return 2;

    const unsigned long long start = UnixMilliseconds();
    for (;;) {
        HWND window = FindWindowA(windowClass, title);
        const unsigned long long now = UnixMilliseconds();
        if (window)
            return WriteWhole(resultPath, Describe(window, now, start)) ? 0 : 2;
        if (now - start > timeoutMs)
            return WriteWhole(resultPath, Line("found", "0") + Line("waited_ms", Number(static_cast<long long>(now - start))))
                       ? 1
                       : 2;
        Sleep(2);
    }
}
