// Facts about the running program that come from Windows.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace gridbloom::win {

// The full path of the program file; empty if Windows cannot give it.
std::wstring ProgramFilePath();

struct InstanceClaim {
    bool AnotherCopyRunning = false;
    UniqueKernelHandle Mutex;  // held for the life of the program
};

// Creates the single-instance mutex of the user's session and keeps it in the
// claim. Another copy is running when the mutex exists already, or exists but
// may not be opened; the claim then holds no mutex.
InstanceClaim ClaimInstanceMutex();

}  // namespace gridbloom::win
