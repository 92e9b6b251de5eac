#include "port/fake/fake_desktop.h"

#include <cstring>
#include <mutex>
#include <thread>

#include "port/window_surface.h"

namespace {

std::unique_ptr<FakeDesktop> desktop = std::make_unique<FakeDesktop>();

struct FakeThread {
    std::thread thread;
};

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HDC FakeDc()
{
    static int dc;
    return reinterpret_cast<HDC>(&dc);
}

// A surface that draws nothing and counts the frames, one per rate label drawn.
class CountingSurface final : public Surface {
public:
    explicit CountingSurface(PixelSize size) : size_(size) {}
    PixelSize ClientSize() override { return size_; }
    Brush MakeBrush(Colour colour) override { return colour + 1; }
    Region MakeDiscRegion(const PixelRect&) override { return 1; }
    void FillRegion(Region, Brush) override {}
    void MoveRegion(Region, std::int32_t, std::int32_t) override {}
    PixelSize MeasureText(const char*, std::int32_t length) override { return {8 * length, 16}; }
    void SetTextStyle(Colour, Colour, std::int32_t) override {}
    void DrawTextLine(std::int32_t x, std::int32_t, const char*, std::int32_t) override
    {
        if (x == 5)
            ++Desktop().framesDrawn;
    }

private:
    PixelSize size_;
};

}  // namespace

FakeDesktop& Desktop()
{
    return *desktop;
}

namespace {

BOOL WINAPI FakeEnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (std::size_t k = 0; k < desktop->monitors.size(); ++k) {
        RECT bounds = desktop->monitors[k];
        if (!callback(reinterpret_cast<HMONITOR>(k + 1), nullptr, &bounds, data))
            return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FakeGetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    const std::size_t k = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    if (desktop->failMonitorInfo || k >= desktop->monitors.size() || info->cbSize != sizeof(MONITORINFO))
        return FALSE;
    info->rcMonitor = info->rcWork = desktop->monitors[k];
    info->dwFlags = k == desktop->primaryMonitor ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

template <typename Function>
FARPROC Export(Function function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

void ResetFakeDesktop()
{
    desktop = std::make_unique<FakeDesktop>();
    desktop->modules["USER32"] = {{"EnumDisplayMonitors", Export(FakeEnumDisplayMonitors)},
                                  {"GetMonitorInfoA", Export(FakeGetMonitorInfoA)}};
}

// Handles are small numbers, as on Windows, so they can stand on a command line.
constexpr std::uintptr_t kFirstHandle = 0x10010;

FakeWindow& WindowOf(HWND window)
{
    // The animation thread looks its window up as it starts, while the main thread may
    // be making windows over other monitors; the windows themselves never move.
    const std::uintptr_t index = (reinterpret_cast<std::uintptr_t>(window) - kFirstHandle) / 4;
    const std::lock_guard<std::mutex> lock(desktop->windowsLock);
    return *desktop->windows.at(index);
}

HWND HandleOf(const FakeWindow& window)
{
    for (std::size_t i = 0; i < desktop->windows.size(); ++i)
        if (desktop->windows[i].get() == &window)
            return reinterpret_cast<HWND>(kFirstHandle + 4 * i);
    return nullptr;
}

namespace {

HWND AddWindow(std::unique_ptr<FakeWindow> window)
{
    const std::lock_guard<std::mutex> lock(desktop->windowsLock);
    desktop->windows.push_back(std::move(window));
    return reinterpret_cast<HWND>(kFirstHandle + 4 * (desktop->windows.size() - 1));
}

}  // namespace

HWND MakeFakeParent(int width, int height)
{
    auto window = std::make_unique<FakeWindow>();
    window->className = "DesktopPreview";
    window->procedure = ParentProcedure;
    window->width = width;
    window->height = height;
    return AddWindow(std::move(window));
}

HMODULE FakeModule()
{
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}

std::unique_ptr<Surface> OpenWindowSurface(HWND window)
{
    const FakeWindow& w = WindowOf(window);
    return std::make_unique<CountingSurface>(PixelSize{w.width, w.height});
}

WindowPace PaceOf(Surface&, Clock& systemClock)
{
    return {systemClock, nullptr};
}

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (desktop->failRegisterClass)
        return 0;
    desktop->classes[windowClass->lpszClassName] = *windowClass;
    return 1;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU, HINSTANCE, LPVOID)
{
    const auto found = desktop->classes.find(className);
    if (desktop->failCreateWindow || found == desktop->classes.end() || desktop->failClass == className)
        return nullptr;
    auto window = std::make_unique<FakeWindow>();
    window->className = className;
    window->title = windowName;
    window->procedure = found->second.lpfnWndProc;
    window->parent = parent;
    window->style = style;
    window->exStyle = exStyle;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    HWND handle = AddWindow(std::move(window));
    if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        WindowOf(handle).alive = false;
        return nullptr;
    }
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    FakeWindow& w = WindowOf(window);
    if (!w.alive)
        return FALSE;
    for (auto& child : desktop->windows)
        if (child->parent == window && child->alive)
            DestroyWindow(HandleOf(*child));
    desktop->destroyed.push_back(window);
    w.procedure(window, WM_DESTROY, 0, 0);
    w.alive = false;
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    // The first painting of a new window: the background is erased, then painted.
    if (SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(FakeDc()), 0) != 0)
        ++WindowOf(window).erasures;
    SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL ShowWindow(HWND window, int command)
{
    WindowOf(window).shown = true;
    WindowOf(window).showCommand = command;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    const FakeWindow& w = WindowOf(window);
    *rect = RECT{0, 0, w.width, w.height};
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
    desktop->defaultHandled.push_back(message);
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT)
{
    while (desktop->queue.empty()) {
        if (!desktop->onIdle || !desktop->onIdle()) {
            desktop->loopRanDry = true;
            *message = MSG{nullptr, WM_QUIT, 99, 0, 0, {0, 0}};
            return 0;
        }
    }
    *message = desktop->queue.front();
    desktop->queue.pop_front();
    return message->message == WM_QUIT ? 0 : 1;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message->hwnd == nullptr || !WindowOf(message->hwnd).alive)
        return 0;
    return WindowOf(message->hwnd).procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    desktop->queue.push_back(MSG{window, message, wParam, lParam, 0, desktop->cursor});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr)
        return 0;
    FakeWindow& w = WindowOf(window);
    return w.alive ? w.procedure(window, message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    desktop->queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    desktop->messageBoxes.push_back(std::string(text) + "|" + (caption ? caption : "(default)") + "|" +
                                    std::to_string(type));
    return 1;
}

HICON LoadIconA(HINSTANCE, LPCSTR name)
{
    return reinterpret_cast<HICON>(const_cast<char*>(name));
}

int GetSystemMetrics(int index)
{
    return index == SM_CXSCREEN ? desktop->screenWidth : index == SM_CYSCREEN ? desktop->screenHeight : 0;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID, UINT)
{
    desktop->systemParameters.emplace_back(action, uiParam);
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    if (cursor == nullptr)
        ++desktop->cursorHides;
    return nullptr;
}

BOOL GetCursorPos(POINT* point)
{
    *point = desktop->cursor;
    return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(colour) + 1);
}

HGDIOBJ GetStockObject(int object)
{
    return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0x5700 + object));
}

int FillRect(HDC, const RECT*, HBRUSH brush)
{
    ++desktop->backgroundFills;
    desktop->lastFill = brush;
    return 1;
}

HANDLE CreateThread(void*, std::size_t, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD, DWORD*)
{
    if (desktop->failThreadStarts > 0) {
        --desktop->failThreadStarts;
        return nullptr;
    }
    ++desktop->threadsStarted;
    auto* thread = new FakeThread{std::thread(start, parameter)};
    return thread;
}

BOOL SetThreadPriority(HANDLE, int priority)
{
    desktop->priorities.push_back(priority);
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD)
{
    ++desktop->threadWaits;
    static_cast<FakeThread*>(handle)->thread.join();
    return 0;
}

BOOL CloseHandle(HANDLE handle)
{
    ++desktop->handlesClosed;
    delete static_cast<FakeThread*>(handle);
    return TRUE;
}

BOOL FreeLibrary(HMODULE)
{
    ++desktop->librariesFreed;
    return TRUE;
}

HMODULE LoadLibraryA(LPCSTR name)
{
    desktop->librariesLoaded.push_back(name);
    const auto found = desktop->modules.find(name);
    return found == desktop->modules.end() ? nullptr : reinterpret_cast<HMODULE>(&found->second);
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    const auto found = desktop->modules.find(name);
    return found == desktop->modules.end() ? nullptr : reinterpret_cast<HMODULE>(&found->second);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    const auto& exports = *reinterpret_cast<std::map<std::string, FARPROC>*>(module);
    const auto found = exports.find(name);
    return found == exports.end() ? nullptr : found->second;
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwPlatformId = desktop->platformId;
    return TRUE;
}

LSTATUS RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result)
{
    if (key != HKEY_CURRENT_USER || std::string(subKey) != "Control Panel\\Desktop" || desktop->desktopKeyMissing)
        return 2;  // ERROR_FILE_NOT_FOUND
    static int desktopKey;
    *result = reinterpret_cast<HKEY>(&desktopKey);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY, LPCSTR name, DWORD*, DWORD* type, unsigned char* data, DWORD* size)
{
    if (std::string(name) != "ScreenSaveUsePassword" || !desktop->usePasswordStored)
        return 2;
    if (*size < sizeof(DWORD))
        return 234;  // ERROR_MORE_DATA
    *type = 4;  // REG_DWORD
    std::memcpy(data, &desktop->usePassword, sizeof(DWORD));
    *size = sizeof(DWORD);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY)
{
    ++desktop->keysClosed;
    return ERROR_SUCCESS;
}

BOOL IsWindow(HWND window)
{
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(window);
    if (value < kFirstHandle || (value - kFirstHandle) % 4 != 0 || (value - kFirstHandle) / 4 >= desktop->windows.size())
        return FALSE;
    return WindowOf(window).alive ? TRUE : FALSE;
}

HWND GetForegroundWindow()
{
    return desktop->foreground;
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter)
{
    auto window = std::make_unique<FakeWindow>();
    window->className = "#32770";
    window->parent = owner;
    HWND dialog = AddWindow(std::move(window));
    desktop->checks = {{4001, 0}, {4002, 0}, {4004, 0}};
    desktop->dialogEnded = false;
    procedure(dialog, WM_INITDIALOG, 0, parameter);
    if (desktop->onDialog)
        desktop->onDialog(dialog);
    desktop->dialogs.push_back({reinterpret_cast<std::uintptr_t>(templateName), owner, desktop->dialogResult});
    return desktop->dialogEnded ? desktop->dialogResult : -1;
}

BOOL EndDialog(HWND, INT_PTR result)
{
    desktop->dialogEnded = true;
    desktop->dialogResult = result;
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND, int id, UINT message, WPARAM wParam, LPARAM)
{
    const auto radio = desktop->checks.find(id);
    if (radio == desktop->checks.end())
        return 0;  // no such control, or one that takes no mark
    if (message == BM_SETCHECK)
        radio->second = wParam;
    return message == BM_GETCHECK ? static_cast<LRESULT>(radio->second) : 0;
}

BOOL CheckRadioButton(HWND, int first, int last, int id)
{
    for (auto& [control, mark] : desktop->checks)
        if (control >= first && control <= last)
            mark = control == id ? BST_CHECKED : 0;
    return TRUE;
}

BOOL WinHelpA(HWND, LPCSTR helpFile, UINT command, UINT_PTR data)
{
    desktop->helpCalls.push_back(std::string(helpFile) + "|" + std::to_string(command) + "|" + std::to_string(data));
    return TRUE;
}
