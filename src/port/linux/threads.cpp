// Threads on pthreads: a handle that stays valid after the thread has ended, until it
// is closed; a wait without a time limit; and a priority as a per-thread nice value.

#include <pthread.h>
#include <sys/prctl.h>
#include <semaphore.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "desktop_api.h"

namespace {

constexpr DWORD kWaitObject0 = 0;
constexpr DWORD kWaitTimeout = 0x102;
constexpr DWORD kWaitFailed = 0xFFFFFFFF;

struct ThreadHandle {
    pthread_t thread{};
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    sem_t started{};  // posted once the new thread has written its kernel id
    pid_t tid = 0;    // which its priority is set by
    bool joined = false;
};

void* ThreadMain(void* argument)
{
    // The handle may be closed as soon as the id is reported, so everything needed from
    // it is taken first.
    auto* handle = static_cast<ThreadHandle*>(argument);
    const LPTHREAD_START_ROUTINE start = handle->start;
    LPVOID parameter = handle->parameter;
    handle->tid = static_cast<pid_t>(syscall(SYS_gettid));
    sem_post(&handle->started);
    // Linux may let a sleep run 50 microseconds long so that it can wake several threads
    // at once; a Win32 thread's Sleep has no such slack, and a frame's pause should be
    // the pause asked for.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    start(parameter);
    return nullptr;
}

}  // namespace

HANDLE CreateThread(void*, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD,
                    DWORD* threadId)
{
    auto* handle = new ThreadHandle;
    handle->start = start;
    handle->parameter = parameter;
    sem_init(&handle->started, 0, 0);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    if (stackSize != 0)
        pthread_attr_setstacksize(&attributes, stackSize);
    const int failed = pthread_create(&handle->thread, &attributes, ThreadMain, handle);
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        sem_destroy(&handle->started);
        delete handle;
        return nullptr;
    }
    // Win32 knows a thread's id as soon as it is created; here it is the kernel's id,
    // which the new thread reports at once.
    while (sem_wait(&handle->started) != 0) {
        // Interrupted by a signal: wait on.
    }
    sem_destroy(&handle->started);
    if (threadId != nullptr)
        *threadId = static_cast<DWORD>(handle->tid);
    return handle;
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    // Linux gives each thread a nice value of its own. One Win32 step is one nice step:
    // below normal runs at the process's niceness plus one. Raising it may be refused to
    // an ordinary user; that failure is the caller's to ignore.
    auto* handle = static_cast<ThreadHandle*>(thread);
    errno = 0;
    const int processNice = getpriority(PRIO_PROCESS, 0);
    if (errno != 0)
        return FALSE;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(handle->tid), processNice - priority) == 0 ? TRUE : FALSE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    auto* handle = static_cast<ThreadHandle*>(object);
    if (handle->joined)
        return kWaitObject0;
    if (milliseconds == INFINITE) {
        if (pthread_join(handle->thread, nullptr) != 0)
            return kWaitFailed;
    } else {
        timespec until{};
        clock_gettime(CLOCK_REALTIME, &until);
        until.tv_sec += static_cast<time_t>(milliseconds / 1000);
        until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_nsec -= 1000000000L;
            ++until.tv_sec;
        }
        const int result = pthread_timedjoin_np(handle->thread, nullptr, &until);
        if (result == ETIMEDOUT)
            return kWaitTimeout;
        if (result != 0)
            return kWaitFailed;
    }
    handle->joined = true;
    return kWaitObject0;
}

BOOL CloseHandle(HANDLE object)
{
    // Closing the handle of a thread that still runs lets it run on, unawaited.
    auto* handle = static_cast<ThreadHandle*>(object);
    if (handle == nullptr)
        return FALSE;
    if (!handle->joined)
        pthread_detach(handle->thread);
    delete handle;
    return TRUE;
}

BOOL FreeLibrary(HMODULE)
{
    return FALSE;  // nothing is ever loaded as a module under X
}
