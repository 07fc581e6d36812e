#include "platform/MessageLoop.h"

namespace gridbloom::win {
namespace {

// The only state shared across windows: what the loop itself needs.
int openTopLevelWindows = 0;
HWND keyboardDialog = nullptr;

}  // namespace

void TopLevelWindowOpened() { ++openTopLevelWindows; }

void TopLevelWindowClosed() {
    if (openTopLevelWindows > 0) --openTopLevelWindows;
    if (openTopLevelWindows == 0) ::PostQuitMessage(0);
}

void SetKeyboardDialog(HWND dialog) { keyboardDialog = dialog; }

int RunMessageLoop() {
    if (openTopLevelWindows == 0) return 0;
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (keyboardDialog && ::IsWindow(keyboardDialog) && ::IsDialogMessageW(keyboardDialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace gridbloom::win
