// The units of the windows' layout: twips (1/1440 inch, 15 to the pixel at
// 96 dots per inch, 10 at 144) and the pixels they come to at a DPI.
// Rectangles of either unit are given by their left, top, width and height.
#pragma once

namespace gridbloom {

constexpr int TwipsPerInch = 1440;

// Pixels for a length in twips at the given DPI, rounded to the nearest pixel
// (halves away from zero, as MulDiv rounds).
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = TwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / TwipsPerInch : -((-scaled + half) / TwipsPerInch));
}

struct TwipsRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    constexpr int Right() const { return Left + Width; }   // the first column past the rectangle
    constexpr int Bottom() const { return Top + Height; }  // the first row below it
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool Overlaps(const PixelRect& other) const {
        return Left < other.Right() && other.Left < Right() && Top < other.Bottom() && other.Top < Bottom();
    }
    bool operator==(const PixelRect& other) const {
        return Left == other.Left && Top == other.Top && Width == other.Width && Height == other.Height;
    }
};

// Edges are rounded where they lie, so that rectangles that meet in twips
// still meet in pixels.
constexpr PixelRect ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.Left, dpi);
    const int top = TwipsToPixels(rect.Top, dpi);
    return {left, top, TwipsToPixels(rect.Left + rect.Width, dpi) - left,
            TwipsToPixels(rect.Top + rect.Height, dpi) - top};
}

}  // namespace gridbloom
