#include "saver/PaintBoard.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gridbloom {
namespace {

constexpr std::uint32_t Black = 0;

void FillSpan(PixelFrame& frame, int y, int left, int right, std::uint32_t pixel) {
    if (y < 0 || y >= frame.Height) return;
    left = std::max(left, 0);
    right = std::min(right, frame.Width - 1);
    if (left > right) return;
    std::uint32_t* row = frame.Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.Width);
    std::fill(row + left, row + right + 1, pixel);
}

}  // namespace

void PixelFrame::Resize(int width, int height) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Pixels.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), Black);
}

void DrawBox(PixelFrame& frame, int left, int top, int right, int bottom, std::uint32_t fillPixel) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left >= 0 && top >= 0 && right < frame.Width && bottom < frame.Height) {
        // Wholly inside, the usual case: straight runs, no clipping.
        const std::size_t stride = static_cast<std::size_t>(frame.Width);
        std::uint32_t* row = frame.Pixels.data() + static_cast<std::size_t>(top) * stride;
        std::fill(row + left, row + right + 1, Black);
        for (int y = top + 1; y < bottom; ++y) {
            row += stride;
            row[left] = Black;
            std::fill(row + left + 1, row + right, fillPixel);
            row[right] = Black;
        }
        if (bottom != top)
            std::fill(frame.Pixels.data() + static_cast<std::size_t>(bottom) * stride + left,
                      frame.Pixels.data() + static_cast<std::size_t>(bottom) * stride + right + 1, Black);
        return;
    }
    FillSpan(frame, top, left, right, Black);
    for (int y = top + 1; y < bottom; ++y) {
        FillSpan(frame, y, left, left, Black);
        FillSpan(frame, y, left + 1, right - 1, fillPixel);
        FillSpan(frame, y, right, right, Black);
    }
    if (bottom != top) FillSpan(frame, bottom, left, right, Black);
}

void ClearToBlack(PixelFrame& frame) {
    std::uint32_t* pixel = frame.Pixels.data();
    std::uint32_t* const end = pixel + frame.Pixels.size();
#if defined(__SSE2__)
    // A frame is megabytes that the previous tick left in memory, not in the
    // cache. Streaming stores write it without first reading it back, which
    // halves the memory traffic of the clear.
    while (pixel < end && (reinterpret_cast<std::uintptr_t>(pixel) & 15u) != 0) *pixel++ = Black;
    const __m128i black = _mm_setzero_si128();
    for (; end - pixel >= 4; pixel += 4) _mm_stream_si128(reinterpret_cast<__m128i*>(pixel), black);
    _mm_sfence();
#endif
    std::fill(pixel, end, Black);
}

void PaintBoard(const Board& board, std::int16_t cellSize, std::uint32_t colorRef, PixelFrame& frame) {
    // The painting starts with a black box from (0, 0) to (ScaleWidth,
    // ScaleHeight). Its outline and its inside are black, and its far corner
    // lies just outside the frame, so clearing every pixel to black draws
    // exactly what that box would.
    ClearToBlack(frame);
    const std::uint32_t cellPixel = PixelFromColorRef(colorRef);
    for (std::int16_t x = 0; x < BoardColumns; ++x) {
        for (std::int16_t y = 0; y < BoardRows; ++y) {
            if (board.At(x, y) != 1) continue;
            const int left = cellSize * x;
            const int top = cellSize * y;
            DrawBox(frame, left, top, left + cellSize, top + cellSize, cellPixel);
        }
    }
}

}  // namespace gridbloom
