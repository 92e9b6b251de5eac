#include "port/linux/run_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/command_line.h"

namespace {

// "--name", "-name", "--name=value" and "-name=value" all match name; value points at
// the text after '=' when there is one.
bool Matches(const char* argument, const char* name, const char** value)
{
    const char* a = argument;
    if (*a != '-')
        return false;
    ++a;
    if (*a == '-')
        ++a;
    const std::size_t length = std::strlen(name);
    if (std::strncmp(a, name, length) != 0)
        return false;
    if (a[length] == '\0') {
        *value = nullptr;
        return true;
    }
    if (a[length] == '=') {
        *value = a + length + 1;
        return true;
    }
    return false;
}

bool IsWindowsSwitch(const char* argument)
{
    if (argument[0] == '/')
        return true;
    // -s, -p, -c and -a alone; -p123 too. Longer words are the X options.
    if (argument[0] != '-' || argument[1] == '\0' || std::strchr("sSpPcCaA", argument[1]) == nullptr)
        return false;
    return argument[2] == '\0' || argument[1] == 'p' || argument[1] == 'P';
}

RunOptions Invalid(std::string error)
{
    RunOptions options;
    options.mode = RunMode::Invalid;
    options.error = std::move(error);
    return options;
}

// Minutes of idle time: a plain decimal number above 0, at most a week (fractions for
// seconds' worth), nothing else around it.
bool ParseMinutes(const char* text, double* minutes)
{
    if (text == nullptr || !(std::isdigit(static_cast<unsigned char>(*text)) || *text == '.'))
        return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 7 * 24 * 60)
        return false;
    // strtod reads hexadecimal and exponents too; minutes are written plainly.
    for (const char* c = text; c != end; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c)) && *c != '.')
            return false;
    }
    *minutes = value;
    return true;
}

// Another program's window and the X server's name exist only on X11.
const char* X11OnlyPart(const RunOptions& options)
{
    switch (options.mode) {
    case RunMode::Root:
        return "--root";
    case RunMode::WindowId:
        return "--window-id";
    case RunMode::Preview:
        return "/p";
    default:
        return options.display.empty() ? nullptr : "--display";
    }
}

}  // namespace

bool ParseWindowId(const char* text, unsigned long* id)
{
    if (text == nullptr)
        return false;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    // strtoul would also take leading white space, a sign, and in base 16 a second "0x":
    // only digits may follow, from the first character on.
    for (const char* c = digits; *c != '\0'; ++c) {
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(*c)) : std::isdigit(static_cast<unsigned char>(*c))))
            return false;
    }
    if (*digits == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(digits, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value == 0)
        return false;
    *id = value;
    return true;
}

RunOptions ParseRunOptions(int argc, const char* const* argv)
{
    RunOptions options;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const char* value = nullptr;
        // The value of an option: after '=', or the next argument.
        auto take = [&](const char* name) -> const char* {
            if (value != nullptr)
                return value;
            if (i + 1 < argc)
                return argv[++i];
            options.error = std::string("--") + name + " needs a value";
            return nullptr;
        };

        if (Matches(argument, "root", &value) && value == nullptr) {
            options.mode = RunMode::Root;
        } else if (Matches(argument, "window", &value) && value == nullptr) {
            options.mode = RunMode::Window;
        } else if (Matches(argument, "window-id", &value)) {
            const char* id = take("window-id");
            if (id == nullptr)
                return Invalid(options.error);
            if (!ParseWindowId(id, &options.windowId))
                return Invalid(std::string("not a window id: ") + id);
            options.mode = RunMode::WindowId;
        } else if (Matches(argument, "count", &value)) {
            const char* count = take("count");
            if (count == nullptr)
                return Invalid(options.error);
            if (std::strcmp(count, "16") == 0 || std::strcmp(count, "32") == 0 || std::strcmp(count, "64") == 0)
                options.count = std::atoi(count);
            else
                return Invalid(std::string("the count is 16, 32 or 64, not ") + count);
        } else if (Matches(argument, "display", &value)) {
            const char* display = take("display");
            if (display == nullptr)
                return Invalid(options.error);
            options.display = display;
        } else if (Matches(argument, "output", &value)) {
            const char* output = take("output");
            if (output == nullptr)
                return Invalid(options.error);
            options.output = output;
        } else if (Matches(argument, "idle", &value)) {
            const char* minutes = take("idle");
            if (minutes == nullptr)
                return Invalid(options.error);
            if (!ParseMinutes(minutes, &options.idleMinutes))
                return Invalid(std::string("--idle takes the minutes of idle time before the saver starts, a number "
                                           "above 0 (a fraction for seconds' worth), not ") +
                               minutes);
            options.mode = RunMode::Idle;
        } else if (Matches(argument, "wayland", &value) && value == nullptr) {
            options.displayKind = DisplayKind::Wayland;
        } else if (Matches(argument, "x11", &value) && value == nullptr) {
            options.displayKind = DisplayKind::X11;
        } else if (Matches(argument, "help", &value) || std::strcmp(argument, "-h") == 0) {
            options.mode = RunMode::Help;
            return options;
        } else if (IsWindowsSwitch(argument)) {
            // As on Windows, the first switch letter decides; P reads its window number
            // right after the letter, or from the next argument when none stands there.
            SaverCommand command = ScanCommandLine(argument);
            if (command.what == SaverSwitch::Preview && command.window == 0 && i + 1 < argc) {
                const std::string joined = std::string(argument) + " " + argv[i + 1];
                command = ScanCommandLine(joined.c_str());
                ++i;
            }
            switch (command.what) {
            case SaverSwitch::Save:
                options.mode = RunMode::FullScreen;
                break;
            case SaverSwitch::Preview:
                options.mode = RunMode::Preview;
                options.windowId = command.window;
                break;
            case SaverSwitch::Configure:
            case SaverSwitch::ChangePassword:
                options.mode = RunMode::Unsupported;
                break;
            }
        } else {
            return Invalid(std::string("unknown option: ") + argument);
        }
    }
    if (options.mode != RunMode::Idle)
        options.idleMinutes = 0;
    const char* x11Only = X11OnlyPart(options);
    if (options.displayKind == DisplayKind::Wayland && x11Only != nullptr)
        return Invalid(std::string(x11Only) + " is for X11, not --wayland");
    if (!options.output.empty() && (options.displayKind == DisplayKind::X11 || x11Only != nullptr))
        return Invalid("--output names a Wayland output; on X11 the animation is on the primary monitor");
    return options;
}

DisplayKind ChooseDisplay(const RunOptions& options, const char* waylandDisplay)
{
    if (options.displayKind != DisplayKind::Any)
        return options.displayKind;
    if (X11OnlyPart(options) != nullptr)
        return DisplayKind::X11;
    return waylandDisplay != nullptr && *waylandDisplay != '\0' ? DisplayKind::Wayland : DisplayKind::X11;
}

const char* RunOptionsUsage()
{
    return "usage: varbules [--window | --root | --window-id ID] [--count 16|32|64] [--display NAME] [--x11]\n"
           "       varbules [--window | /s] [--count 16|32|64] [--output NAME] [--wayland]\n"
           "       varbules [--count 16|32|64] /s | /p ID\n"
           "       varbules --idle MINUTES [--count 16|32|64] [--output NAME] [--wayland | --x11]\n"
           "\n"
           "  --window        a window of its own (the default)\n"
           "  --root          the window in XSCREENSAVER_WINDOW, else the root window,\n"
           "                  as xscreensaver runs it; ends on SIGTERM (X11)\n"
           "  --window-id ID  draw into the existing window ID (decimal or 0x hex; X11)\n"
           "  --count N       16, 32 or 64 varbules, over the settings file's choice\n"
           "  /s              full screen over every monitor; a key, a button or a move\n"
           "                  of the mouse ends it\n"
           "  /p ID           a preview filling window ID (decimal; X11)\n"
           "  --output NAME   the Wayland output that shows the animation (the others are\n"
           "                  covered); the first the compositor announces by default\n"
           "  --idle MINUTES  stay in the session and start the saver full screen (/s)\n"
           "                  whenever it has been idle that long (a fraction is allowed)\n"
           "  --wayland, --x11\n"
           "                  the display to use; by default Wayland where WAYLAND_DISPLAY\n"
           "                  is set, unless the run needs X11\n";
}
