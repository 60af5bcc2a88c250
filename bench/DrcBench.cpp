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
void RunDrcTestAll(benchmark::State& state, int threads, BoardPlan plan)
{
    CWevraDoc doc;
    const BoardCounts counts = GenerateBoard(doc, plan);
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
    RunDrcTestAll(state, 0, PlanOf(state.range(0)));
}

void BM_DrcTestAllOneThread(benchmark::State& state)
{
    RunDrcTestAll(state, 1, PlanOf(state.range(0)));
}

// The same board with nets reaching across it: one net in ten joining pins anywhere, 60 long
// diagonal tracks and a ground net stitched with 4,900 vias.
void BM_DrcTestAllFarNets(benchmark::State& state)
{
    BoardPlan plan = PlanOf(state.range(0));
    plan.farNetsEvery = 10;
    plan.diagonals = 60;
    plan.stitchingVias = 4900;
    RunDrcTestAll(state, 0, plan);
}

// Wall time: the work is spread over threads the process time would add up.
BENCHMARK(BM_DrcTestAll)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DrcTestAllFarNets)
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
