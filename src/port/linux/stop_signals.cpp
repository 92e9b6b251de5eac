// SIGTERM and SIGINT end the saver as a closed window would: the handler only writes a
// byte to a pipe, which the message loop watches beside the display.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "port/linux/desktop.h"

namespace {

int stopPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one write, with errno kept as it was.
void OnStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

bool EndOnStopSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

int StopSignalFd()
{
    return stopPipe[0];
}

bool TakeStopSignal()
{
    if (stopPipe[0] < 0)
        return false;
    bool any = false;
    char bytes[16];
    while (read(stopPipe[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}
