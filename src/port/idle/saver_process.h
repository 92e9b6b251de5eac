#pragma once

#include <systemd/sd-event.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// The saver the idle watch starts: varbules, beside this program, with the arguments
// given, in this program's environment (so on the session's display). Its end, with the
// exit code (or 128 and the signal), is told on the event loop.
class SaverProcess {
public:
    SaverProcess(sd_event* event, std::vector<std::string> arguments, std::function<void(int)> ended);
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    // Starts it; false, having said why, when it cannot be.
    bool Start();
    pid_t pid() const { return pid_; }

private:
    static int OnExit(sd_event_source* source, const siginfo_t* info, void* data);

    sd_event* event_;
    std::vector<std::string> arguments_;
    std::function<void(int)> ended_;
    pid_t pid_ = 0;
    sd_event_source* child_ = nullptr;
};
