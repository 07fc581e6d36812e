// The board surface picMain is a square of fixed size in twips, whatever the
// screen's size: 15870 twips a side, border included. In pixels that depends
// on the DPI of the monitor it is shown on: 1058 at 96 DPI, 1587 at 144.
#pragma once

#include "settings/Twips.h"

namespace gridbloom {

constexpr int SurfaceSizeTwips = 15870;

// The surface's outer size in pixels at a DPI.
constexpr int SurfaceSizePixels(int dpi) { return TwipsToPixels(SurfaceSizeTwips, dpi); }

}  // namespace gridbloom
