// Where everything of the settings window lies, in twips, and its palette.
// The window converts twips to pixels with the DPI it is shown at.
#pragma once

#include <array>
#include <cstdint>

#include "settings/Twips.h"

namespace gridbloom {

// A control inside Frame1 is placed relative to the frame; this gives its
// place in the window's client area.
TwipsRect InFrame(const TwipsRect& rectInFrame);

// Font sizes in hundredths of a point, and their height in pixels at a DPI
// (negative: the height of the characters, as CreateFont takes it).
int FontHeightPixels(int hundredthsOfPoint, int dpi);

// The font height at which a text fits its box: the same height when the text
// at `height` is no wider than the box, otherwise smaller in proportion. Used
// where a substitute face is wider than the face the layout was made for.
int FittedFontHeight(int height, int textWidth, int boxWidth);

// Where a window of the given size lies when centred in a work area; one
// larger than the area lies at its top-left corner.
PixelRect CentredIn(const PixelRect& workArea, int width, int height);

namespace about_layout {

constexpr TwipsRect Client{0, 0, 6060, 3225};
constexpr TwipsRect Image1{120, 120, 495, 495};
constexpr TwipsRect Label1{840, 120, 2550, 405};
constexpr TwipsRect Label2{3480, 285, 780, 240};
constexpr TwipsRect Label3{4680, 240, 855, 285};
constexpr TwipsRect Frame1{240, 960, 4215, 2055};
constexpr TwipsRect picCol{240, 1320, 3735, 495};  // in Frame1
constexpr TwipsRect Label4{4680, 1080, 1215, 855};
constexpr TwipsRect cmdOK{4680, 2640, 1095, 375};
constexpr int SwatchSize = 375;

constexpr int Label1Font = 2025;
constexpr int Label2Font = 1200;
constexpr int Label3Font = 1425;
constexpr int Frame1Font = 1125;
constexpr int WindowFont = 900;

}  // namespace about_layout

// One colour box of the palette: its index in the picColor array, its colour
// (0x00BBGGRR) and its top-left corner inside Frame1.
struct Swatch {
    std::int16_t Index;
    std::int32_t Color;
    int Left;
    int Top;

    TwipsRect InFrame() const { return {Left, Top, about_layout::SwatchSize, about_layout::SwatchSize}; }
};

// Sixteen swatches in two rows of eight, in tab order. The indices run 0 to
// 13 and then 21 and 22.
// clang-format off
constexpr std::array<Swatch, 16> Palette{{
    {0, 0x00FFFFFF, 240, 360},  {1, 0x008080FF, 720, 360},  {2, 0x0080C0FF, 1200, 360},
    {3, 0x0080FFFF, 1680, 360}, {4, 0x0080FF80, 2160, 360}, {5, 0x00FFFF80, 2640, 360},
    {6, 0x00FF8080, 3120, 360}, {7, 0x00FF80FF, 3600, 360}, {8, 0x00C0C0C0, 240, 840},
    {9, 0x000000FF, 720, 840},  {10, 0x000080FF, 1200, 840}, {11, 0x0000FFFF, 1680, 840},
    {12, 0x0000FF00, 2160, 840}, {13, 0x00FFFF00, 2640, 840}, {21, 0x00FF0000, 3120, 840},
    {22, 0x00FF00FF, 3600, 840},
}};
// clang-format on

// The swatch with this picColor index, or null when there is none.
const Swatch* FindSwatch(int index);

}  // namespace gridbloom
