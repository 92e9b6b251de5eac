#include "host/command_line.h"

#include <cctype>
#include <cstdlib>

const char* SkipProgramName(const char* commandLine)
{
    const unsigned char* c = reinterpret_cast<const unsigned char*>(commandLine);
    if (*c == '"') {
        ++c;
        while (*c != '\0' && *c != '"')
            ++c;
        if (*c == '"')
            ++c;
    } else {
        while (*c > 0x20)
            ++c;
    }
    while (*c >= 1 && *c <= 0x20)
        ++c;
    return reinterpret_cast<const char*>(c);
}

std::uint32_t ReadWindowNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return 0;
    // strtoull saturates far above 32 bits, so anything past 0xFFFFFFFF is an overflow.
    const unsigned long long magnitude = std::strtoull(text, nullptr, 10);
    if (magnitude > 0xFFFFFFFFull)
        return 0xFFFFFFFFu;
    const std::uint32_t value = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

SaverCommand ScanCommandLine(const char* text)
{
    for (const char* c = text; *c != '\0'; ++c) {
        switch (*c) {
        case 'S':
        case 's':
            return {SaverSwitch::Save, 0};
        case 'P':
        case 'p':
            return {SaverSwitch::Preview, ReadWindowNumber(c + 1)};
        case 'A':
        case 'a':
            return {SaverSwitch::ChangePassword, ReadWindowNumber(c + 1)};
        case 'C':
        case 'c':
            return {SaverSwitch::Configure, 0};
        default:
            break;
        }
    }
    return {SaverSwitch::Configure, 0};
}
