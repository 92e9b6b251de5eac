#include "port/idle/screensaver_service.h"

#include "port/idle/idle_session.h"

namespace {

constexpr const char* kName = "org.freedesktop.ScreenSaver";

}  // namespace

ScreenSaverService::ScreenSaverService(sd_bus* bus, Changed changed) : bus_(bus), changed_(std::move(changed))
{
    static const sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ss", "u", Inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("UnInhibit", "u", "", UnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    if (bus_ == nullptr || NameHasOwner(bus_, kName))
        return;
    // Players call it at either path.
    sd_bus_add_object_vtable(bus_, &objects_[0], "/org/freedesktop/ScreenSaver", kName, kVtable, this);
    sd_bus_add_object_vtable(bus_, &objects_[1], "/ScreenSaver", kName, kVtable, this);
    sd_bus_match_signal(bus_, &owners_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                        "NameOwnerChanged", OwnerChanged, this);
    offered_ = sd_bus_request_name(bus_, kName, 0) >= 0;
}

ScreenSaverService::~ScreenSaverService()
{
    if (offered_)
        sd_bus_release_name(bus_, kName);
    for (sd_bus_slot* slot : objects_)
        sd_bus_slot_unref(slot);
    sd_bus_slot_unref(owners_);
}

int ScreenSaverService::Inhibit(sd_bus_message* message, void* data, sd_bus_error*)
{
    auto* service = static_cast<ScreenSaverService*>(data);
    const char* application = nullptr;
    const char* reason = nullptr;
    const int read = sd_bus_message_read(message, "ss", &application, &reason);
    if (read < 0)
        return read;
    const std::uint32_t cookie = ++service->next_;
    const char* sender = sd_bus_message_get_sender(message);
    service->cookies_[cookie] = sender != nullptr ? sender : "";
    service->changed_(service->inhibitors());
    return sd_bus_reply_method_return(message, "u", cookie);
}

int ScreenSaverService::UnInhibit(sd_bus_message* message, void* data, sd_bus_error*)
{
    auto* service = static_cast<ScreenSaverService*>(data);
    std::uint32_t cookie = 0;
    const int read = sd_bus_message_read(message, "u", &cookie);
    if (read < 0)
        return read;
    if (service->cookies_.erase(cookie) > 0)
        service->changed_(service->inhibitors());
    return sd_bus_reply_method_return(message, "");
}

int ScreenSaverService::OwnerChanged(sd_bus_message* message, void* data, sd_bus_error*)
{
    auto* service = static_cast<ScreenSaverService*>(data);
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &before, &after) < 0 || after == nullptr || *after != '\0')
        return 0;
    // A connection that went leaves no inhibitor behind.
    bool dropped = false;
    for (auto k = service->cookies_.begin(); k != service->cookies_.end();) {
        if (k->second == name) {
            k = service->cookies_.erase(k);
            dropped = true;
        } else {
            ++k;
        }
    }
    if (dropped)
        service->changed_(service->inhibitors());
    return 0;
}
