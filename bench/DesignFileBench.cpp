#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/BoardGenerator.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"

namespace {

// One save and one load of a board of 2000 components (about 6000 pads) and 20000 track
// vertices, with the load's fix-ups; the two together are what opening or saving a large
// design costs apart from the disk.
// One save and one load of the board, in memory, per iteration.
void SaveAndLoad(benchmark::State& state, const BoardPlan& plan)
{
    CWevraDoc board;
    GenerateBoard(board, plan);
    CWevraDoc opened;
    for (auto _ : state) {
        CArchive saved;
        board.Serialize(saved);
        CArchive reading(saved.TakeBuffer());
        opened.Serialize(reading);
        benchmark::DoNotOptimize(opened.GetLoadResult());
    }
}

void BM_DesignFileSaveAndLoad(benchmark::State& state)
{
    SaveAndLoad(state, BoardPlan{2000, 20000, 1});
}
BENCHMARK(BM_DesignFileSaveAndLoad)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The load alone, in memory, of boards of 2000, 8000 and 32000 components: how opening grows
// with the board.
void BM_DesignFileLoad(benchmark::State& state)
{
    CWevraDoc board;
    GenerateBoard(board, PlanOf(state.range(0)));
    CArchive saved;
    board.Serialize(saved);
    const std::vector<uint8_t> bytes = saved.TakeBuffer();
    CWevraDoc opened;
    for (auto _ : state) {
        CArchive reading(bytes);
        opened.Serialize(reading);
        benchmark::DoNotOptimize(opened.GetLoadResult());
    }
}
BENCHMARK(BM_DesignFileLoad)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

// One save and one load, in memory, of boards of 2000, 8000 and 32000 components.
void BM_DesignFileSaveAndLoadSized(benchmark::State& state)
{
    SaveAndLoad(state, PlanOf(state.range(0)));
}
BENCHMARK(BM_DesignFileSaveAndLoadSized)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

} // namespace
