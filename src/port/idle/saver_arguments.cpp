#include "port/idle/saver_arguments.h"

#include "port/linux/run_options.h"

std::vector<std::string> SaverArguments(const RunOptions& options)
{
    std::vector<std::string> arguments{"/s"};
    if (options.count != 0) {
        arguments.push_back("--count");
        arguments.push_back(std::to_string(options.count));
    }
    if (!options.output.empty()) {
        arguments.push_back("--output");
        arguments.push_back(options.output);
    }
    if (options.displayKind == DisplayKind::X11)
        arguments.push_back("--x11");
    else if (options.displayKind == DisplayKind::Wayland)
        arguments.push_back("--wayland");
    return arguments;
}
