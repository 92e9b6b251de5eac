#pragma once

#include <cstdint>
#include <optional>
#include <string>

// GNOME blanks (and locks) the screen itself once the session has been idle for its own
// delay, org.gnome.desktop.session idle-delay: 300 s unless the user changed it, 0 for
// never. A saver with a wait as long or longer would never be seen.

// The seconds in gsettings' answer ("uint32 300"), or nothing for an answer of another
// form.
std::optional<std::uint32_t> ParseIdleDelay(const std::string& answer);

// What to tell the user about a wait of waitMs under that delay, or nothing when the
// saver comes first.
std::optional<std::string> IdleDelayWarning(std::uint64_t waitMs, std::uint32_t delaySeconds);

// Asks gsettings for the delay (nothing where it cannot be asked).
std::optional<std::uint32_t> ReadGnomeIdleDelay();
