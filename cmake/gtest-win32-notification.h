// Forced into every translation unit that sees GoogleTest in the Windows builds.
// GoogleTest's Notification is built on std::mutex, which the win32 thread model of
// Debian's MinGW compilers does not have; this one is a Win32 manual-reset event instead.
#pragma once

#define GTEST_HAS_NOTIFICATION_ 1

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
