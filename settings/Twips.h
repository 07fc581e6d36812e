// Window layout is given in twips (1/1440 inch): 15 twips to the pixel at
// 96 dots per inch, 10 at 144.
#pragma once

namespace gridbloom {

constexpr int TwipsPerInch = 1440;
constexpr int DefaultDpi = 96;

// Pixels for a length in twips at the given DPI, rounded to the nearest pixel
// (halves away from zero, as MulDiv rounds).
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = TwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / TwipsPerInch : -((-scaled + half) / TwipsPerInch));
}

}  // namespace gridbloom
