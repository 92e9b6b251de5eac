#pragma once

#include <cstddef>

// Where this user's own settings file is, on a platform that keeps one per user: in a
// folder of the saver's own under the user's settings folder (Windows NT's application
// data, Linux's XDG configuration). With make, the folder is made if it is not there.
// False, with path empty, where there is no such place and the current directory serves:
// Windows 9x, no application-data folder (NT 4.0), a name that would not fit in size
// bytes, or a folder that cannot be made.
bool UserSettingsPath(char* path, std::size_t size, const char* fileName, bool make);
