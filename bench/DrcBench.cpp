#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CWevraDoc.h"
#include "model/CNetArray.h"

namespace {

// The check of every pair of nets of the generated board, as DRC Test All runs it.
void BM_DrcTestAll(benchmark::State& state)
{
    CWevraDoc doc;
    const BoardCounts counts = GenerateBoard(doc, PlanOf(state.range(0)));
    for (auto _ : state)
        doc.TestAllNets();
    state.counters["nets"] = counts.nets;
    state.counters["pins"] = counts.pins;
    state.counters["trackVertices"] = counts.trackVertices;
    state.counters["errors"] = doc.GetNets().GetErrorCount();
}
BENCHMARK(BM_DrcTestAll)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace
