// floor.exe: the least a full-screen saver of gridbloom's shape can cost.
//
// It opens the same kind of window as gridbloom.scr /S (borderless, topmost,
// covering the primary monitor) and, every 100 ms, shows one ready-made
// black frame as large as the board surface's inside (SIZE x SIZE pixels,
// 1054 unless told, 32-bit, top-down) at (2, 2) with a single
// SetDIBitsToDevice, as the saver showed its frames before it showed only
// what changed. No board, no generations, no painting: what it costs is the
// price of the timer and of putting a frame of that size on the screen. With
// /idle it is woken ten times a second and shows nothing: the cost of being
// awake at all. The saver's CPU time over the floors' tells how much the
// saver's own work adds. A key press ends it.
//
//   floor.exe [SIZE] [/idle]

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <vector>

namespace {

constexpr wchar_t ClassName[] = L"gridbloom.floor";
constexpr wchar_t Caption[] = L"gridbloom floor";
int FrameSize = 1054;  // the board surface's inside, in pixels
bool Idle = false;
constexpr int FrameLeft = 2;  // where the saver's board shows it:
constexpr int FrameTop = 2;   // just inside a 2-pixel border
constexpr UINT_PTR TimerId = 1;
constexpr UINT TimerIntervalMs = 100;

struct Frame {
    BITMAPINFO info{};
    std::vector<std::uint32_t> pixels;

    Frame() : pixels(static_cast<size_t>(FrameSize) * static_cast<size_t>(FrameSize), 0u) {  // all black
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = FrameSize;
        info.bmiHeader.biHeight = -FrameSize;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
    }

    void ShowOn(HDC dc) const {
        ::SetDIBitsToDevice(dc, FrameLeft, FrameTop, FrameSize, FrameSize, 0, 0, 0, FrameSize, pixels.data(), &info,
                            DIB_RGB_COLORS);
    }
};

Frame* g_frame = nullptr;

void ShowFrame(HWND window) {
    if (HDC dc = ::GetDC(window)) {
        g_frame->ShowOn(dc);
        ::ReleaseDC(window, dc);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == TimerId) {
                if (!Idle) ShowFrame(window);
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = ::BeginPaint(window, &paint)) {
                ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
                g_frame->ShowOn(dc);
                ::EndPaint(window, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers everything
        case WM_SETCURSOR:
            ::SetCursor(nullptr);  // no pointer over the window, as over the saver's board
            return TRUE;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::KillTimer(window, TimerId);
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    for (const wchar_t* at = commandLine; at && *at;) {
        while (*at == L' ') ++at;
        if (::_wcsnicmp(at, L"/idle", 5) == 0) {
            Idle = true;
            at += 5;
        } else if (*at >= L'0' && *at <= L'9') {
            wchar_t* end = nullptr;
            FrameSize = static_cast<int>(std::wcstol(at, &end, 10));
            at = end;
        } else if (*at) {
            ++at;
        }
    }
    if (FrameSize <= 0 || FrameSize > 8192) return 1;
    Frame frame;  // prepared once: every tick shows these same pixels
    g_frame = &frame;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = ClassName;
    if (!::RegisterClassExW(&windowClass)) return 1;

    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ClassName, Caption, WS_POPUP, 0, 0, width, height,
                                    nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (::SetTimer(window, TimerId, TimerIntervalMs, nullptr) == 0) {
        ::DestroyWindow(window);
        return 1;
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
