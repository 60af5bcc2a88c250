#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CWevraDoc.h"
#include "framework/CWorkPool.h"
#include "model/CNetArray.h"

namespace {

// The check of every pair of nets of the generated board, as DRC Test All runs it, on `threads`
// threads (0: one per core).
void RunDrcTestAll(benchmark::State& state, int threads)
{
    CWevraDoc doc;
    const BoardCounts counts = GenerateBoard(doc, PlanOf(state.range(0)));
    const int saved = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(threads);
    for (auto _ : state)
        doc.Analysis().TestAllNets();
    state.counters["threads"] = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(saved);
    state.counters["nets"] = counts.nets;
    state.counters["pins"] = counts.pins;
    state.counters["trackVertices"] = counts.trackVertices;
    state.counters["errors"] = doc.Design().GetNets().GetErrorCount();
}

void BM_DrcTestAll(benchmark::State& state)
{
    RunDrcTestAll(state, 0);
}

void BM_DrcTestAllOneThread(benchmark::State& state)
{
    RunDrcTestAll(state, 1);
}

// Wall time: the work is spread over threads the process time would add up.
BENCHMARK(BM_DrcTestAll)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DrcTestAllOneThread)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
