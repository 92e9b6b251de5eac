#include "settings/settings_path.h"

#include <cstring>

bool JoinPath(char* out, std::size_t size, const char* folder, const char* name, char separator)
{
    if (size > 0)
        out[0] = '\0';
    if (folder == nullptr || name == nullptr || folder[0] == '\0' || name[0] == '\0')
        return false;
    const std::size_t folderLength = std::strlen(folder);
    const bool ends = folder[folderLength - 1] == separator;
    const std::size_t nameLength = std::strlen(name);
    const std::size_t length = folderLength + (ends ? 0 : 1) + nameLength;
    if (length >= size)
        return false;
    std::memcpy(out, folder, folderLength);
    std::size_t at = folderLength;
    if (!ends)
        out[at++] = separator;
    std::memcpy(out + at, name, nameLength + 1);
    return true;
}
