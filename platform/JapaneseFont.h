// The settings window's fonts: the face its layout was made for, "ＭＳ Ｐゴシック",
// or where that is missing the first of a list of Japanese sans-serif faces,
// regular weight with the Japanese character set.
#pragma once

#include "platform/Handles.h"

namespace gridbloom::win {

// The font at a size in hundredths of a point, at a DPI.
UniqueFont MakeFont(int hundredthsOfPoint, int dpi);

// The same, made smaller when a substitute face is wider than the face the
// layout was made for, so that the whole text shows in a box that wide.
UniqueFont MakeFittingFont(int hundredthsOfPoint, int dpi, const wchar_t* text, int boxWidth);

}  // namespace gridbloom::win
