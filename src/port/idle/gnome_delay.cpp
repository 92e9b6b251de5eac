#include "port/idle/gnome_delay.h"

#include <cstdio>
#include <cstdlib>

std::optional<std::uint32_t> ParseIdleDelay(const std::string& answer)
{
    const std::string prefix = "uint32 ";
    if (answer.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const char* digits = answer.c_str() + prefix.size();
    char* end = nullptr;
    const unsigned long seconds = std::strtoul(digits, &end, 10);
    if (end == digits || (*end != '\0' && *end != '\n') || seconds > 0xFFFFFFFFul)
        return std::nullopt;
    return static_cast<std::uint32_t>(seconds);
}

std::optional<std::string> IdleDelayWarning(std::uint64_t waitMs, std::uint32_t delaySeconds)
{
    if (delaySeconds == 0 || waitMs < std::uint64_t{delaySeconds} * 1000u)
        return std::nullopt;
    return "GNOME blanks the screen after " + std::to_string(delaySeconds) +
           " s of idle time (org.gnome.desktop.session idle-delay), before the saver's wait is over: "
           "make the saver's wait shorter, or GNOME's longer (gsettings set org.gnome.desktop.session "
           "idle-delay SECONDS, 0 for never)";
}

std::optional<std::uint32_t> ReadGnomeIdleDelay()
{
    std::FILE* answer = popen("gsettings get org.gnome.desktop.session idle-delay 2>/dev/null", "r");
    if (answer == nullptr)
        return std::nullopt;
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, answer) != nullptr;
    pclose(answer);
    return read ? ParseIdleDelay(line) : std::nullopt;
}
