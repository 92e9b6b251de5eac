#pragma once

#include <functional>
#include <string>

// A way of the session to tell that it has been idle for a while. Each lives on the
// daemon's event loop and calls back once per idle period while armed.
class IdleWatch {
public:
    using Callback = std::function<void()>;
    // The connection it watches through broke; what for, in a few words.
    using LostCallback = std::function<void(const std::string&)>;
    virtual ~IdleWatch() = default;

    // From now on, call back once the session has been idle for the whole wait, and at
    // most once until armed again.
    virtual void Arm() = 0;
    // Call back no more.
    virtual void Disarm() = 0;
};
