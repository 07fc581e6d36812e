// Drawing the board into a frame of pixels that the window then shows whole.
#pragma once

#include <cstdint>
#include <vector>

#include "board/Board.h"

namespace gridbloom {

// Top-down rows of 32-bit pixels in the 0x00RRGGBB layout of a Windows DIB.
struct PixelFrame {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    void Resize(int width, int height);
    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
    }
};

// A COLORREF keeps red in the low byte (0x00BBGGRR); a DIB pixel keeps blue
// there (0x00RRGGBB).
constexpr std::uint32_t PixelFromColorRef(std::uint32_t colorRef) {
    return ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) | ((colorRef >> 16) & 0xFFu);
}

// The box primitive: a one-pixel black outline whose corners are the two
// points, both included, so a box from (0, 0) to (10, 10) covers 11 x 11
// pixels and the boxes of neighbouring cells share one outline line. The
// inside is filled with fillPixel. Whatever lies outside the frame is clipped.
void DrawBox(PixelFrame& frame, int left, int top, int right, int bottom, std::uint32_t fillPixel);

void ClearToBlack(PixelFrame& frame);

// A complete frame of the board: black, with a box of cellSize pitch filled
// with the colour for every cell that holds 1.
void PaintBoard(const Board& board, std::int16_t cellSize, std::uint32_t colorRef, PixelFrame& frame);

}  // namespace gridbloom
