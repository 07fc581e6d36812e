#include "saver/ChangedRows.h"

#include <algorithm>

namespace gridbloom {

std::vector<PixelRect> ChangedRowRects(const Board& shown, const Board& now, int cellSize, int frameWidth,
                                       int frameHeight) {
    std::vector<PixelRect> rects;
    for (std::int16_t y = 0; y < BoardRows; ++y) {
        int first = -1;
        int last = -1;
        for (std::int16_t x = 0; x < BoardColumns; ++x) {
            if ((shown.At(x, y) == 1) != (now.At(x, y) == 1)) {
                if (first < 0) first = x;
                last = x;
            }
        }
        if (first < 0) continue;
        // The insides: from one pixel after a box's left outline to one
        // before its right outline, and likewise down.
        const int left = cellSize * first + 1;
        const int right = std::min(cellSize * last + cellSize, frameWidth);  // one past the last pixel
        const int top = cellSize * y + 1;
        const int bottom = std::min(cellSize * y + cellSize, frameHeight);
        if (left >= right || top >= bottom) continue;
        rects.push_back({left, top, right - left, bottom - top});
    }
    return rects;
}

}  // namespace gridbloom
