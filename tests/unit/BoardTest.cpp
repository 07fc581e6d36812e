#include "board/Board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace gridbloom {
namespace {

using Cell = std::pair<int, int>;  // (x, y)
using CellList = std::vector<Cell>;

std::int16_t I16(int value) { return static_cast<std::int16_t>(value); }

// (x, y) brought back onto the board, for test patterns placed near an edge.
Cell Wrapped(int x, int y) {
    return {((x % BoardColumns) + BoardColumns) % BoardColumns, ((y % BoardRows) + BoardRows) % BoardRows};
}

Board BoardWith(const CellList& live) {
    Board board{};
    for (const Cell& cell : live) {
        board.At(I16(cell.first), I16(cell.second)) = 1;
    }
    return board;
}

CellList Shifted(const CellList& cells, int dx, int dy) {
    CellList result;
    for (const Cell& cell : cells) {
        result.push_back(Wrapped(cell.first + dx, cell.second + dy));
    }
    return result;
}

std::string Describe(const Cell& cell) {
    std::ostringstream text;
    text << "(" << cell.first << "," << cell.second << ")";
    return text.str();
}

// Compares two boards and, when they differ, names the first few cells that
// do rather than printing 10,788 numbers.
::testing::AssertionResult SameBoard(const Board& actual, const Board& expected) {
    std::ostringstream differences;
    int count = 0;
    for (int y = 0; y < BoardRows; ++y) {
        for (int x = 0; x < BoardColumns; ++x) {
            const std::int16_t got = actual.At(I16(x), I16(y));
            const std::int16_t want = expected.At(I16(x), I16(y));
            if (got != want) {
                if (count < 8) {
                    differences << " " << Describe({x, y}) << " is " << got << " not " << want << ";";
                }
                ++count;
            }
        }
    }
    if (count == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << count << " cells differ:" << differences.str();
}

int Population(const Board& board) {
    return static_cast<int>(std::count(board.Cells.begin(), board.Cells.end(), std::int16_t{1}));
}

void Advance(Board& board, int generations) {
    for (int i = 0; i < generations; ++i) {
        NextGeneration(board);
    }
}

// ---------------------------------------------------------------------------
// Neighbour counting

struct NeighbourCase {
    const char* name;
    Cell cell;
    CellList neighbours;
};

const std::vector<NeighbourCase>& NeighbourCases() {
    static const std::vector<NeighbourCase> cases = {
        // clang-format off
        {"top-left corner", {0, 0},
         {{115, 92}, {0, 92}, {1, 92}, {115, 0}, {1, 0}, {115, 1}, {0, 1}, {1, 1}}},
        {"bottom-right corner", {115, 92},
         {{114, 91}, {115, 91}, {0, 91}, {114, 92}, {0, 92}, {114, 0}, {115, 0}, {0, 0}}},
        {"top-right corner", {115, 0},
         {{114, 92}, {115, 92}, {0, 92}, {114, 0}, {0, 0}, {114, 1}, {115, 1}, {0, 1}}},
        {"bottom-left corner", {0, 92},
         {{115, 91}, {0, 91}, {1, 91}, {115, 92}, {1, 92}, {115, 0}, {0, 0}, {1, 0}}},
        {"left edge", {0, 40},
         {{115, 39}, {0, 39}, {1, 39}, {115, 40}, {1, 40}, {115, 41}, {0, 41}, {1, 41}}},
        {"interior", {57, 46},
         {{56, 45}, {57, 45}, {58, 45}, {56, 46}, {58, 46}, {56, 47}, {57, 47}, {58, 47}}},
        // clang-format on
    };
    return cases;
}

TEST(NeighbourCount, EachNeighbourOnItsOwnCountsOne) {
    for (const NeighbourCase& c : NeighbourCases()) {
        SCOPED_TRACE(c.name);
        for (const Cell& neighbour : c.neighbours) {
            const Board board = BoardWith({neighbour});
            EXPECT_EQ(CountNeighbours(board, I16(c.cell.first), I16(c.cell.second)), 1)
                << "live neighbour " << Describe(neighbour);
        }
    }
}

TEST(NeighbourCount, NoOtherCellCounts) {
    for (const NeighbourCase& c : NeighbourCases()) {
        SCOPED_TRACE(c.name);
        Board board{};
        std::vector<std::string> counted;
        for (int y = 0; y < BoardRows; ++y) {
            for (int x = 0; x < BoardColumns; ++x) {
                const Cell cell{x, y};
                if (std::find(c.neighbours.begin(), c.neighbours.end(), cell) != c.neighbours.end()) {
                    continue;
                }
                board.At(I16(x), I16(y)) = 1;
                if (CountNeighbours(board, I16(c.cell.first), I16(c.cell.second)) != 0) {
                    counted.push_back(Describe(cell));
                }
                board.At(I16(x), I16(y)) = 0;
            }
        }
        EXPECT_TRUE(counted.empty()) << counted.size() << " cells counted wrongly, first "
                                     << (counted.empty() ? std::string() : counted.front());
    }
}

TEST(NeighbourCount, AllEightNeighboursTogetherCountEight) {
    for (const NeighbourCase& c : NeighbourCases()) {
        SCOPED_TRACE(c.name);
        Board board = BoardWith(c.neighbours);
        EXPECT_EQ(CountNeighbours(board, I16(c.cell.first), I16(c.cell.second)), 8);
        // The cell itself never counts.
        board.At(I16(c.cell.first), I16(c.cell.second)) = 1;
        EXPECT_EQ(CountNeighbours(board, I16(c.cell.first), I16(c.cell.second)), 8);
    }
}

TEST(NeighbourCount, EveryCellOfAFullBoardHasEight) {
    Board board;
    board.Cells.fill(1);
    int wrong = 0;
    for (int y = 0; y < BoardRows; ++y) {
        for (int x = 0; x < BoardColumns; ++x) {
            if (CountNeighbours(board, I16(x), I16(y)) != 8) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// ---------------------------------------------------------------------------
// The generation step

struct RuleCase {
    std::int16_t cell;
    int neighbours;
    std::int16_t next;
};

// B3/S23 in full: birth on exactly 3, survival on 2 or 3.
const RuleCase kRules[] = {
    {0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 1}, {0, 4, 0}, {0, 5, 0}, {0, 6, 0}, {0, 7, 0}, {0, 8, 0},
    {1, 0, 0}, {1, 1, 0}, {1, 2, 1}, {1, 3, 1}, {1, 4, 0}, {1, 5, 0}, {1, 6, 0}, {1, 7, 0}, {1, 8, 0},
};

// Places where the rule is checked: the middle, every corner and every edge,
// since the step handles the first and last columns apart from the rest.
const Cell kRulePlaces[] = {
    // clang-format off
    {50, 40}, {1, 1}, {114, 91}, {0, 0}, {115, 0}, {0, 92}, {115, 92},
    {0, 46}, {115, 46}, {57, 0}, {57, 92},
    // clang-format on
};

TEST(Generation, BirthAndSurvivalTable) {
    const Cell offsets[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (const Cell& place : kRulePlaces) {
        for (const RuleCase& rule : kRules) {
            SCOPED_TRACE("cell " + Describe(place) + " state " + std::to_string(rule.cell) + " with " +
                         std::to_string(rule.neighbours) + " neighbours");
            CellList live;
            for (int i = 0; i < rule.neighbours; ++i) {
                live.push_back(Wrapped(place.first + offsets[i].first, place.second + offsets[i].second));
            }
            Board board = BoardWith(live);
            board.At(I16(place.first), I16(place.second)) = rule.cell;
            NextGeneration(board);
            EXPECT_EQ(board.At(I16(place.first), I16(place.second)), rule.next);
        }
    }
}

TEST(Generation, EmptyBoardStaysEmpty) {
    Board board{};
    Advance(board, 3);
    EXPECT_TRUE(SameBoard(board, Board{}));
}

TEST(Generation, BlocksStayPut) {
    const std::vector<std::pair<const char*, CellList>> blocks = {
        {"interior", {{20, 30}, {21, 30}, {20, 31}, {21, 31}}},
        {"across left and right edges", {{115, 50}, {0, 50}, {115, 51}, {0, 51}}},
        {"across top and bottom edges", {{70, 92}, {71, 92}, {70, 0}, {71, 0}}},
        {"across the corner", {{115, 92}, {0, 92}, {115, 0}, {0, 0}}},
    };
    for (const auto& [name, cells] : blocks) {
        SCOPED_TRACE(name);
        const Board start = BoardWith(cells);
        Board board = start;
        for (int generation = 1; generation <= 3; ++generation) {
            NextGeneration(board);
            EXPECT_TRUE(SameBoard(board, start)) << "after generation " << generation;
        }
    }
}

TEST(Generation, BlinkersOscillateAcrossEdges) {
    struct BlinkerCase {
        const char* name;
        CellList phaseA;
        CellList phaseB;
    };
    const BlinkerCase blinkers[] = {
        {"across left and right edges", {{115, 10}, {0, 10}, {1, 10}}, {{0, 9}, {0, 10}, {0, 11}}},
        {"across top and bottom edges", {{50, 92}, {50, 0}, {50, 1}}, {{49, 0}, {50, 0}, {51, 0}}},
        {"on the corner", {{0, 92}, {0, 0}, {0, 1}}, {{115, 0}, {0, 0}, {1, 0}}},
    };
    for (const BlinkerCase& blinker : blinkers) {
        SCOPED_TRACE(blinker.name);
        Board board = BoardWith(blinker.phaseA);
        NextGeneration(board);
        EXPECT_TRUE(SameBoard(board, BoardWith(blinker.phaseB)));
        NextGeneration(board);
        EXPECT_TRUE(SameBoard(board, BoardWith(blinker.phaseA)));
    }
}

// A glider travelling towards +x, +y; the others are its mirror images.
const CellList kSouthEastGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

CellList Glider(int originX, int originY, int dx, int dy) {
    CellList cells;
    for (const Cell& cell : kSouthEastGlider) {
        const int x = dx > 0 ? cell.first : 2 - cell.first;
        const int y = dy > 0 ? cell.second : 2 - cell.second;
        cells.push_back(Wrapped(originX + x, originY + y));
    }
    return cells;
}

// Each glider starts by a corner it heads for, so within six steps of one
// cell it has crossed both a side edge and the top or bottom edge; a wrong
// width or height would put it somewhere else or break it up.
TEST(Generation, GlidersWrapAtColumn115AndRow92) {
    struct GliderCase {
        const char* name;
        int originX, originY, dx, dy;
    };
    const GliderCase gliders[] = {
        {"south-east", 113, 90, 1, 1},
        {"south-west", 1, 90, -1, 1},
        {"north-east", 113, 1, 1, -1},
        {"north-west", 1, 1, -1, -1},
    };
    for (const GliderCase& g : gliders) {
        SCOPED_TRACE(g.name);
        const CellList start = Glider(g.originX, g.originY, g.dx, g.dy);
        Board board = BoardWith(start);
        for (int step = 1; step <= 6; ++step) {
            for (int i = 0; i < 4; ++i) {
                NextGeneration(board);
                ASSERT_EQ(Population(board), 5) << "step " << step << ", generation " << i + 1;
            }
            EXPECT_TRUE(SameBoard(board, BoardWith(Shifted(start, step * g.dx, step * g.dy))))
                << "after " << 4 * step << " generations";
        }
    }
}

// After 4 * 116 generations a south-east glider has moved 116 cells each way:
// back in its own columns, but 116 - 93 = 23 rows further down.
TEST(Generation, GliderAcrossTheWholeWidthComesBackToItsColumns) {
    const CellList start = Glider(10, 20, 1, 1);
    Board board = BoardWith(start);
    Advance(board, 4 * BoardColumns);
    EXPECT_TRUE(SameBoard(board, BoardWith(Shifted(start, 0, 23))));
}

// ---------------------------------------------------------------------------
// The fast step against a cell-by-cell reference

Board ReferenceNext(const Board& board) {
    Board next{};
    for (int x = 0; x < BoardColumns; ++x) {
        for (int y = 0; y < BoardRows; ++y) {
            const std::int16_t cell = board.At(I16(x), I16(y));
            const std::int16_t n = CountNeighbours(board, I16(x), I16(y));
            next.At(I16(x), I16(y)) = I16(((cell == 1 && n == 2) || n == 3) ? 1 : 0);
        }
    }
    return next;
}

TEST(Generation, MatchesCellByCellReferenceOnRandomBoards) {
    const double densities[] = {0.0, 1.0 / 7.0, 0.25, 0.375, 0.5, 0.75, 1.0};
    const std::uint32_t seeds[] = {1u, 7u, 2024u, 0xC0FFEEu};
    for (const double density : densities) {
        for (const std::uint32_t seed : seeds) {
            SCOPED_TRACE("density " + std::to_string(density) + ", seed " + std::to_string(seed));
            std::mt19937 engine(seed);
            std::bernoulli_distribution live(density);
            Board board{};
            for (std::int16_t& cell : board.Cells) {
                cell = I16(live(engine) ? 1 : 0);
            }
            // Several generations, so boards that have already evolved are
            // compared too, not only uniform noise.
            for (int generation = 1; generation <= 6; ++generation) {
                const Board expected = ReferenceNext(board);
                NextGeneration(board);
                ASSERT_TRUE(SameBoard(board, expected)) << "generation " << generation;
            }
        }
    }
}

TEST(Clearing, ClearBoardZeroesEveryCell) {
    Board board;
    for (std::size_t i = 0; i < board.Cells.size(); ++i) {
        board.Cells[i] = I16(static_cast<int>(i % 5) - 2);
    }
    ClearBoard(board);
    EXPECT_TRUE(SameBoard(board, Board{}));
}

}  // namespace
}  // namespace gridbloom
