#pragma once

#include <string>
#include <vector>

struct RunOptions;

// The saver's arguments for an idle watch started with these options: full screen, with
// the count, the output and the display asked for.
std::vector<std::string> SaverArguments(const RunOptions& options);
