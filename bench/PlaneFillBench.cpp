#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/BoardGenerator.h"
#include "document/CDocumentViews.h"
#include "document/CWevraDoc.h"
#include "model/CPointArray.h"
#include "model/CPour.h"

namespace {

// Fills one plane of the generated board: range 1 picks the generated ground pour (0, line
// hatch on the inner layer, where only vias and through-hole pins stand) or a solid plane on
// the bottom layer among the tracks (1).
void BM_PlaneFill(benchmark::State& state)
{
    CDocumentViews views;
    CWevraDoc doc;
    doc.SetViews(&views);
    GenerateBoard(doc, PlanOf(state.range(0)));
    if (state.range(1) == 1)
        AddBottomPlane(doc);
    const int32_t index = doc.GetPlaneCount() - 1;
    const CPour& plane = *doc.GetPlanes()[size_t(index)];
    for (auto _ : state) {
        doc.Planes().RebuildPlane(index);
        benchmark::DoNotOptimize(plane.GetFillStrokes().GetSize());
    }
    state.counters["errors"] = plane.GetFillErrorCount();
    state.counters["polygons"] = double(plane.GetFillPolylines().size());
    state.counters["lines"] = plane.GetFillStrokes().GetSize();
    doc.SetViews(nullptr);
}
BENCHMARK(BM_PlaneFill)->ArgsProduct({{2000, 8000, 32000}, {0, 1}})->Unit(benchmark::kMillisecond);

// Refill All of the generated board with both planes: the ground pour and the solid bottom
// plane.
void BM_PlaneFillBoth(benchmark::State& state)
{
    CDocumentViews views;
    CWevraDoc doc;
    doc.SetViews(&views);
    GenerateBoard(doc, PlanOf(state.range(0)));
    AddBottomPlane(doc);
    for (auto _ : state) {
        doc.Planes().RefillAll();
        benchmark::DoNotOptimize(doc.GetPlanes().back()->GetFillStrokes().GetSize());
    }
    int64_t errors = 0;
    int64_t lines = 0;
    for (const auto& plane : doc.GetPlanes()) {
        errors += plane->GetFillErrorCount();
        lines += plane->GetFillStrokes().GetSize();
    }
    state.counters["errors"] = double(errors);
    state.counters["lines"] = double(lines);
    doc.SetViews(nullptr);
}
BENCHMARK(BM_PlaneFillBoth)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace
