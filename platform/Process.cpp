#include "platform/Process.h"

namespace gridbloom::win {

std::wstring ProgramFilePath() {
    // Paths can exceed MAX_PATH: grow the buffer until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

InstanceClaim ClaimInstanceMutex() {
    InstanceClaim claim;
    claim.Mutex.reset(::CreateMutexW(nullptr, FALSE, L"Local\\gridbloom.scr.single-instance"));
    const DWORD error = ::GetLastError();
    if (claim.Mutex) {
        claim.AnotherCopyRunning = error == ERROR_ALREADY_EXISTS;
    } else {
        // Access denied: the mutex exists under another security context,
        // which only a running copy creates. Any other failure says nothing
        // about other copies, and the saver goes on without the guard.
        claim.AnotherCopyRunning = error == ERROR_ACCESS_DENIED;
    }
    if (claim.AnotherCopyRunning) claim.Mutex.reset();
    return claim;
}

}  // namespace gridbloom::win
