#include "board/Board.h"

namespace gridbloom {

namespace {

constexpr std::int16_t LastColumn = BoardColumns - 1;  // 115
constexpr std::int16_t LastRow = BoardRows - 1;        // 92

// B3/S23: a cell is live next time when it has three live neighbours, or when
// it is live now and has two.
inline std::int16_t NextState(std::int16_t cell, std::int16_t neighbours) {
    return static_cast<std::int16_t>((neighbours == 3) | ((cell == 1) & (neighbours == 2)));
}

inline std::int16_t Sum8(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d, std::int16_t e, std::int16_t f,
                         std::int16_t g, std::int16_t h) {
    return static_cast<std::int16_t>(a + b + c + d + e + f + g + h);
}

}  // namespace

void ClearBoard(Board& board) { board.Cells.fill(0); }

std::int16_t CountNeighbours(const Board& board, std::int16_t x, std::int16_t y) {
    std::int16_t left = static_cast<std::int16_t>(x - 1);
    std::int16_t right = static_cast<std::int16_t>(x + 1);
    std::int16_t up = static_cast<std::int16_t>(y - 1);
    std::int16_t down = static_cast<std::int16_t>(y + 1);
    if (x == 0) {
        left = LastColumn;
    } else if (x == LastColumn) {
        right = 0;
    }
    if (y == 0) {
        up = LastRow;
    } else if (y == LastRow) {
        down = 0;
    }
    // clang-format off
    return Sum8(board.At(left, up), board.At(x, up), board.At(right, up),
                board.At(left, y), board.At(right, y),
                board.At(left, down), board.At(x, down), board.At(right, down));
    // clang-format on
}

void NextGeneration(Board& board) {
    Board scratch{};
    const std::int16_t* const cells = board.Cells.data();
    std::int16_t* const next = scratch.Cells.data();

    for (int y = 0; y < BoardRows; ++y) {
        const int up = (y == 0) ? LastRow : y - 1;
        const int down = (y == LastRow) ? 0 : y + 1;
        const std::int16_t* const above = cells + up * BoardColumns;
        const std::int16_t* const here = cells + y * BoardColumns;
        const std::int16_t* const below = cells + down * BoardColumns;
        std::int16_t* const out = next + y * BoardColumns;

        // Columns 1..114 have both side neighbours in the same row block, so
        // this loop is a straight run of loads, adds and compares that the
        // compiler turns into vector code.
        for (int x = 1; x < LastColumn; ++x) {
            // clang-format off
            const std::int16_t n = Sum8(above[x - 1], above[x], above[x + 1],
                                        here[x - 1], here[x + 1],
                                        below[x - 1], below[x], below[x + 1]);
            // clang-format on
            out[x] = NextState(here[x], n);
        }

        // Column 0 takes its left neighbours from column 115, and column 115
        // its right neighbours from column 0.
        // clang-format off
        const std::int16_t nFirst = Sum8(above[LastColumn], above[0], above[1],
                                         here[LastColumn], here[1],
                                         below[LastColumn], below[0], below[1]);
        // clang-format on
        out[0] = NextState(here[0], nFirst);
        // clang-format off
        const std::int16_t nLast = Sum8(above[LastColumn - 1], above[LastColumn], above[0],
                                        here[LastColumn - 1], here[0],
                                        below[LastColumn - 1], below[LastColumn], below[0]);
        // clang-format on
        out[LastColumn] = NextState(here[LastColumn], nLast);
    }

    board = scratch;
}

}  // namespace gridbloom
