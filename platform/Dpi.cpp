#include "platform/Dpi.h"

#include "platform/Handles.h"
#include "platform/Monitors.h"
#include "platform/SystemFunction.h"

namespace gridbloom::win {
namespace {

UINT SystemDpi() {
    WindowDc screen(nullptr);
    if (!screen) return USER_DEFAULT_SCREEN_DPI;
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Windows 8.1's per-monitor DPI, from shcore.dll, which is not loaded by
// default: loaded on demand, from the system folder.
UINT MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = FindSystemFunction<GetDpiForMonitorFn>(
        ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor && monitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) &&
        dpiY > 0) {
        return dpiY;
    }
    return SystemDpi();
}

}  // namespace

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        FindSystemFunction<GetDpiForWindowFn>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

UINT DpiAtPoint(POINT point) { return MonitorDpi(::MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY)); }

PixelRect FrameForClient(const PixelRect& client, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        FindSystemFunction<AdjustWindowRectExForDpiFn>(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi");
    RECT frame{client.Left, client.Top, client.Right(), client.Bottom()};
    const bool adjusted = adjustForDpi ? adjustForDpi(&frame, style, FALSE, exStyle, dpi) != FALSE
                                       : ::AdjustWindowRectEx(&frame, style, FALSE, exStyle) != FALSE;
    return adjusted ? FromRect(frame) : client;
}

}  // namespace gridbloom::win
