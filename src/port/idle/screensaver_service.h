#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// org.freedesktop.ScreenSaver on the session bus, for an X11 session whose desktop does
// not offer it: players (browsers among them) call Inhibit while a video plays and
// UnInhibit after, or simply end. Each cookie belongs to the connection that asked for
// it and ends with it.
class ScreenSaverService {
public:
    using Changed = std::function<void(int inhibitors)>;

    // Takes the name on that bus if nobody has it; offered() tells whether it did.
    ScreenSaverService(sd_bus* bus, Changed changed);
    ~ScreenSaverService();
    ScreenSaverService(const ScreenSaverService&) = delete;
    ScreenSaverService& operator=(const ScreenSaverService&) = delete;

    bool offered() const { return offered_; }
    int inhibitors() const { return static_cast<int>(cookies_.size()); }

private:
    static int Inhibit(sd_bus_message* message, void* data, sd_bus_error* error);
    static int UnInhibit(sd_bus_message* message, void* data, sd_bus_error* error);
    static int OwnerChanged(sd_bus_message* message, void* data, sd_bus_error* error);

    sd_bus* bus_;
    Changed changed_;
    bool offered_ = false;
    std::uint32_t next_ = 0;
    std::map<std::uint32_t, std::string> cookies_;  // and the unique name of the caller
    sd_bus_slot* objects_[2] = {};
    sd_bus_slot* owners_ = nullptr;
};
