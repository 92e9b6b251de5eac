#include "port/web/page_options.h"

#include <cstring>
#include <string>

namespace {

// A whole decimal number from 0 to limit, or false.
bool ReadNumber(const std::string& text, std::uint64_t limit, std::uint64_t* value)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > limit)
        return false;
    *value = n;
    return true;
}

void ReadOption(const std::string& name, const std::string& value, bool hasValue, PageOptions& options)
{
    constexpr std::uint64_t kLargestSize = 16384;  // a canvas of any browser
    std::uint64_t n = 0;
    if (name == "preview" && !hasValue) {
        options.preview = true;
    } else if (name == "bench" && !hasValue) {
        options.bench = true;
    } else if (name == "selftest" && !hasValue) {
        options.selfTest = true;
    } else if (name == "count" && ReadNumber(value, 64, &n) && (n == 16 || n == 32 || n == 64)) {
        options.count = static_cast<std::int32_t>(n);
    } else if (name == "seed" && ReadNumber(value, 0xFFFFFFFFu, &n)) {
        options.seed = static_cast<std::uint32_t>(n);
        options.seedGiven = true;
    } else if (name == "frames" && ReadNumber(value, 1000000, &n)) {
        options.frames = static_cast<std::int32_t>(n);
    } else if (name == "size") {
        const std::size_t x = value.find('x');
        std::uint64_t w = 0;
        std::uint64_t h = 0;
        if (x != std::string::npos && ReadNumber(value.substr(0, x), kLargestSize, &w) &&
            ReadNumber(value.substr(x + 1), kLargestSize, &h)) {
            options.width = static_cast<std::int32_t>(w);
            options.height = static_cast<std::int32_t>(h);
        }
    }
}

}  // namespace

PageOptions ParsePageOptions(const char* query)
{
    PageOptions options;
    if (query == nullptr)
        return options;
    std::string rest = query[0] == '?' ? query + 1 : query;
    while (!rest.empty()) {
        const std::size_t end = rest.find('&');
        const std::string part = rest.substr(0, end);
        rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
        const std::size_t equals = part.find('=');
        ReadOption(part.substr(0, equals), equals == std::string::npos ? std::string() : part.substr(equals + 1),
                   equals != std::string::npos, options);
    }
    return options;
}
