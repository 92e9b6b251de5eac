#include "port/idle/session_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::string SessionLockPath(const char* runtimeDir, const char* waylandDisplay, const char* x11Display, uid_t uid)
{
    // A Wayland display may be named by an absolute path; what the file is named after
    // must be one word.
    std::string display = waylandDisplay != nullptr && *waylandDisplay != '\0' ? waylandDisplay
                          : x11Display != nullptr && *x11Display != '\0'       ? x11Display
                                                                                : "none";
    for (char& c : display) {
        if (c == '/' || c == ':')
            c = '_';
    }
    const std::string dir = runtimeDir != nullptr && runtimeDir[0] == '/'
                                ? std::string(runtimeDir)
                                : "/tmp/varbules-" + std::to_string(static_cast<unsigned long>(uid));
    return dir + "/varbules-idle-" + display + ".lock";
}

SessionLock::SessionLock(const std::string& path)
{
    const std::string dir = path.substr(0, path.rfind('/'));
    // The fallback folder is the user's own; one there already that is not is left alone.
    if (!dir.empty() && dir.rfind("/tmp/varbules-", 0) == 0)
        mkdir(dir.c_str(), 0700);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = "cannot open " + path + ": " + std::strerror(errno);
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        char text[32] = {};
        const ssize_t n = pread(fd, text, sizeof text - 1, 0);
        holder_ = n > 0 ? static_cast<pid_t>(std::atol(text)) : 0;
        error_ = "an idle watch already runs in this session" +
                 (holder_ > 0 ? " (pid " + std::to_string(holder_) + ")" : std::string());
        close(fd);
        return;
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) == 0 && pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size()))
        fd_ = fd;
    else {
        error_ = "cannot write " + path + ": " + std::strerror(errno);
        close(fd);
    }
}

SessionLock::~SessionLock()
{
    if (fd_ >= 0)
        close(fd_);
}
