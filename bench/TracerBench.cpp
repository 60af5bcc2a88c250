#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CWevraDoc.h"
#include "framework/CWorkPool.h"
#include "model/CNetArray.h"

namespace {

// Every run gathers the nets of the one before into net 0 and derives them again, so each
// iteration does the whole work. The third argument is the thread count: 1, or 0 for every
// core.
void BM_RebuildFromTracks(benchmark::State& state)
{
    CWevraDoc doc;
    BoardPlan plan;
    plan.components = int32_t(state.range(0));
    plan.trackVertices = int32_t(state.range(1));
    const BoardCounts counts = GenerateBoard(doc, plan);
    const int threadsBefore = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(int(state.range(2)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Analysis().RebuildFromTracks());
    state.counters["threads"] = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(threadsBefore);
    state.counters["trackVertices"] = counts.trackVertices;
    state.counters["pins"] = counts.pins;
    state.counters["netsBuilt"] = doc.Design().GetNets().GetCount() - 1;
}
BENCHMARK(BM_RebuildFromTracks)
    ->ArgsProduct({{2000}, {20000}, {1, 0}})
    ->ArgsProduct({{8000}, {80000}, {1, 0}})
    ->ArgsProduct({{32000}, {320000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

} // namespace
