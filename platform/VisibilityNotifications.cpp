#include "platform/VisibilityNotifications.h"

#include "platform/SystemFunction.h"

namespace gridbloom::win {
namespace {

// {6FE69556-704A-47A0-8F24-C28D936FDA47}: 0 off, 1 on, 2 dimmed.
constexpr GUID ConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// {02731015-4510-4526-99E6-E5A17EBD1AEA}: 0 off, 1 on (Windows 7).
constexpr GUID MonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

constexpr DWORD NotifyForThisSession = 0;
constexpr WPARAM WtsConsoleConnect = 0x1;
constexpr WPARAM WtsConsoleDisconnect = 0x2;
constexpr WPARAM WtsRemoteConnect = 0x3;
constexpr WPARAM WtsRemoteDisconnect = 0x4;
constexpr WPARAM WtsSessionLock = 0x7;
constexpr WPARAM WtsSessionUnlock = 0x8;

HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

HMODULE WtsApi() {
    static const HMODULE module = ::LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

}  // namespace

void VisibilityNotifications::Register(HWND window) {
    Unregister();
    window_ = window;
    using RegisterPowerFn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    if (const auto registerPower = FindSystemFunction<RegisterPowerFn>(User32(), "RegisterPowerSettingNotification")) {
        power_ = registerPower(window, &ConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (!power_) power_ = registerPower(window, &MonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    using RegisterSessionFn = BOOL(WINAPI*)(HWND, DWORD);
    if (const auto registerSession =
            FindSystemFunction<RegisterSessionFn>(WtsApi(), "WTSRegisterSessionNotification")) {
        session_ = registerSession(window, NotifyForThisSession) != FALSE;
    }
}

void VisibilityNotifications::Unregister() {
    using UnregisterPowerFn = BOOL(WINAPI*)(HPOWERNOTIFY);
    if (power_) {
        if (const auto unregisterPower =
                FindSystemFunction<UnregisterPowerFn>(User32(), "UnregisterPowerSettingNotification")) {
            unregisterPower(power_);
        }
        power_ = nullptr;
    }
    using UnregisterSessionFn = BOOL(WINAPI*)(HWND);
    if (session_) {
        if (const auto unregisterSession =
                FindSystemFunction<UnregisterSessionFn>(WtsApi(), "WTSUnRegisterSessionNotification")) {
            unregisterSession(window_);
        }
        session_ = false;
    }
    window_ = nullptr;
}

std::optional<DisplayState> DisplayStateOf(WPARAM wParam, LPARAM lParam) {
    if (wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return std::nullopt;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    const bool display = ::IsEqualGUID(setting->PowerSetting, ConsoleDisplayState) ||
                         ::IsEqualGUID(setting->PowerSetting, MonitorPowerOn);
    if (!display || setting->DataLength < sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    ::CopyMemory(&value, setting->Data, sizeof(value));
    switch (value) {
        case 0:
            return DisplayState::Off;
        case 2:
            return DisplayState::Dimmed;
        default:
            return DisplayState::On;
    }
}

std::optional<SessionEvent> SessionEventOf(WPARAM wParam) {
    switch (wParam) {
        case WtsSessionLock:
            return SessionEvent::Locked;
        case WtsSessionUnlock:
            return SessionEvent::Unlocked;
        case WtsConsoleDisconnect:
        case WtsRemoteDisconnect:
            return SessionEvent::Disconnected;
        case WtsConsoleConnect:
        case WtsRemoteConnect:
            return SessionEvent::Connected;
        default:
            return std::nullopt;
    }
}

}  // namespace gridbloom::win
