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

// What becomes of the covers when the monitors change while the saver runs (a
// monitor plugged in, unplugged or woken, a new resolution): a cover whose
// monitor is still there as it was stays, the other covers close, and every
// monitor then left uncovered gets a new one.
struct CoverChange {
    std::vector<std::size_t> Close;  // indices into the covers there were
    std::vector<PixelRect> Open;
};
CoverChange ChangeCovers(const std::vector<PixelRect>& covered, const std::vector<PixelRect>& monitors,
                         const PixelRect& primary);

}  // namespace gridbloom
