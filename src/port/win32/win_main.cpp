// The program's entry: the desktop starts it with /s for a full-screen run or with
// /p <window> for a preview inside that window.

#include <cstdlib>

#include "globals/saver_globals.h"
#include "host/run_saver.h"

namespace {

// Everything after the first switch letter that names a preview window, read as decimal.
HWND PreviewWindow(const char* text)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(text, nullptr, 10)));
}

int SaverEntry(HINSTANCE instance, const char* commandLine)
{
    saver.saverInstance = instance;
    for (const char* c = commandLine; *c != '\0'; ++c) {
        switch (*c) {
        case 'S':
        case 's':
            return RunSaver(nullptr);
        case 'P':
        case 'p': {
            HWND parent = PreviewWindow(c + 1);
            if (parent == nullptr || !IsWindow(parent))
                return 0;
            saver.previewMode = 1;
            return RunSaver(parent);
        }
        default:
            break;
        }
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return SaverEntry(instance, commandLine);
}
