#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "framework/CPoint.h"
#include "model/Geometry.h"

namespace {

// Rotating a component or a pour rotates every one of its points; this keeps the cost of the
// general (non-quarter-turn) case in view.
void BM_RotatePoint(benchmark::State& state)
{
    const int32_t count = static_cast<int32_t>(state.range(0));
    std::vector<CPoint> points;
    points.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        points.emplace_back(i * 2519 - 5000000, 3000000 - i * 1511);

    int32_t angle = 12345;
    for (auto _ : state) {
        for (const CPoint& p : points)
            benchmark::DoNotOptimize(RotatePoint(p.x, p.y, angle));
        angle += 1000;
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RotatePoint)->Arg(1000)->Arg(100000);

void BM_RotatePointQuarterTurn(benchmark::State& state)
{
    const int32_t count = static_cast<int32_t>(state.range(0));
    std::vector<CPoint> points;
    points.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        points.emplace_back(i * 2519 - 5000000, 3000000 - i * 1511);

    for (auto _ : state) {
        for (const CPoint& p : points)
            benchmark::DoNotOptimize(RotatePoint(p.x, p.y, 90000));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RotatePointQuarterTurn)->Arg(100000);

} // namespace
