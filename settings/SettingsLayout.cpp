#include "settings/SettingsLayout.h"

#include <algorithm>

namespace gridbloom {

TwipsRect InFrame(const TwipsRect& rectInFrame) {
    return {about_layout::Frame1.Left + rectInFrame.Left, about_layout::Frame1.Top + rectInFrame.Top, rectInFrame.Width,
            rectInFrame.Height};
}

int FontHeightPixels(int hundredthsOfPoint, int dpi) {
    // points * dpi / 72, rounded to the nearest pixel.
    const long long scaled = static_cast<long long>(hundredthsOfPoint) * dpi;
    return -static_cast<int>((scaled + 3600) / 7200);
}

int FittedFontHeight(int height, int textWidth, int boxWidth) {
    if (textWidth <= boxWidth || boxWidth <= 0) return height;
    return static_cast<int>(static_cast<long long>(height) * boxWidth / textWidth);
}

PixelRect CentredIn(const PixelRect& workArea, int width, int height) {
    // A window larger than the area keeps its top-left corner, and with it
    // the title bar, on the screen.
    return {std::max(workArea.Left, workArea.Left + (workArea.Width - width) / 2),
            std::max(workArea.Top, workArea.Top + (workArea.Height - height) / 2), width, height};
}

const Swatch* FindSwatch(int index) {
    for (const Swatch& swatch : Palette) {
        if (swatch.Index == index) return &swatch;
    }
    return nullptr;
}

}  // namespace gridbloom
