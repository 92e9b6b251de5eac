#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <functional>

// logind's PrepareForSleep on the system bus, where there is one: the machine wakes up.
class SleepWatch {
public:
    SleepWatch(sd_event* event, std::function<void()> wokeUp);
    ~SleepWatch();
    SleepWatch(const SleepWatch&) = delete;
    SleepWatch& operator=(const SleepWatch&) = delete;

    bool watching() const { return slot_ != nullptr; }

private:
    static int OnPrepare(sd_bus_message* message, void* data, sd_bus_error* error);

    std::function<void()> wokeUp_;
    sd_bus* bus_ = nullptr;
    sd_bus_slot* slot_ = nullptr;
};
