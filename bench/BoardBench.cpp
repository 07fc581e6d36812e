// Cost of one generation on a freshly seeded one-in-seven board: the real
// step against a cell-by-cell recount through CountNeighbours.
//
// A seeded board thins out as it evolves, so every kGenerationsPerBoard
// iterations the board is reseeded with the timer paused. The step does the
// same work whatever the cells hold, so the refresh keeps the boards
// realistic without pausing the timer on every iteration.

#include "board/Board.h"
#include "board/Seeding.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

namespace gridbloom {
namespace {

constexpr int kGenerationsPerBoard = 32;

// Deterministic stand-in for the clock-seeded source, so that every run
// measures the same boards.
class FixedSeedRandom final : public RandomSource {
public:
    void ReseedFromClock() override {}
    float NextUnit() override { return static_cast<float>(static_cast<std::uint32_t>(engine_() >> 8)) * 0x1.0p-24f; }

private:
    std::mt19937 engine_{20240607u};
};

void CellByCellNext(Board& board) {
    Board next{};
    for (std::int16_t x = 0; x < BoardColumns; ++x) {
        for (std::int16_t y = 0; y < BoardRows; ++y) {
            const std::int16_t cell = board.At(x, y);
            const std::int16_t n = CountNeighbours(board, x, y);
            next.At(x, y) = static_cast<std::int16_t>(((cell == 1 && n == 2) || n == 3) ? 1 : 0);
        }
    }
    board = next;
}

template <void (*Step)(Board&)>
void RunGenerations(benchmark::State& state) {
    FixedSeedRandom random;
    Board board{};
    int sinceSeeding = kGenerationsPerBoard;
    for (auto _ : state) {
        if (sinceSeeding == kGenerationsPerBoard) {
            state.PauseTiming();
            SeedCells(board, 7, random);
            sinceSeeding = 0;
            state.ResumeTiming();
        }
        Step(board);
        ++sinceSeeding;
        benchmark::DoNotOptimize(board.Cells.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * BoardCellCount);
}

void BM_NextGeneration(benchmark::State& state) { RunGenerations<NextGeneration>(state); }

void BM_CellByCellReference(benchmark::State& state) { RunGenerations<CellByCellNext>(state); }

BENCHMARK(BM_NextGeneration)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CellByCellReference)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace gridbloom
