#pragma once

#include <cstdint>

// What the desktop asks of the saver, read from its command line.
enum class SaverSwitch {
    Configure,       // C, or no switch letter at all: the settings dialog
    Save,            // S: full screen
    Preview,         // P <window>: inside the desktop's preview window
    ChangePassword,  // A <window>: the platform's password change
};

struct SaverCommand {
    SaverSwitch what;
    std::uint32_t window;  // the number after P or A; 0 otherwise
};

// The process command line with the program's name cut off: a quoted name up to and
// including its closing quote (or the whole line if there is none), otherwise everything
// up to the first character of code 0x20 or less; then any characters from 1 to 0x20.
const char* SkipProgramName(const char* commandLine);

// The first of the letters S, P, A, C in either case decides, wherever it stands; P and
// A read a window number right after it.
SaverCommand ScanCommandLine(const char* text);

// Reads a window number: white space, one optional sign, then decimal digits. The digits
// form an unsigned 32-bit value, 0xFFFFFFFF when they do not fit whatever the sign, and a
// minus negates it modulo 2^32. No digits read as 0.
std::uint32_t ReadWindowNumber(const char* text);
