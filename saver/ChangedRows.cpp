#include "saver/ChangedRows.h"

#include <algorithm>

namespace gridbloom {

namespace {

// The insides of cells first..last of row y: from one pixel after the first
// box's left outline to one before the last box's right outline, and
// likewise down.
void AddInsides(std::vector<PixelRect>& rects, int first, int last, int y, int cellSize, int frameWidth,
                int frameHeight) {
    const int left = cellSize * first + 1;
    const int right = std::min(cellSize * last + cellSize, frameWidth);  // one past the last pixel
    const int top = cellSize * y + 1;
    const int bottom = std::min(cellSize * y + cellSize, frameHeight);
    if (left < right && top < bottom) rects.push_back({left, top, right - left, bottom - top});
}

}  // namespace

std::vector<PixelRect> ChangedRowRects(const Board& shown, const Board& now, int cellSize, int frameWidth,
                                       int frameHeight) {
    std::vector<PixelRect> rects;
    for (std::int16_t y = 0; y < BoardRows; ++y) {
        int first = -1;
        int last = -1;
        for (std::int16_t x = 0; x < BoardColumns; ++x) {
            if ((shown.At(x, y) == 1) == (now.At(x, y) == 1)) continue;
            if (first >= 0 && x - last > MergeGapCells) {
                AddInsides(rects, first, last, y, cellSize, frameWidth, frameHeight);
                first = -1;
            }
            if (first < 0) first = x;
            last = x;
        }
        if (first >= 0) AddInsides(rects, first, last, y, cellSize, frameWidth, frameHeight);
    }
    return rects;
}

}  // namespace gridbloom
