#include "port/user_settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "settings/settings_path.h"

namespace {

// The XDG base directory for configuration: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config.
bool ConfigHome(char* out, std::size_t size)
{
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') {
        if (std::strlen(configured) >= size)
            return false;
        std::strcpy(out, configured);
        return true;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' && JoinPath(out, size, home, ".config", '/');
}

bool MakeFolder(const char* folder)
{
    return mkdir(folder, 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool UserSettingsPath(char* path, std::size_t size, const char* fileName, bool make)
{
    if (size > 0)
        path[0] = '\0';
    char base[PATH_MAX];
    char folder[PATH_MAX];
    if (!ConfigHome(base, sizeof base) || !JoinPath(folder, sizeof folder, base, "varbules", '/'))
        return false;
    if (make && !(MakeFolder(base) && MakeFolder(folder)))
        return false;
    return JoinPath(path, size, folder, fileName, '/');
}
