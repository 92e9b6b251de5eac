#pragma once

#include <cstdint>

// What the page's address asks for, after the '?': count=16|32|64, preview, bench (figures
// of the page's own cost on the console), and the self-test's selftest, seed=S, frames=N
// and size=WxH, separated by '&'. Anything unknown
// or malformed is passed over and its default stands: a page never stops on its address.
struct PageOptions {
    std::int32_t count = 32;  // the saver's start value; a preview has 2 whatever it says
    bool preview = false;
    bool bench = false;
    bool selfTest = false;
    std::uint32_t seed = 0;
    bool seedGiven = false;
    std::int32_t frames = 100;
    std::int32_t width = 1024;
    std::int32_t height = 768;
};

PageOptions ParsePageOptions(const char* query);
