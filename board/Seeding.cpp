#include "board/Seeding.h"

#include <cmath>

namespace gridbloom {

namespace {

// floor(divisor * r) in single precision, kept only when it is 1. For a draw
// in [0, 1) the floor is a whole number from 0 to divisor - 1, and every value
// above 1 becomes 0, so "the floor equals 1" is the whole rule. Comparing the
// float with 1 instead of converting it to an integer also copes with a draw
// that is out of range, infinite or NaN: those give 0 rather than an integer
// conversion of a value that does not fit.
std::int16_t CellFromDraw(float divisor, float r) {
    // The store through a volatile rounds the product to single precision
    // even where the compiler would keep it in a wider x87 register, so the
    // 32-bit build and the native build agree on draws at the boundaries.
    volatile float product = divisor * r;
    const float whole = std::floor(static_cast<float>(product));
    return static_cast<std::int16_t>(whole == 1.0f ? 1 : 0);
}

}  // namespace

void SeedCells(Board& board, std::int16_t divisor, RandomSource& random) {
    random.ReseedFromClock();
    const float scale = static_cast<float>(divisor);
    for (std::int16_t x = 0; x < BoardColumns; ++x) {
        for (std::int16_t y = 0; y < BoardRows; ++y) {
            board.At(x, y) = CellFromDraw(scale, random.NextUnit());
        }
    }
}

}  // namespace gridbloom
