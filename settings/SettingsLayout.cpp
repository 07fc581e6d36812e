#include "settings/SettingsLayout.h"

#include "app/Twips.h"

namespace gridbloom {

PixelRect ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.Left, dpi);
    const int top = TwipsToPixels(rect.Top, dpi);
    const int right = TwipsToPixels(rect.Left + rect.Width, dpi);
    const int bottom = TwipsToPixels(rect.Top + rect.Height, dpi);
    return {left, top, right - left, bottom - top};
}

TwipsRect InFrame(const TwipsRect& rectInFrame) {
    return {about_layout::Frame1.Left + rectInFrame.Left, about_layout::Frame1.Top + rectInFrame.Top,
            rectInFrame.Width, rectInFrame.Height};
}

int FontHeightPixels(int hundredthsOfPoint, int dpi) {
    // points * dpi / 72, rounded to the nearest pixel.
    const long long scaled = static_cast<long long>(hundredthsOfPoint) * dpi;
    return -static_cast<int>((scaled + 3600) / 7200);
}

const Swatch* FindSwatch(int index) {
    for (const Swatch& swatch : Palette) {
        if (swatch.Index == index) return &swatch;
    }
    return nullptr;
}

}  // namespace gridbloom
