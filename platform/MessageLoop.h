// The program's event loop. It runs until the last top-level window closes,
// and lets a dialog-like window handle its own keyboard navigation.
#pragma once

#include <windows.h>

namespace gridbloom::win {

// The window whose Tab, Enter and Space go through IsDialogMessage; null for
// none. The saver window must never be one: it wants every key itself.
void SetKeyboardDialog(HWND dialog);

// Runs until the last top-level window has closed; returns the exit code.
int RunMessageLoop();

}  // namespace gridbloom::win
