// Functions of newer Windows versions, looked up at run time so that the
// program still starts where they are missing.
#pragma once

#include <windows.h>

namespace gridbloom::win {

// The function `name` of `module` as a pointer of type Function; null when
// the module is not there or lacks it.
template <typename Function>
Function FindSystemFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // The cast through void* keeps GCC's -Wcast-function-type quiet.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace gridbloom::win
