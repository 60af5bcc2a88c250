#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"

namespace {

// One save and one load of a board of 2000 components (about 6000 pads) and 20000 track
// vertices, with the load's fix-ups; the two together are what opening or saving a large
// design costs apart from the disk.
void BM_DesignFileSaveAndLoad(benchmark::State& state)
{
    CWevraDoc board;
    GenerateBoard(board, BoardPlan{2000, 20000, 1});
    CWevraDoc opened;
    for (auto _ : state) {
        CArchive saved;
        board.Serialize(saved);
        CArchive reading(saved.TakeBuffer());
        opened.Serialize(reading);
        benchmark::DoNotOptimize(opened.GetLoadResult());
    }
}
BENCHMARK(BM_DesignFileSaveAndLoad)->Unit(benchmark::kMillisecond);

} // namespace
