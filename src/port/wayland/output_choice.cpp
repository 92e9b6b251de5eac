#include "port/wayland/output_choice.h"

std::size_t AnimatedOutput(const std::vector<OutputPlace>& outputs, const std::string& wanted)
{
    if (wanted.empty())
        return 0;
    for (std::size_t k = 0; k < outputs.size(); ++k)
        if (outputs[k].name == wanted)
            return k;
    return outputs.size();
}

std::vector<ScreenRect> MonitorsWithFirst(const std::vector<OutputPlace>& outputs, std::size_t first)
{
    std::vector<ScreenRect> monitors;
    if (first < outputs.size())
        monitors.push_back(outputs[first].rect);
    for (std::size_t k = 0; k < outputs.size(); ++k)
        if (k != first)
            monitors.push_back(outputs[k].rect);
    return monitors;
}
