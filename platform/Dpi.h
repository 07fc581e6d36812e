// The DPI a window is shown at, and sizes that depend on it, on every Windows
// version the program runs on: the per-monitor functions of Windows 8.1 and
// Windows 10 are looked up at run time, with the system DPI where they are
// missing.
#pragma once

#include <windows.h>

#include "settings/Twips.h"

namespace gridbloom::win {

// The window's DPI: that of the monitor it is on where the system tells it.
UINT DpiOf(HWND window);

// The DPI of the monitor that holds a point, for placing a window before it
// exists.
UINT DpiAtPoint(POINT point);

// The outer size of a window whose client area is `client`, with the frame
// drawn at `dpi` (AdjustWindowRectExForDpi, Windows 10 1607 and later;
// before that the frame of the system DPI).
PixelRect FrameForClient(const PixelRect& client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace gridbloom::win
