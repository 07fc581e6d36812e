// Cost of composing one frame of the board (1054 x 931 pixels, the board's
// part of a surface 1054 pixels square, one bit a pixel): on an empty board
// (the clear alone), a fresh one-in-seven board, half and a full board, the
// worst case; and of finding the rows that changed in one generation.

#include "board/Board.h"
#include "saver/ChangedRows.h"
#include "saver/PaintBoard.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace gridbloom {
namespace {

Board BoardWithDensity(double share) {
    Board board{};
    std::mt19937 engine(1234u);
    std::bernoulli_distribution live(share);
    for (auto& cell : board.Cells) cell = live(engine) ? 1 : 0;
    return board;
}

void BM_PaintBoard(benchmark::State& state) {
    const Board board = BoardWithDensity(static_cast<double>(state.range(0)) / 100.0);
    PixelFrame frame;
    frame.Resize(1054, 931);
    for (auto _ : state) {
        PaintBoard(board, 10, 0x00FFFF00, frame);
        benchmark::DoNotOptimize(frame.Bits.data());
        benchmark::ClobberMemory();
    }
    state.counters["live%"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PaintBoard)->Arg(0)->Arg(14)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

// The saver paints one frame every 100 ms, by which time the frame has left
// the cache: each iteration first writes through a buffer larger than the
// cache, with the timer paused.
void BM_PaintBoardColdFrame(benchmark::State& state) {
    const Board board = BoardWithDensity(static_cast<double>(state.range(0)) / 100.0);
    PixelFrame frame;
    frame.Resize(1054, 931);
    std::vector<std::uint32_t> evict(32u * 1024u * 1024u / sizeof(std::uint32_t));
    std::uint32_t round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(evict.begin(), evict.end(), ++round);
        benchmark::DoNotOptimize(evict.data());
        state.ResumeTiming();
        PaintBoard(board, 10, 0x00FFFF00, frame);
        benchmark::DoNotOptimize(frame.Bits.data());
        benchmark::ClobberMemory();
    }
    state.counters["live%"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PaintBoardColdFrame)->Arg(14)->Unit(benchmark::kMicrosecond);

// The rows a tick shows on a fresh board, one generation on.
void BM_ChangedRowRects(benchmark::State& state) {
    const Board shown = BoardWithDensity(1.0 / 7.0);
    Board now = shown;
    NextGeneration(now);
    std::size_t rects = 0;
    for (auto _ : state) {
        const auto changed = ChangedRowRects(shown, now, 10, 1054, 931);
        rects = changed.size();
        benchmark::DoNotOptimize(changed.data());
    }
    state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_ChangedRowRects)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace gridbloom
