// The program's entry. The name of the program is cut off the command line as the
// desktop's own savers do it, so that letters in a quoted path never count as switches.

#include "host/command_line.h"
#include "host/saver_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* rest = SkipProgramName(GetCommandLineA());
    return SaverMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(rest), 0);
}
