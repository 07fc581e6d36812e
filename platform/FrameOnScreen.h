// Putting rectangles of a frame on a device context: the frame is a DIB of
// one bit a pixel with a colour table of two, and GDI turns it into the
// screen's pixels as it copies it.
#pragma once

#include <windows.h>

#include <vector>

#include "saver/PaintBoard.h"
#include "settings/Twips.h"

namespace gridbloom::win {

// Each rectangle of the frame goes to the same place of the device context,
// which shows the frame's top-left pixel at its own (0, 0). One call each;
// the system sends them to the screen together.
void ShowFrameRects(HDC dc, const PixelFrame& frame, const std::vector<PixelRect>& rects);

}  // namespace gridbloom::win
