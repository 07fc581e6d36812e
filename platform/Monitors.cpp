#include "platform/Monitors.h"

namespace gridbloom::win {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<PixelRect>*>(list)->push_back(FromRect(*rect));
    return TRUE;
}

PixelRect WholeScreen() { return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace

PixelRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}; }

PixelRect PrimaryMonitor() {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary && ::GetMonitorInfoW(primary, &info)) return FromRect(info.rcMonitor);
    return WholeScreen();
}

std::vector<PixelRect> AllMonitors() {
    std::vector<PixelRect> monitors;
    if (!::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors))) return {};
    return monitors;
}

PixelRect WorkAreaAt(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY), &info)) return FromRect(info.rcWork);
    return WholeScreen();
}

}  // namespace gridbloom::win
