#include "platform/Dpi.h"

#include "platform/Handles.h"

namespace gridbloom::win {
namespace {

UINT SystemDpi() {
    WindowDc screen(nullptr);
    if (!screen) return USER_DEFAULT_SCREEN_DPI;
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

template <typename Function>
Function LoadFunction(const wchar_t* module, const char* name) {
    const HMODULE handle = ::GetModuleHandleW(module);
    if (!handle) return nullptr;
    // The cast through void* keeps GCC's -Wcast-function-type quiet.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

}  // namespace

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = LoadFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    return SystemDpi();
}

UINT DpiAtPoint(POINT point) {
    // shcore.dll is not loaded by default: load it on demand, by its system name.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    static const auto getDpiForMonitor = shcore ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                                      ::GetProcAddress(shcore, "GetDpiForMonitor")))
                                                : nullptr;
    if (getDpiForMonitor) {
        const HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY);
        UINT dpiX = 0;
        UINT dpiY = 0;
        if (monitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) && dpiY > 0) {
            return dpiY;
        }
    }
    return SystemDpi();
}

}  // namespace gridbloom::win
