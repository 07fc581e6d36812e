#include "platform/FrameOnScreen.h"

namespace gridbloom::win {
namespace {

struct OneBitDibInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
};

RGBQUAD AsRgbQuad(std::uint32_t rgb) {
    return RGBQUAD{static_cast<BYTE>(rgb & 0xFFu), static_cast<BYTE>((rgb >> 8) & 0xFFu),
                   static_cast<BYTE>((rgb >> 16) & 0xFFu), 0};
}

}  // namespace

void ShowFrameRects(HDC dc, const PixelFrame& frame, const std::vector<PixelRect>& rects) {
    OneBitDibInfo info{};
    info.Header.biSize = sizeof(info.Header);
    info.Header.biWidth = frame.Width;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = 1;
    info.Header.biCompression = BI_RGB;
    info.Header.biClrUsed = 2;
    info.Colors[0] = AsRgbQuad(frame.Colors[0]);
    info.Colors[1] = AsRgbQuad(frame.Colors[1]);
    for (const PixelRect& rect : rects) {
        if (rect.Empty() || rect.Left < 0 || rect.Top < 0 || rect.Right() > frame.Width ||
            rect.Bottom() > frame.Height) {
            continue;
        }
        // The rectangle's rows alone, as a top-down DIB of their own: all of
        // its rows are shown, from the source's column rect.Left on.
        info.Header.biHeight = -rect.Height;
        ::SetDIBitsToDevice(dc, rect.Left, rect.Top, static_cast<DWORD>(rect.Width), static_cast<DWORD>(rect.Height),
                            rect.Left, 0, 0, static_cast<UINT>(rect.Height), frame.Row(rect.Top),
                            reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
    }
}

}  // namespace gridbloom::win
