#include "port/idle/sleep_watch.h"

SleepWatch::SleepWatch(sd_event* event, std::function<void()> wokeUp) : wokeUp_(std::move(wokeUp))
{
    if (sd_bus_open_system(&bus_) < 0) {
        bus_ = nullptr;
        return;
    }
    sd_bus_attach_event(bus_, event, SD_EVENT_PRIORITY_NORMAL);
    if (sd_bus_match_signal(bus_, &slot_, nullptr, "/org/freedesktop/login1",
                            "org.freedesktop.login1.Manager", "PrepareForSleep", OnPrepare, this) < 0)
        slot_ = nullptr;
}

SleepWatch::~SleepWatch()
{
    sd_bus_slot_unref(slot_);
    if (bus_ != nullptr) {
        sd_bus_detach_event(bus_);
        sd_bus_flush_close_unref(bus_);
    }
}

int SleepWatch::OnPrepare(sd_bus_message* message, void* data, sd_bus_error*)
{
    int goingToSleep = 0;
    if (sd_bus_message_read(message, "b", &goingToSleep) >= 0 && goingToSleep == 0)
        static_cast<SleepWatch*>(data)->wokeUp_();
    return 0;
}
