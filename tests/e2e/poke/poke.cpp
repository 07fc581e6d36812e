// poke.exe: another program beside gridbloom, for the end-to-end tests.
//
//   poke.exe foreground X Y W H   opens a window there that takes the
//                                 foreground, as a reminder or an update
//                                 prompt does, and keeps it until it is ended
//   poke.exe screensave           sends WM_SYSCOMMAND SC_SCREENSAVE to the
//                                 running saver, as the system does when the
//                                 screen saver is due
//   poke.exe displaychange        moves the saver's window aside, then tells
//                                 it that the monitors changed
//
// Ends with 0, or 2 when there is no saver window to send to.
#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t SaverClass[] = L"gridbloom.frmMain";

LRESULT CALLBACK PokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int Foreground(int x, int y, int width, int height) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PokeProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = L"gridbloom.poke";
    if (!::RegisterClassExW(&windowClass)) return 1;
    const HWND window = ::CreateWindowExW(WS_EX_TOPMOST, L"gridbloom.poke", L"poke", WS_POPUP, x, y, width, height,
                                          nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv || count < 2) return 1;
    if (std::wcscmp(argv[1], L"foreground") == 0 && count == 6) {
        return Foreground(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
    }
    const HWND saver = ::FindWindowW(SaverClass, nullptr);
    if (!saver) return 2;
    if (std::wcscmp(argv[1], L"screensave") == 0) {
        ::SendMessageW(saver, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        return 0;
    }
    if (std::wcscmp(argv[1], L"displaychange") == 0) {
        ::SetWindowPos(saver, nullptr, 100, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(saver, WM_DISPLAYCHANGE, 32,
                       MAKELPARAM(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
        return 0;
    }
    return 1;
}
