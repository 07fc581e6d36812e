#include "platform/MessageLoop.h"

#include "platform/Window.h"

namespace gridbloom::win {
namespace {

// The only state the loop keeps beside the windows themselves.
HWND keyboardDialog = nullptr;

}  // namespace

void SetKeyboardDialog(HWND dialog) { keyboardDialog = dialog; }

int RunMessageLoop() {
    if (Window::OpenTopLevelWindows() == 0) return 0;
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
