#include "saver/PaintBoard.h"

#include <algorithm>
#include <cstring>

namespace gridbloom {
namespace {

constexpr std::uint32_t Black = 0;

// Sets pixels x0..x1 (both included, x0 <= x1, within the row) to `index`.
void SetSpan(std::uint8_t* row, int x0, int x1, int index) {
    const int first = x0 >> 3;
    const int last = x1 >> 3;
    const auto headMask = static_cast<std::uint8_t>(0xFFu >> (x0 & 7));
    const auto tailMask = static_cast<std::uint8_t>(0xFFu << (7 - (x1 & 7)));
    const auto apply = [row, index](int at, std::uint8_t mask) {
        row[at] = static_cast<std::uint8_t>(index ? (row[at] | mask) : (row[at] & ~mask));
    };
    if (first == last) {
        apply(first, static_cast<std::uint8_t>(headMask & tailMask));
        return;
    }
    apply(first, headMask);
    if (last - first > 1) std::memset(row + first + 1, index ? 0xFF : 0x00, static_cast<std::size_t>(last - first - 1));
    apply(last, tailMask);
}

void ClippedSpan(PixelFrame& frame, int y, int left, int right, int index) {
    if (y < 0 || y >= frame.Height) return;
    left = std::max(left, 0);
    right = std::min(right, frame.Width - 1);
    if (left > right) return;
    SetSpan(frame.Bits.data() + static_cast<std::size_t>(y) * frame.Stride, left, right, index);
}

// A box wholly inside the frame and at most a few bytes wide, the usual case:
// every row inside is the same pattern of bits, written a byte at a time.
bool DrawSmallBoxInside(PixelFrame& frame, int left, int top, int right, int bottom) {
    constexpr int MaxBytes = 4;
    const int first = left >> 3;
    const int bytes = (right >> 3) - first + 1;
    if (left < 0 || top < 0 || right >= frame.Width || bottom >= frame.Height || bytes > MaxBytes) return false;
    std::uint8_t covered[MaxBytes] = {};  // the box's pixels in each byte
    std::uint8_t filled[MaxBytes] = {};   // those of its inside
    SetSpan(covered, left - 8 * first, right - 8 * first, 1);
    if (right - left >= 2) SetSpan(filled, left + 1 - 8 * first, right - 1 - 8 * first, 1);
    std::uint8_t* row = frame.Bits.data() + static_cast<std::size_t>(top) * frame.Stride + first;
    for (int y = top; y <= bottom; ++y, row += frame.Stride) {
        const bool outline = y == top || y == bottom;
        for (int k = 0; k < bytes; ++k) {
            row[k] = static_cast<std::uint8_t>((row[k] & ~covered[k]) | (outline ? 0 : filled[k]));
        }
    }
    return true;
}

}  // namespace

void PixelFrame::Resize(int width, int height) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Stride = (Width + 31) / 32 * 4;
    Bits.assign(static_cast<std::size_t>(Stride) * static_cast<std::size_t>(Height), 0);
}

void DrawBox(PixelFrame& frame, int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (DrawSmallBoxInside(frame, left, top, right, bottom)) return;
    ClippedSpan(frame, top, left, right, 0);
    for (int y = top + 1; y < bottom; ++y) {
        ClippedSpan(frame, y, left, left, 0);
        ClippedSpan(frame, y, left + 1, right - 1, 1);
        ClippedSpan(frame, y, right, right, 0);
    }
    if (bottom != top) ClippedSpan(frame, bottom, left, right, 0);
}

void ClearToBlack(PixelFrame& frame) { std::fill(frame.Bits.begin(), frame.Bits.end(), std::uint8_t{0}); }

void PaintBoard(const Board& board, std::int16_t cellSize, std::uint32_t colorRef, PixelFrame& frame) {
    frame.Colors = {Black, PixelFromColorRef(colorRef)};
    // The painting starts with a black box from (0, 0) to (ScaleWidth,
    // ScaleHeight). Its outline and its inside are black, and its far corner
    // lies just outside the surface, so clearing every pixel of the frame to
    // black, beyond which the window keeps the surface black, draws exactly
    // what that box would.
    ClearToBlack(frame);
    for (std::int16_t x = 0; x < BoardColumns; ++x) {
        for (std::int16_t y = 0; y < BoardRows; ++y) {
            if (board.At(x, y) != 1) continue;
            const int left = cellSize * x;
            const int top = cellSize * y;
            DrawBox(frame, left, top, left + cellSize, top + cellSize);
        }
    }
}

}  // namespace gridbloom
