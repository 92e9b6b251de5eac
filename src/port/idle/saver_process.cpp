#include "port/idle/saver_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

// varbules in this program's own folder.
std::string SaverPath()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "varbules";
    self[length] = '\0';
    const char* slash = std::strrchr(self, '/');
    return std::string(self, static_cast<std::size_t>(slash - self + 1)) + "varbules";
}

}  // namespace

SaverProcess::SaverProcess(sd_event* event, std::vector<std::string> arguments, std::function<void(int)> ended)
    : event_(event), arguments_(std::move(arguments)), ended_(std::move(ended))
{
}

SaverProcess::~SaverProcess()
{
    sd_event_source_unref(child_);
}

bool SaverProcess::Start()
{
    const std::string path = SaverPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (std::string& argument : arguments_)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The daemon blocks the signals its loop reads; the saver must get them as usual.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    const int error = posix_spawn(&pid_, path.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        std::fprintf(stderr, "varbules: cannot start %s: %s\n", path.c_str(), std::strerror(error));
        pid_ = 0;
        return false;
    }
    sd_event_source_unref(child_);
    child_ = nullptr;
    sd_event_add_child(event_, &child_, pid_, WEXITED, OnExit, this);
    return true;
}

int SaverProcess::OnExit(sd_event_source*, const siginfo_t* info, void* data)
{
    auto* saver = static_cast<SaverProcess*>(data);
    const int code = info->si_code == CLD_EXITED ? info->si_status : 128 + info->si_status;
    saver->pid_ = 0;
    saver->ended_(code);
    return 0;
}
