#include "port/file_kind.h"

// Among a directory's entries Windows has files and directories only (pipes live in a
// namespace of their own), and opening a directory as a file fails by itself.
bool IsFileOrNothing(const char*)
{
    return true;
}
