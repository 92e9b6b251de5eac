#include <algorithm>
#include <cstring>

#include "desktop_api.h"
#include "resources/resource.h"

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

// The same list the resource script compiles into the Windows string table.
constexpr StringEntry kStringTable[] = {
#define SAVER_STRING(id, text) {id, text},
#include "resources/string_table.inc"
#undef SAVER_STRING
};

}  // namespace

int LoadStringA(HINSTANCE, UINT id, char* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    for (const StringEntry& entry : kStringTable) {
        if (entry.id == id) {
            const int length = std::min(static_cast<int>(std::strlen(entry.text)), size - 1);
            std::memcpy(buffer, entry.text, static_cast<std::size_t>(length));
            buffer[length] = '\0';
            return length;
        }
    }
    buffer[0] = '\0';
    return 0;
}
