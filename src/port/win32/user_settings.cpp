#include "port/user_settings.h"

#include <cstdlib>

#include "desktop_api.h"
#include "settings/settings_path.h"

namespace {

// Only the NT line keeps application data per user, and Windows starts a saver in more
// than one current directory there; Windows 9x keeps the settings where they always were.
bool IsNtLine()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

bool UserSettingsPath(char* path, std::size_t size, const char* fileName, bool make)
{
    if (size > 0)
        path[0] = '\0';
    // APPDATA, not SHGetFolderPath, which Windows 95 and NT 4.0 do not all have. NT 4.0
    // sets no APPDATA, and stays with the current directory.
    char folder[MAX_PATH];
    if (!IsNtLine() || !JoinPath(folder, sizeof folder, std::getenv("APPDATA"), "Varbules", '\\'))
        return false;
    if (make && !CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return JoinPath(path, size, folder, fileName, '\\');
}
