// The DPI a window is shown at, on every Windows version the program runs on.
#pragma once

#include <windows.h>

namespace gridbloom::win {

// The window's DPI: the monitor's own when the system tells it per window
// (Windows 10 1607 and later), otherwise the system DPI.
UINT DpiOf(HWND window);

// The DPI of the monitor that holds a point, for placing a window before it
// exists; the system DPI where per-monitor DPI is not known.
UINT DpiAtPoint(POINT point);

}  // namespace gridbloom::win
