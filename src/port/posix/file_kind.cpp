#include "port/file_kind.h"

#include <sys/stat.h>

bool IsFileOrNothing(const char* name)
{
    struct stat status {};
    // When the name cannot be looked up, the open that follows fails the same way.
    if (stat(name, &status) != 0)
        return true;
    return S_ISREG(status.st_mode);
}
