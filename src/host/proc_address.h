#pragma once

#include "desktop_api.h"

// GetProcAddress hands back a generic function pointer; going through void (*)() says
// that the real type is known here. None when the module lacks the entry, or is none.
template <typename Proc>
Proc ProcAddress(HMODULE module, LPCSTR name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
