#include "port/fake/fake_desktop.h"

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

void ResetFakeDesktop()
{
    desktop = std::make_unique<FakeDesktop>();
}

FakeWindow& WindowOf(HWND window)
{
    return *reinterpret_cast<FakeWindow*>(window);
}

HWND MakeFakeParent(int width, int height)
{
    auto window = std::make_unique<FakeWindow>();
    window->className = "DesktopPreview";
    window->procedure = ParentProcedure;
    window->width = width;
    window->height = height;
    desktop->windows.push_back(std::move(window));
    return reinterpret_cast<HWND>(desktop->windows.back().get());
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

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (desktop->failRegisterClass)
        return 0;
    desktop->classes[windowClass->lpszClassName] = *windowClass;
    return 1;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int, int, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID)
{
    const auto found = desktop->classes.find(className);
    if (desktop->failCreateWindow || found == desktop->classes.end())
        return nullptr;
    auto window = std::make_unique<FakeWindow>();
    window->className = className;
    window->title = windowName;
    window->procedure = found->second.lpfnWndProc;
    window->parent = parent;
    window->style = style;
    window->exStyle = exStyle;
    window->width = width;
    window->height = height;
    desktop->windows.push_back(std::move(window));
    HWND handle = reinterpret_cast<HWND>(desktop->windows.back().get());
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
            DestroyWindow(reinterpret_cast<HWND>(child.get()));
    w.procedure(window, WM_DESTROY, 0, 0);
    w.alive = false;
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    // The first painting of a new window: the background is erased, then painted.
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(FakeDc()), 0);
    SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL ShowWindow(HWND window, int)
{
    WindowOf(window).shown = true;
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

int FillRect(HDC, const RECT*, HBRUSH)
{
    ++desktop->backgroundFills;
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
