#include "board/ClockRandom.h"
#include "board/Seeding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/unit/Fakes.h"

namespace gridbloom {
namespace {

using testing::ScriptedRandom;

ScriptedRandom ConstantSource(float r) {
    return ScriptedRandom([r](int) { return r; });
}

std::int16_t I16(int value) { return static_cast<std::int16_t>(value); }

int CountCells(const Board& board, std::int16_t value) {
    return static_cast<int>(std::count(board.Cells.begin(), board.Cells.end(), value));
}

const float kOneSeventh = 1.0f / 7.0f;
const float kTwoSevenths = 2.0f / 7.0f;
const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);
// A draw in the middle of the live band for divisor 7.
const float kLiveDraw = 1.5f / 7.0f;

// ---------------------------------------------------------------------------
// From draw to cell

struct DrawCase {
    const char* name;
    std::int16_t divisor;
    float r;
    std::int16_t cell;
};

// With single-precision arithmetic, 7 * float(1/7) rounds to exactly 1 and
// 7 * float(2/7) to exactly 2, while the floats just below them give products
// just below 1 and 2; likewise for 10 * float(0.1).
const DrawCase kDrawCases[] = {
    {"zero", 7, 0.0f, 0},
    {"smallest positive", 7, std::numeric_limits<float>::denorm_min(), 0},
    {"just below 1/7", 7, std::nextafter(kOneSeventh, 0.0f), 0},
    {"1/7", 7, kOneSeventh, 1},
    {"inside [1/7, 2/7)", 7, kLiveDraw, 1},
    {"just below 2/7", 7, std::nextafter(kTwoSevenths, 0.0f), 1},
    {"2/7", 7, kTwoSevenths, 0},
    {"one half", 7, 0.5f, 0},
    {"largest below 1", 7, kLargestBelowOne, 0},
    {"divisor 2, just below 1/2", 2, std::nextafter(0.5f, 0.0f), 0},
    {"divisor 2, 1/2", 2, 0.5f, 1},
    {"divisor 2, largest below 1", 2, kLargestBelowOne, 1},
    {"divisor 10, just below 0.1", 10, std::nextafter(0.1f, 0.0f), 0},
    {"divisor 10, 0.1", 10, 0.1f, 1},
    {"divisor 10, 0.15", 10, 0.15f, 1},
    {"divisor 10, 0.2", 10, 0.2f, 0},
    {"divisor 1 never lives", 1, kLargestBelowOne, 0},
    // Just below 1/25 and 2/25, the exact products fall short of 1 and 2 by
    // less than half a float step, so single precision rounds them up to 1
    // and 2; a wider intermediate would give the opposite cells.
    {"divisor 25, product rounds up to 1", 25, 0x1.47ae14p-5f, 1},
    {"divisor 25, product rounds up to 2", 25, 0x1.47ae14p-4f, 0},
};

TEST(SeedCells, DrawToCellMapping) {
    for (const DrawCase& c : kDrawCases) {
        SCOPED_TRACE(c.name);
        ScriptedRandom source = ConstantSource(c.r);
        Board board{};
        SeedCells(board, c.divisor, source);
        EXPECT_EQ(CountCells(board, c.cell), BoardCellCount) << "r = " << c.r;
    }
}

// ---------------------------------------------------------------------------
// Use of the source

TEST(SeedCells, ReseedsOnceBeforeEachSeedingsDraws) {
    ScriptedRandom source = ConstantSource(0.0f);
    Board board{};
    SeedCells(board, 7, source);
    EXPECT_EQ(source.DrawsAtReseed, (std::vector<int>{0}));
    EXPECT_EQ(source.Draws, BoardCellCount);

    SeedCells(board, 7, source);
    SeedCells(board, 7, source);
    EXPECT_EQ(source.DrawsAtReseed, (std::vector<int>{0, BoardCellCount, 2 * BoardCellCount}));
    EXPECT_EQ(source.Draws, 3 * BoardCellCount);
}

TEST(SeedCells, DrawsFillColumnByColumn) {
    // Draw number k lands in column k / 93, row k % 93.
    struct OrderCase {
        int draw;
        int x, y;
    };
    const OrderCase cases[] = {
        {0, 0, 0}, {1, 0, 1}, {92, 0, 92}, {93, 1, 0}, {94, 1, 1}, {200, 2, 14}, {5000, 53, 71}, {10787, 115, 92},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE("draw " + std::to_string(c.draw));
        const int liveDraw = c.draw;
        ScriptedRandom source([liveDraw](int n) { return n == liveDraw ? kLiveDraw : 0.0f; });
        Board board{};
        SeedCells(board, 7, source);
        EXPECT_EQ(board.At(I16(c.x), I16(c.y)), 1);
        EXPECT_EQ(CountCells(board, 1), 1);
    }
}

TEST(SeedCells, OverwritesWhatTheBoardHeld) {
    Board previous;
    for (std::size_t i = 0; i < previous.Cells.size(); ++i) {
        previous.Cells[i] = I16(static_cast<int>(i % 4) - 1);  // -1, 0, 1, 2, ...
    }
    {
        Board board = previous;
        ScriptedRandom source = ConstantSource(0.9f);
        SeedCells(board, 7, source);
        EXPECT_EQ(CountCells(board, 0), BoardCellCount);
    }
    {
        Board board = previous;
        ScriptedRandom source = ConstantSource(kLiveDraw);
        SeedCells(board, 7, source);
        EXPECT_EQ(CountCells(board, 1), BoardCellCount);
    }
}

// ---------------------------------------------------------------------------
// A source that breaks its promise of [0, 1)

TEST(SeedCells, DrawsAtOrAboveOneGiveDeadCells) {
    const float values[] = {1.0f, 2.0f, 1e30f, std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity()};
    for (const float r : values) {
        SCOPED_TRACE("r = " + std::to_string(r));
        ScriptedRandom source = ConstantSource(r);
        Board board;
        board.Cells.fill(1);
        SeedCells(board, 7, source);
        EXPECT_EQ(CountCells(board, 0), BoardCellCount);
    }
}

TEST(SeedCells, NegativeOrNotANumberDrawsStillGiveOnlyZeroOrOne) {
    const float values[] = {-0.0f, -0.5f, -1e30f, -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    const std::int16_t divisors[] = {7, 2, 32767};
    for (const std::int16_t divisor : divisors) {
        for (const float r : values) {
            SCOPED_TRACE("divisor " + std::to_string(divisor) + ", r = " + std::to_string(r));
            ScriptedRandom source = ConstantSource(r);
            Board board{};
            SeedCells(board, divisor, source);
            EXPECT_EQ(CountCells(board, 0) + CountCells(board, 1), BoardCellCount);
        }
    }
}

TEST(SeedCells, MixedHostileDrawsGiveOnlyZeroOrOne) {
    const std::vector<float> values = {1.0f,   -0.5f, std::numeric_limits<float>::quiet_NaN(), 1e30f, kLiveDraw,
                                       -1e30f, 0.0f,  std::numeric_limits<float>::infinity()};
    ScriptedRandom source([&values](int n) { return values[static_cast<std::size_t>(n) % values.size()]; });
    Board board{};
    SeedCells(board, 7, source);
    EXPECT_EQ(CountCells(board, 0) + CountCells(board, 1), BoardCellCount);
    // The one well-behaved live draw in each cycle of eight still makes a live
    // cell: 10,788 draws hold 1,348 whole cycles and then four hostile draws.
    EXPECT_EQ(CountCells(board, 1), 1348);
}

// ---------------------------------------------------------------------------
// The clock-seeded source

TEST(ClockRandom, NextUnitStaysInHalfOpenUnitInterval) {
    ClockRandom random;
    float lowest = 1.0f;
    float highest = 0.0f;
    double sum = 0.0;
    int outside = 0;
    constexpr int kDraws = 1'000'000;
    random.ReseedFromClock();
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.NextUnit();
        if (!(r >= 0.0f && r < 1.0f)) {
            ++outside;
        }
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
        sum += static_cast<double>(r);
    }
    EXPECT_EQ(outside, 0);
    // And it covers the interval evenly rather than part of it.
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
    EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
}

TEST(ClockRandom, ReseedsMomentsApartGiveDifferentSequences) {
    ClockRandom random;
    std::vector<float> first;
    std::vector<float> second;
    random.ReseedFromClock();
    for (int i = 0; i < 8; ++i) {
        first.push_back(random.NextUnit());
    }
    random.ReseedFromClock();
    for (int i = 0; i < 8; ++i) {
        second.push_back(random.NextUnit());
    }
    EXPECT_NE(first, second);
}

TEST(ClockRandom, SeedingLivesAboutOneCellInSeven) {
    ClockRandom random;
    constexpr int kSeedings = 50;
    double shareSum = 0.0;
    Board board{};
    Board previous{};
    for (int i = 0; i < kSeedings; ++i) {
        SeedCells(board, 7, random);
        ASSERT_EQ(CountCells(board, 0) + CountCells(board, 1), BoardCellCount);
        const double share = static_cast<double>(CountCells(board, 1)) / BoardCellCount;
        // One seeding: the standard deviation of the share is about 0.0034.
        EXPECT_NEAR(share, 1.0 / 7.0, 0.02) << "seeding " << i;
        if (i > 0) {
            EXPECT_NE(board.Cells, previous.Cells) << "seeding " << i << " repeated the one before";
        }
        previous = board;
        shareSum += share;
    }
    // Fifty seedings: about 0.0005, so 0.005 is ten deviations and 2/7 is far out.
    EXPECT_NEAR(shareSum / kSeedings, 1.0 / 7.0, 0.005);
}

}  // namespace
}  // namespace gridbloom
