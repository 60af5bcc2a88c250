#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CWevraDoc.h"
#include "model/CNetArray.h"

namespace {

// Every run gathers the nets of the one before into net 0 and derives them again, so each
// iteration does the whole work.
void BM_RebuildFromTracks(benchmark::State& state)
{
    CWevraDoc doc;
    BoardPlan plan;
    plan.components = int32_t(state.range(0));
    plan.trackVertices = int32_t(state.range(1));
    const BoardCounts counts = GenerateBoard(doc, plan);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.RebuildFromTracks());
    state.counters["trackVertices"] = counts.trackVertices;
    state.counters["pins"] = counts.pins;
    state.counters["netsBuilt"] = doc.GetNets().GetCount() - 1;
}
BENCHMARK(BM_RebuildFromTracks)
    ->Args({2000, 20000})
    ->Args({8000, 80000})
    ->Args({32000, 320000})
    ->Unit(benchmark::kMillisecond);

} // namespace
