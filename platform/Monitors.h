// The monitors as Windows reports them, in screen pixels.
#pragma once

#include <windows.h>

#include <vector>

#include "settings/Twips.h"

namespace gridbloom::win {

PixelRect FromRect(const RECT& rect);

// The primary monitor: the one whose top-left corner is the screen's (0, 0).
PixelRect PrimaryMonitor();

// Every monitor of the desktop, in the order the system lists them.
std::vector<PixelRect> AllMonitors();

// The work area (the monitor without the task bar) of the monitor that holds
// the point, or of the primary monitor when none does.
PixelRect WorkAreaAt(POINT point);

}  // namespace gridbloom::win
