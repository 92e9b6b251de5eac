#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "port/linux/screen_rect.h"

// An output as the saver needs to know it: its name and its place in the layout.
struct OutputPlace {
    std::string name;
    ScreenRect rect;  // the layout position, and the size in the output's own pixels
};

// Which of the outputs, in the order the compositor announced them, shows the animation:
// the one named wanted, or with no name the first. None (the count) when no output has
// that name.
std::size_t AnimatedOutput(const std::vector<OutputPlace>& outputs, const std::string& wanted);

// The monitors as the desktop lists them: the animated output first, the others after it
// in the order they were announced.
std::vector<ScreenRect> MonitorsWithFirst(const std::vector<OutputPlace>& outputs, std::size_t first);
