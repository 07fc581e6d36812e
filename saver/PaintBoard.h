// Drawing the board into a frame of pixels that the window then shows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/Board.h"

namespace gridbloom {

// A frame of two colours, one bit a pixel, laid out as a Windows DIB of that
// depth: top-down rows, each padded to a multiple of 32 bits, the leftmost
// pixel in the highest bit of a row's first byte. Bit 0 shows colour 0 of
// the colour table (black), bit 1 colour 1 (the cells').
struct PixelFrame {
    int Width = 0;
    int Height = 0;
    int Stride = 0;  // bytes a row
    std::vector<std::uint8_t> Bits;
    std::array<std::uint32_t, 2> Colors{};  // the colour table, 0x00RRGGBB

    // All bits 0.
    void Resize(int width, int height);
    const std::uint8_t* Row(int y) const { return Bits.data() + static_cast<std::size_t>(y) * Stride; }
    int IndexAt(int x, int y) const { return (Row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
    // The pixel's colour, through the colour table.
    std::uint32_t At(int x, int y) const { return Colors[static_cast<std::size_t>(IndexAt(x, y))]; }
};

// A COLORREF keeps red in the low byte (0x00BBGGRR); a DIB colour keeps blue
// there (0x00RRGGBB).
constexpr std::uint32_t PixelFromColorRef(std::uint32_t colorRef) {
    return ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) | ((colorRef >> 16) & 0xFFu);
}

// The box primitive: a one-pixel black outline whose corners are the two
// points, both included, so a box from (0, 0) to (10, 10) covers 11 x 11
// pixels and the boxes of neighbouring cells share one outline line. The
// inside is filled with colour 1. Whatever lies outside the frame is clipped.
void DrawBox(PixelFrame& frame, int left, int top, int right, int bottom);

void ClearToBlack(PixelFrame& frame);

// A complete frame of the board: black, with a box of cellSize pitch filled
// with the colour for every cell that holds 1.
void PaintBoard(const Board& board, std::int16_t cellSize, std::uint32_t colorRef, PixelFrame& frame);

// The board's own size in pixels, its boxes' far corners included (1161 x 931
// at a pitch of 10): no cell is ever drawn beyond it.
constexpr int BoardPixelWidth(int cellSize) { return cellSize * BoardColumns + 1; }
constexpr int BoardPixelHeight(int cellSize) { return cellSize * BoardRows + 1; }

}  // namespace gridbloom
