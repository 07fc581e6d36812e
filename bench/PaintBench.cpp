// Cost of composing one frame of the board surface (1054 x 1054 pixels):
// on an empty board (the clear alone), a fresh one-in-seven board, and a
// full board, the worst case.

#include "board/Board.h"
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
    frame.Resize(1054, 1054);
    for (auto _ : state) {
        PaintBoard(board, 10, 0x00FFFF00, frame);
        benchmark::DoNotOptimize(frame.Pixels.data());
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
    frame.Resize(1054, 1054);
    std::vector<std::uint32_t> evict(32u * 1024u * 1024u / sizeof(std::uint32_t));
    std::uint32_t round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(evict.begin(), evict.end(), ++round);
        benchmark::DoNotOptimize(evict.data());
        state.ResumeTiming();
        PaintBoard(board, 10, 0x00FFFF00, frame);
        benchmark::DoNotOptimize(frame.Pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["live%"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PaintBoardColdFrame)->Arg(14)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace gridbloom
