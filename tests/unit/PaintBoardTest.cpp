#include "saver/PaintBoard.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace gridbloom {
namespace {

constexpr std::uint32_t Black = 0;
constexpr std::uint32_t CyanRef = 0x00FFFF00;
constexpr std::uint32_t CyanPixel = 0x0000FFFF;

PixelFrame SurfaceFrame() {
    PixelFrame frame;
    frame.Resize(1054, 1054);
    return frame;
}

// Pixels of the frame that are not black.
std::set<std::pair<int, int>> LitPixels(const PixelFrame& frame) {
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < frame.Height; ++y) {
        for (int x = 0; x < frame.Width; ++x) {
            if (frame.At(x, y) != Black) lit.insert({x, y});
        }
    }
    return lit;
}

TEST(PaintBoardTest, ColorRefBecomesADibPixel) {
    EXPECT_EQ(PixelFromColorRef(0x000000FF), 0x00FF0000u);  // "255" is red
    EXPECT_EQ(PixelFromColorRef(0x00FF0000), 0x000000FFu);  // blue
    EXPECT_EQ(PixelFromColorRef(0x00FF00FF), 0x00FF00FFu);  // magenta reads the same both ways
    EXPECT_EQ(PixelFromColorRef(0x00123456), 0x00563412u);
}

TEST(PaintBoardTest, TheFrameIsAOneBitDibWhosePixelsShowThroughItsColourTable) {
    // 33 pixels a row take 5 bytes, padded to 8; the leftmost pixel is the
    // first byte's highest bit.
    PixelFrame frame;
    frame.Resize(33, 12);
    EXPECT_EQ(frame.Stride, 8);
    EXPECT_EQ(frame.Bits.size(), 8u * 12u);
    Board board;
    board.At(0, 0) = 1;  // a box from (0, 0) to (10, 10): its inside is x, y = 1..9
    board.At(3, 0) = 1;  // from x = 30: its inside from 31 is cut by the frame after 32
    PaintBoard(board, 10, 0x000000FF, frame);
    EXPECT_EQ(frame.Colors[0], Black);
    EXPECT_EQ(frame.Colors[1], 0x00FF0000u) << "the cell colour, as a DIB colour";
    const std::uint8_t* row = frame.Row(5);
    EXPECT_EQ(row[0], 0x7F);  // pixel 0 is the outline, 1..7 the inside
    EXPECT_EQ(row[1], 0xC0);  // 8 and 9 inside, 10 the outline
    EXPECT_EQ(row[2], 0x00);
    EXPECT_EQ(row[3], 0x01);  // 30 is the cut box's outline, 31 its inside
    EXPECT_EQ(row[4], 0x80);  // 32, the frame's last pixel
    EXPECT_EQ(row[5] | row[6] | row[7], 0) << "the padding stays 0";
    EXPECT_EQ(frame.Row(0)[0], 0x00) << "the top outline";
    EXPECT_EQ(frame.At(1, 5), 0x00FF0000u);
    EXPECT_EQ(frame.At(0, 5), Black);
    EXPECT_EQ(frame.At(32, 9), 0x00FF0000u);
    EXPECT_EQ(frame.At(32, 10), Black);
}

TEST(PaintBoardTest, AnEmptyBoardIsAllBlackEvenOverAnOldFrame) {
    PixelFrame frame = SurfaceFrame();
    std::fill(frame.Bits.begin(), frame.Bits.end(), std::uint8_t{0xFF});
    PaintBoard(Board{}, 10, CyanRef, frame);
    EXPECT_TRUE(LitPixels(frame).empty());
}

TEST(PaintBoardTest, ALiveCellIsABlackOutlinedBoxFromItsCornerToTheNext) {
    Board board;
    board.At(0, 0) = 1;
    PixelFrame frame = SurfaceFrame();
    PaintBoard(board, 10, CyanRef, frame);

    std::set<std::pair<int, int>> inside;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) inside.insert({x, y});
    }
    EXPECT_EQ(LitPixels(frame), inside);
    EXPECT_EQ(frame.At(5, 5), CyanPixel);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(frame.At(i, 0), Black);
        EXPECT_EQ(frame.At(i, 10), Black);
        EXPECT_EQ(frame.At(0, i), Black);
        EXPECT_EQ(frame.At(10, i), Black);
    }
}

TEST(PaintBoardTest, NeighbouringBoxesShareTheirOutlineAtX40) {
    Board board;
    board.At(3, 4) = 1;
    board.At(4, 4) = 1;
    PixelFrame frame = SurfaceFrame();
    PaintBoard(board, 10, 0x000000FF, frame);

    for (int y = 41; y <= 49; ++y) {
        EXPECT_EQ(frame.At(30, y), Black);
        EXPECT_EQ(frame.At(31, y), 0x00FF0000u);
        EXPECT_EQ(frame.At(39, y), 0x00FF0000u);
        EXPECT_EQ(frame.At(40, y), Black) << "the shared outline";
        EXPECT_EQ(frame.At(41, y), 0x00FF0000u);
        EXPECT_EQ(frame.At(49, y), 0x00FF0000u);
        EXPECT_EQ(frame.At(50, y), Black);
    }
    EXPECT_EQ(LitPixels(frame).size(), 2u * 81u);
}

TEST(PaintBoardTest, OnlyCellsHoldingOneAreDrawn) {
    Board board;
    board.At(1, 1) = 2;
    board.At(2, 2) = -1;
    board.At(3, 3) = 1;
    PixelFrame frame = SurfaceFrame();
    PaintBoard(board, 10, CyanRef, frame);
    EXPECT_EQ(LitPixels(frame).size(), 81u);
    EXPECT_EQ(frame.At(35, 35), CyanPixel);
    EXPECT_EQ(frame.At(15, 15), Black);
}

TEST(PaintBoardTest, TheBoardIsClippedToTheSurface) {
    Board board;
    board.At(105, 0) = 1;   // from x = 1050: cut by the right edge at 1053
    board.At(106, 0) = 1;   // from x = 1060: wholly outside
    board.At(115, 92) = 1;  // far corner of the board
    board.At(0, 92) = 1;    // the last row fits: 920..930
    PixelFrame frame = SurfaceFrame();
    PaintBoard(board, 10, CyanRef, frame);

    const auto lit = LitPixels(frame);
    EXPECT_EQ(lit.size(), 3u * 9u + 81u);
    EXPECT_EQ(frame.At(1053, 5), CyanPixel);
    EXPECT_EQ(frame.At(1050, 5), Black);
    EXPECT_EQ(frame.At(5, 925), CyanPixel);
    EXPECT_EQ(frame.At(5, 930), Black);
}

TEST(PaintBoardTest, BoxesClipOnEverySide) {
    PixelFrame frame;
    frame.Resize(20, 20);
    frame.Colors = {Black, 0x00FFFFFFu};
    DrawBox(frame, -5, -5, 4, 4);    // corner box cut at the top-left
    DrawBox(frame, 15, 15, 30, 30);  // cut at the bottom-right
    EXPECT_EQ(frame.At(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(frame.At(3, 3), 0x00FFFFFFu);
    EXPECT_EQ(frame.At(4, 3), Black);
    EXPECT_EQ(frame.At(15, 19), Black);
    EXPECT_EQ(frame.At(16, 16), 0x00FFFFFFu);
    EXPECT_EQ(frame.At(19, 19), 0x00FFFFFFu);
}

}  // namespace
}  // namespace gridbloom

namespace gridbloom {
namespace {

TEST(PaintBoardTest, ClearToBlackReachesEveryPixelWhateverTheSizeAndAlignment) {
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 1}, {5, 7}, {17, 3}, {1054, 1054}};
    for (const auto& [width, height] : sizes) {
        PixelFrame frame;
        frame.Resize(width, height);
        frame.Colors = {Black, 0x00FFFFFFu};
        std::fill(frame.Bits.begin(), frame.Bits.end(), std::uint8_t{0xFF});
        ClearToBlack(frame);
        EXPECT_TRUE(LitPixels(frame).empty()) << width << "x" << height;
    }
}

}  // namespace
}  // namespace gridbloom
