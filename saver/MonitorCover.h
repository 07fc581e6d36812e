// Which monitors the saver covers besides the primary one, where its board
// window lies: each other monitor gets a plain black window, so no desktop
// stays visible.
#pragma once

#include <vector>

#include "settings/Twips.h"

namespace gridbloom {

// The monitors that need a cover window: every monitor but the primary one,
// leaving out empty rectangles, monitors that overlap the primary one (a
// mirror or a clone would hide the board), and repeats, in the order the
// system listed them. Rectangles are in screen pixels.
std::vector<PixelRect> MonitorsToCover(const std::vector<PixelRect>& monitors, const PixelRect& primary);

}  // namespace gridbloom
