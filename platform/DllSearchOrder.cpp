// Locks the DLL search order before anything of the program runs.
//
// The C runtime initialises its stack protector before wWinMain, and that
// loads crypto DLLs (bcrypt, crypt32, rsaenh) by name. A screen saver is
// often started from the folder it was downloaded to ("right-click,
// Install"), so those names must never be looked up there. A TLS callback
// runs at process attach, before the runtime's own start-up code, and
// restricts every later load by name to the system folder.
//
// SetDefaultDllDirectories came to Windows 7 only with update KB2533623: it
// is looked up at run time, so that the program starts without it, and the
// current folder is then at least taken out of the search.
#include <windows.h>

#include "platform/SystemFunction.h"

namespace {

void NTAPI LockDllSearchOrder(PVOID, DWORD reason, PVOID) {
    if (reason != DLL_PROCESS_ATTACH) return;
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories =
        gridbloom::win::FindSystemFunction<SetDefaultDllDirectoriesFn>(kernel32, "SetDefaultDllDirectories");
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

}  // namespace

// The loader calls the callbacks of the .CRT$XL* sections in name order; the
// runtime's own start at .CRT$XLC, so this one comes first.
extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK gridbloomLockDllSearchOrder =
    LockDllSearchOrder;
