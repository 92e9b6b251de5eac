#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "port/linux/display_entry.h"

void RunSibling(const char* name, char** argv)
{
    // This program's own file, wherever it was started from (a link on the PATH
    // included), names the folder both are installed in.
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = name;
    if (length > 0) {
        self[length] = '\0';
        const char* slash = std::strrchr(self, '/');
        path = std::string(self, static_cast<std::size_t>(slash - self + 1)) + name;
    }
    argv[0] = path.data();
    execv(path.c_str(), argv);
    std::fprintf(stderr, "varbules: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
}
