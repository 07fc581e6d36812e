#include "saver/ChangedRows.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "saver/PaintBoard.h"

namespace gridbloom {
namespace {

using Cells = std::vector<std::pair<int, int>>;

Board BoardOf(const Cells& cells) {
    Board board;
    for (const auto& [x, y] : cells) board.At(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)) = 1;
    return board;
}

PixelFrame Painted(const Board& board, int width, int height) {
    PixelFrame frame;
    frame.Resize(width, height);
    PaintBoard(board, 10, 0x00FFFF00, frame);
    return frame;
}

std::string Describe(const std::vector<PixelRect>& rects) {
    std::string text;
    for (const PixelRect& r : rects) {
        text += "{" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width) + "x" +
                std::to_string(r.Height) + "} ";
    }
    return text;
}

struct Change {
    const char* name;
    Cells shown;
    Cells now;
    int width;  // the frame: the surface's inside, no larger than the board
    int height;
    std::vector<PixelRect> rects;
};

// Boards built to catch an edge off by one: the surface's corners, column
// 105 cut by a surface 1054 pixels wide and 106 beyond it, the board's far
// corner on a surface that shows it all, a row changed at both ends, and a
// change that wraps round the edges.
const Change Changes[] = {
    {"nothing changed", {{4, 4}}, {{4, 4}}, 1054, 931, {}},
    {"the top-left cell", {}, {{0, 0}}, 1054, 931, {{1, 1, 9, 9}}},
    {"a cell that died", {{7, 3}}, {}, 1054, 931, {{71, 31, 9, 9}}},
    {"column 105, cut by the surface", {}, {{105, 3}}, 1054, 931, {{1051, 31, 3, 9}}},
    {"column 106, beyond the surface", {}, {{106, 3}}, 1054, 931, {}},
    {"the far corner on a surface that shows it", {}, {{115, 92}}, 1161, 931, {{1151, 921, 9, 9}}},
    {"the last row on a surface cut above it", {}, {{2, 92}}, 1161, 925, {{21, 921, 9, 4}}},
    {"a row changed at both ends", {{0, 5}}, {{115, 5}}, 1161, 931, {{1, 51, 9, 9}, {1151, 51, 9, 9}}},
    // Changed cells 16 apart are one rectangle; 17 apart, two.
    {"neighbours merged", {}, {{10, 6}, {26, 6}}, 1054, 931, {{101, 61, 169, 9}}},
    {"too far apart to merge", {}, {{10, 6}, {27, 6}}, 1054, 931, {{101, 61, 9, 9}, {271, 61, 9, 9}}},
    {"a run past the surface's edge", {}, {{104, 7}, {105, 7}, {106, 7}}, 1054, 931, {{1041, 71, 13, 9}}},
    {"two rows", {{3, 0}, {3, 2}}, {{4, 0}, {3, 2}, {9, 2}}, 1054, 931, {{31, 1, 19, 9}, {91, 21, 9, 9}}},
};

TEST(ChangedRowsTest, EachRunOfChangedCellsIsOneRectangleOverTheirInsides) {
    for (const Change& c : Changes) {
        const auto rects = ChangedRowRects(BoardOf(c.shown), BoardOf(c.now), 10, c.width, c.height);
        EXPECT_EQ(rects, c.rects) << c.name << ": " << Describe(rects);
    }
}

TEST(ChangedRowsTest, TheRectanglesCoverEveryPixelThatChanged) {
    // A blinker across the left and right edges, and one across the top and
    // bottom, a step on; and the boards of the table.
    const Board wrapped = BoardOf({{115, 10}, {0, 10}, {1, 10}, {50, 92}, {50, 0}, {50, 1}});
    Board stepped = wrapped;
    NextGeneration(stepped);
    std::vector<std::pair<Board, Board>> pairs{{wrapped, stepped}};
    for (const Change& c : Changes) pairs.emplace_back(BoardOf(c.shown), BoardOf(c.now));

    for (const auto& [width, height] : {std::pair{1054, 931}, std::pair{1161, 931}, std::pair{800, 596}}) {
        for (const auto& [shown, now] : pairs) {
            const PixelFrame before = Painted(shown, width, height);
            const PixelFrame after = Painted(now, width, height);
            const auto rects = ChangedRowRects(shown, now, 10, width, height);
            int changed = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (before.At(x, y) == after.At(x, y)) continue;
                    ++changed;
                    bool covered = false;
                    for (const PixelRect& r : rects)
                        covered |= x >= r.Left && x < r.Right() && y >= r.Top && y < r.Bottom();
                    ASSERT_TRUE(covered) << "pixel " << x << "," << y << " on " << width << "x" << height << ": "
                                         << Describe(rects);
                }
            }
            for (const PixelRect& r : rects) {
                EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right() <= width && r.Bottom() <= height && !r.Empty())
                    << Describe(rects);
            }
            EXPECT_EQ(changed == 0, rects.empty()) << Describe(rects);
        }
    }
}

}  // namespace
}  // namespace gridbloom
