// Fuzzes the reading of command lines: the Windows saver's (SkipProgramName,
// ScanCommandLine, ReadWindowNumber) and the Linux saver's options (ParseRunOptions,
// ParseWindowId). The input is split at its NUL bytes; every piece is one NUL-terminated
// text for the Windows readers, and together the pieces are an argv for the Linux one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "host/command_line.h"
#include "port/linux/run_options.h"

namespace {

void Check(bool condition, const char* what, const std::string& text)
{
    if (condition)
        return;
    std::fprintf(stderr, "command_line_fuzz: %s\n  text (%zu bytes):", what, text.size());
    for (const unsigned char c : text)
        std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

// White space as the C library's isspace sees it in the "C" locale.
bool IsSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A second reading of a window number, digit by digit in 64 bits, so that it shares
// nothing with the reader under test but the rule itself.
std::uint32_t ModelWindowNumber(const char* text)
{
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text);
    while (IsSpace(*c))
        ++c;
    bool negative = false;
    if (*c == '+' || *c == '-') {
        negative = *c == '-';
        ++c;
    }
    if (*c < '0' || *c > '9')
        return 0;
    std::uint64_t value = 0;
    bool tooLarge = false;
    for (; *c >= '0' && *c <= '9'; ++c) {
        value = value * 10 + (*c - '0');
        if (value > 0xFFFFFFFFu) {
            tooLarge = true;
            value = 0xFFFFFFFFu;  // keeps the product below from overflowing
        }
    }
    if (tooLarge)
        return 0xFFFFFFFFu;
    const std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0x100000000ull - magnitude) : magnitude;
}

void CheckWindowsReaders(const std::string& piece)
{
    const char* text = piece.c_str();
    const std::size_t length = std::strlen(text);

    // The rest of the line starts inside the text (at its terminating NUL at the latest),
    // and never at a blank or control character that the skip should have taken.
    const char* rest = SkipProgramName(text);
    Check(rest >= text && rest <= text + length, "SkipProgramName points outside the text", piece);
    const unsigned char next = static_cast<unsigned char>(*rest);
    Check(next == 0 || next > 0x20, "SkipProgramName stops at a blank", piece);

    Check(ReadWindowNumber(text) == ModelWindowNumber(text), "ReadWindowNumber disagrees with the model", piece);

    // The first of S, P, A, C in either case decides; none at all is Configure.
    SaverSwitch what = SaverSwitch::Configure;
    std::uint32_t window = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const char letter = *c >= 'a' && *c <= 'z' ? static_cast<char>(*c - 'a' + 'A') : *c;
        if (letter == 'S') {
            what = SaverSwitch::Save;
        } else if (letter == 'P' || letter == 'A') {
            what = letter == 'P' ? SaverSwitch::Preview : SaverSwitch::ChangePassword;
            window = ModelWindowNumber(c + 1);
        } else if (letter != 'C') {
            continue;
        }
        break;
    }
    const SaverCommand command = ScanCommandLine(text);
    Check(command.what == what, "ScanCommandLine picks the wrong switch", piece);
    Check(command.window == window, "ScanCommandLine reads the wrong window", piece);

    // The saver scans what follows the program's name; the same rule holds there.
    const SaverCommand afterName = ScanCommandLine(rest);
    Check(afterName.what != SaverSwitch::Save || afterName.window == 0, "a window number after S", piece);
    Check(afterName.what != SaverSwitch::Configure || afterName.window == 0, "a window number after C", piece);
}

// A window id the X11 way: the whole text is a decimal number, or hexadecimal after 0x or
// 0X, that fits an unsigned long and is not 0.
bool ModelWindowId(const char* text, unsigned long* id)
{
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0')
        return false;
    unsigned long value = 0;
    for (; *text != '\0'; ++text) {
        const char c = *text;
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (value > (std::numeric_limits<unsigned long>::max() - digit) / base)
            return false;
        value = value * base + digit;
    }
    if (value == 0)
        return false;
    *id = value;
    return true;
}

void CheckWindowId(const std::string& piece)
{
    unsigned long got = 12345, want = 12345;
    const bool parsed = ParseWindowId(piece.c_str(), &got);
    const bool modelled = ModelWindowId(piece.c_str(), &want);
    Check(parsed == modelled, "ParseWindowId accepts or refuses unlike the model", piece);
    Check(got == want, "ParseWindowId gives another id", piece);
}

void CheckRunOptions(const std::vector<std::string>& pieces)
{
    std::vector<const char*> argv{"varbules"};
    for (const std::string& piece : pieces)
        argv.push_back(piece.c_str());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size() - 1);
    const RunOptions options = ParseRunOptions(argc, argv.data());

    std::string all;
    for (const std::string& piece : pieces)
        all += piece + '\0';
    Check(options.count == 0 || options.count == 16 || options.count == 32 || options.count == 64,
          "ParseRunOptions takes a count other than 16, 32 or 64", all);
    Check((options.mode == RunMode::Invalid) == !options.error.empty(),
          "ParseRunOptions has an error exactly when it is invalid", all);
    if (options.mode == RunMode::WindowId)
        Check(options.windowId != 0, "ParseRunOptions gives window id 0", all);
    if (options.mode == RunMode::Preview)
        Check(options.windowId <= 0xFFFFFFFFul, "a preview window beyond 32 bits", all);
    if (options.mode == RunMode::Invalid) {
        // An invalid line gets nothing else from it.
        Check(options.windowId == 0 && options.count == 0 && options.display.empty() && options.output.empty(),
              "ParseRunOptions keeps values of an invalid line", all);
    } else if (options.mode != RunMode::Help) {
        // What only X11 has never runs on Wayland, however it is asked.
        const bool x11Only = options.mode == RunMode::Root || options.mode == RunMode::WindowId ||
                             options.mode == RunMode::Preview || !options.display.empty();
        Check(!x11Only || options.displayKind != DisplayKind::Wayland, "a valid line asks Wayland for X11's run", all);
        Check(!x11Only || ChooseDisplay(options, "wayland-1") == DisplayKind::X11, "X11's run chosen for Wayland", all);
        Check(!x11Only || options.output.empty(), "an output named for X11's run", all);
    }

    // --help first wins over whatever follows it.
    std::vector<const char*> withHelp{"varbules", "--help"};
    withHelp.insert(withHelp.end(), argv.begin() + 1, argv.end());
    Check(ParseRunOptions(argc + 1, withHelp.data()).mode == RunMode::Help, "--help first is not help", all);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += static_cast<char>(data[i]);
        }
    }
    pieces.push_back(piece);
    // A long argv only repeats the work of a short one.
    if (pieces.size() > 16)
        pieces.resize(16);

    for (const std::string& p : pieces) {
        CheckWindowsReaders(p);
        CheckWindowId(p);
    }
    CheckRunOptions(pieces);
    return 0;
}
