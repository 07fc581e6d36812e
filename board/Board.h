// The Life board: a fixed 116 x 93 grid of cells whose edges wrap round on
// both axes, and the B3/S23 generation step.
#pragma once

#include <array>
#include <cstdint>

namespace gridbloom {

constexpr std::int16_t BoardColumns = 116;
constexpr std::int16_t BoardRows = 93;
constexpr int BoardCellCount = BoardColumns * BoardRows;  // 10,788

// Cells hold 0 (dead) or 1 (live); cell (x, y) is element x + 116 * y,
// x being the column (0..115) and y the row (0..92).
struct Board {
    std::array<std::int16_t, BoardCellCount> Cells{};

    std::int16_t& At(std::int16_t x, std::int16_t y) { return Cells[x + BoardColumns * y]; }
    std::int16_t At(std::int16_t x, std::int16_t y) const { return Cells[x + BoardColumns * y]; }
};

void ClearBoard(Board& board);

// The number of live cells among the eight around (x, y), wrapping at the
// edges: column 0 borders column 115 and row 0 borders row 92.
std::int16_t CountNeighbours(const Board& board, std::int16_t x, std::int16_t y);

// Replaces the board by its successor under B3/S23. Every cell is recounted
// on the unchanged board; the outcome goes to a scratch board that is then
// copied back.
void NextGeneration(Board& board);

}  // namespace gridbloom
