#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CWevraDoc.h"

namespace {

// Making the boards the other benchmarks start from: it should grow with the board, not with
// its square.
void BM_GenerateBoard(benchmark::State& state)
{
    for (auto _ : state) {
        CWevraDoc doc;
        benchmark::DoNotOptimize(GenerateBoard(doc, PlanOf(state.range(0))).components);
    }
    state.counters["components"] = double(state.range(0));
}
BENCHMARK(BM_GenerateBoard)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace
