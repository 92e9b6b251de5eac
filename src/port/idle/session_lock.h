#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// One idle watch per session: a lock file, held while the daemon runs, named after the
// display it watches, in the user's runtime directory (XDG_RUNTIME_DIR; /tmp with the
// user's id where there is none).
std::string SessionLockPath(const char* runtimeDir, const char* waylandDisplay, const char* x11Display, uid_t uid);

class SessionLock {
public:
    // Takes the lock at that path; held() tells whether it was had. When another process
    // holds it, holder() is its pid (0 when it cannot be read), and error() says so.
    explicit SessionLock(const std::string& path);
    ~SessionLock();
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

    bool held() const { return fd_ >= 0; }
    pid_t holder() const { return holder_; }
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    pid_t holder_ = 0;
    std::string error_;
};
