#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentViews.h"
#include "document/CWevraDoc.h"
#include "framework/CWorkPool.h"
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
    const int32_t index = doc.Design().GetPlaneCount() - 1;
    const CPour& plane = *doc.Design().GetPlanes()[size_t(index)];
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

// A digest of every point of the planes' fills: equal digests, equal fills.
double FillDigest(CWevraDoc& doc)
{
    uint64_t digest = 1469598103934665603ull;
    const auto mix = [&](int32_t v) { digest = (digest ^ uint32_t(v)) * 1099511628211ull; };
    for (const auto& plane : doc.Design().GetPlanes()) {
        for (const auto& polygon : plane->GetFillPolylines()) {
            for (int32_t k = 0; k < polygon->GetSize(); ++k) {
                mix((*polygon)[k].x);
                mix((*polygon)[k].y);
            }
        }
        for (const FillStroke& line : plane->GetFillStrokes()) {
            for (int32_t v : {line.x1, line.y1, line.x2, line.y2})
                mix(v);
        }
    }
    return double(digest % 1000000007ull);
}

// Refill All of the generated board with both planes, the ground pour and the solid bottom
// plane: range 1 is the thread count (1, or 0 for every core).
void BM_PlaneFillBoth(benchmark::State& state)
{
    CDocumentViews views;
    CWevraDoc doc;
    doc.SetViews(&views);
    GenerateBoard(doc, PlanOf(state.range(0)));
    AddBottomPlane(doc);
    CWorkPool::SetThreadCount(int(state.range(1)));
    for (auto _ : state) {
        doc.Planes().RefillAll();
        benchmark::DoNotOptimize(doc.Design().GetPlanes().back()->GetFillStrokes().GetSize());
    }
    state.counters["threads"] = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(0);
    int64_t errors = 0;
    int64_t lines = 0;
    for (const auto& plane : doc.Design().GetPlanes()) {
        errors += plane->GetFillErrorCount();
        lines += plane->GetFillStrokes().GetSize();
    }
    state.counters["errors"] = double(errors);
    state.counters["lines"] = double(lines);
    state.counters["digest"] = FillDigest(doc);
    doc.SetViews(nullptr);
}
BENCHMARK(BM_PlaneFillBoth)
    ->ArgsProduct({{2000, 8000, 32000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

} // namespace
