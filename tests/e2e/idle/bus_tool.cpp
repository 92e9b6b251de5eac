// The session bus side of the idle watch's tests, as a user's programs would act there:
//
//   bus_tool gnome-remote         a session of mutter's remote desktop, which gives the
//                                 seat a keyboard and a pointer for as long as it lasts:
//                                 each line "key KEYSYM" on standard input presses and
//                                 releases that key, "move DX DY" moves the pointer, both
//                                 counting as the user's input; it ends with its input
//   bus_tool gnome-inhibit        asks GNOME's session to hold idle back (Inhibit, flag 8)
//                                 and holds it until its standard input ends
//   bus_tool has-name NAME        exit code 0 when someone has that name on the bus
//   bus_tool screensaver-inhibit  asks org.freedesktop.ScreenSaver to hold the saver back,
//                                 as a video player does; a line "release" on standard
//                                 input calls UnInhibit; it ends with its standard input
//
// It prints one line for each step done ("inhibited COOKIE", "released", "pressed") and
// exits 0, or names what failed and exits 1. The bus is DBUS_SESSION_BUS_ADDRESS's.
#include <systemd/sd-bus.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int Failed(const char* what, const sd_bus_error& error, int code)
{
    std::fprintf(stderr, "bus_tool: %s: %s\n", what, error.message != nullptr ? error.message : std::strerror(-code));
    return 1;
}

// Waits until standard input ends, or gives the line "release".
bool UntilReleaseOrEnd()
{
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "release")
            return true;
    }
    return false;
}

int GnomeRemote(sd_bus* bus)
{
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, "org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                               "org.gnome.Mutter.RemoteDesktop", "CreateSession", &error, &reply, "");
    if (r < 0)
        return Failed("CreateSession", error, r);
    const char* path = nullptr;
    sd_bus_message_read(reply, "o", &path);
    const std::string session = path != nullptr ? path : "";
    sd_bus_message_unref(reply);
    const char* kSession = "org.gnome.Mutter.RemoteDesktop.Session";
    auto call = [&](const char* method, const char* types, auto... arguments) {
        return sd_bus_call_method(bus, "org.gnome.Mutter.RemoteDesktop", session.c_str(), kSession, method, &error,
                                  nullptr, types, arguments...);
    };
    if ((r = call("Start", "")) < 0)
        return Failed("Start", error, r);
    std::puts("started");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        unsigned keysym = 0;
        double dx = 0;
        double dy = 0;
        if (std::sscanf(line.c_str(), "key %i", reinterpret_cast<int*>(&keysym)) == 1) {
            for (const int pressed : {1, 0}) {
                if ((r = call("NotifyKeyboardKeysym", "ub", keysym, pressed)) < 0)
                    return Failed("NotifyKeyboardKeysym", error, r);
            }
            std::puts("pressed");
        } else if (std::sscanf(line.c_str(), "move %lf %lf", &dx, &dy) == 2) {
            if ((r = call("NotifyPointerMotionRelative", "dd", dx, dy)) < 0)
                return Failed("NotifyPointerMotionRelative", error, r);
            std::puts("moved");
        }
        std::fflush(stdout);
    }
    call("Stop", "");
    return 0;
}

int Inhibit(sd_bus* bus, bool gnome)
{
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
    sd_bus_message* reply = nullptr;
    const int r = gnome ? sd_bus_call_method(bus, "org.gnome.SessionManager", "/org/gnome/SessionManager",
                                             "org.gnome.SessionManager", "Inhibit", &error, &reply, "susu",
                                             "varbules-test", 0u, "a test holds idle back", 8u)
                        : sd_bus_call_method(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                             "org.freedesktop.ScreenSaver", "Inhibit", &error, &reply, "ss",
                                             "varbules-test", "a test plays a video");
    if (r < 0)
        return Failed("Inhibit", error, r);
    std::uint32_t cookie = 0;
    sd_bus_message_read(reply, "u", &cookie);
    sd_bus_message_unref(reply);
    std::printf("inhibited %u\n", cookie);
    std::fflush(stdout);
    if (UntilReleaseOrEnd()) {
        const int u = gnome ? sd_bus_call_method(bus, "org.gnome.SessionManager", "/org/gnome/SessionManager",
                                                 "org.gnome.SessionManager", "Uninhibit", &error, nullptr, "u", cookie)
                            : sd_bus_call_method(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                                 "org.freedesktop.ScreenSaver", "UnInhibit", &error, nullptr, "u",
                                                 cookie);
        if (u < 0)
            return Failed("UnInhibit", error, u);
        std::puts("released");
        std::fflush(stdout);
        UntilReleaseOrEnd();
    }
    return 0;
}

int HasName(sd_bus* bus, const char* name)
{
    sd_bus_message* reply = nullptr;
    int has = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                           nullptr, &reply, "s", name) >= 0)
        sd_bus_message_read(reply, "b", &has);
    sd_bus_message_unref(reply);
    return has ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    sd_bus* bus = nullptr;
    if (const int r = sd_bus_open_user(&bus); r < 0) {
        std::fprintf(stderr, "bus_tool: no session bus: %s\n", std::strerror(-r));
        return 1;
    }
    int result = 2;
    if (argc == 2 && std::strcmp(argv[1], "gnome-remote") == 0)
        result = GnomeRemote(bus);
    else if (argc == 3 && std::strcmp(argv[1], "has-name") == 0)
        result = HasName(bus, argv[2]);
    else if (argc == 2 && std::strcmp(argv[1], "gnome-inhibit") == 0)
        result = Inhibit(bus, true);
    else if (argc == 2 && std::strcmp(argv[1], "screensaver-inhibit") == 0)
        result = Inhibit(bus, false);
    else
        std::fprintf(stderr, "usage: see the comment at the top of bus_tool.cpp\n");
    sd_bus_flush_close_unref(bus);
    return result;
}
