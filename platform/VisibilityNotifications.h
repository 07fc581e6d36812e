// What Windows says about who can see the screen: the display's power state
// (GUID_CONSOLE_DISPLAY_STATE, Windows 8 and later; GUID_MONITOR_POWER_ON
// before) and the session's locks and disconnections. Every function is
// looked up at run time: where one is missing, no such notification comes
// and the screen counts as seen.
#pragma once

#include <windows.h>

#include <optional>

#include "saver/ScreenVisibility.h"

namespace gridbloom::win {

class VisibilityNotifications {
public:
    VisibilityNotifications() = default;
    VisibilityNotifications(const VisibilityNotifications&) = delete;
    VisibilityNotifications& operator=(const VisibilityNotifications&) = delete;
    ~VisibilityNotifications() { Unregister(); }

    // Asks for WM_POWERBROADCAST and WM_WTSSESSION_CHANGE to reach the window.
    void Register(HWND window);
    // Before the window goes.
    void Unregister();

private:
    HWND window_ = nullptr;
    HPOWERNOTIFY power_ = nullptr;
    bool session_ = false;
};

// The display state a WM_POWERBROADCAST reports, if it is about it.
std::optional<DisplayState> DisplayStateOf(WPARAM wParam, LPARAM lParam);
// The session event a WM_WTSSESSION_CHANGE reports, if the saver cares.
std::optional<SessionEvent> SessionEventOf(WPARAM wParam);

}  // namespace gridbloom::win
