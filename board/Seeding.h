// Random seeding of the board: each cell becomes live with probability one in
// the divisor, independently of the others and of what the board held.
#pragma once

#include <cstdint>

#include "board/Board.h"

namespace gridbloom {

// A source of uniform single-precision numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Starts a new sequence from the time of day.
    virtual void ReseedFromClock() = 0;
    // The next number r, 0 <= r < 1.
    virtual float NextUnit() = 0;
};

// Re-seeds the source from the clock, then for every cell draws r and stores
// floor(divisor * r), turned to 0 when it is above 1: a cell is live exactly
// when the draw lands in the second 1/divisor of the unit interval.
void SeedCells(Board& board, std::int16_t divisor, RandomSource& random);

}  // namespace gridbloom
