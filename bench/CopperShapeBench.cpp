#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "framework/CRect.h"
#include "model/CCopperShape.h"
#include "model/PadShapes.h"

namespace {

struct RandomPad {
    int32_t code;
    CRect rect;
    int32_t x, y;
    bool mirrored;
    int32_t angle;
};

// Pads of every shape code scattered over a small board, so that a fair share of the pairs get
// past the bounding-rectangle rejection and reach the exact tests.
std::vector<RandomPad> MakePads(size_t count)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int32_t> code(1, 9);
    std::uniform_int_distribution<int32_t> size(2000, 20000);
    std::uniform_int_distribution<int32_t> offset(-3000, 3000);
    std::uniform_int_distribution<int32_t> position(0, 100000);
    std::uniform_int_distribution<int32_t> angle(0, 7);
    std::bernoulli_distribution mirrored(0.5);
    std::vector<RandomPad> pads;
    pads.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const int32_t w = size(random);
        const int32_t h = size(random);
        const int32_t ox = offset(random);
        const int32_t oy = offset(random);
        pads.push_back({code(random), CRect(ox - w / 2, oy - h / 2, ox + w / 2, oy + h / 2),
                        position(random), position(random), mirrored(random),
                        angle(random) * 45000 + (i % 3 == 0 ? 12345 : 0)});
    }
    return pads;
}

void BM_TouchesPad(benchmark::State& state)
{
    const std::vector<RandomPad> pads = MakePads(static_cast<size_t>(state.range(0)));
    std::vector<CCopperShape> outlines(pads.size());
    for (size_t i = 0; i < pads.size(); ++i) {
        const RandomPad& p = pads[i];
        outlines[i].SetPad(p.code, p.rect, p.x, p.y, p.mirrored, p.angle, 500);
    }
    int64_t pairs = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < pads.size(); ++i) {
            const RandomPad& other = pads[(i * 7 + 1) % pads.size()];
            benchmark::DoNotOptimize(outlines[i].TouchesPad(
                other.code, other.rect, other.x, other.y, other.mirrored, other.angle, 0));
        }
        pairs += static_cast<int64_t>(pads.size());
    }
    state.SetItemsProcessed(pairs);
}
BENCHMARK(BM_TouchesPad)->Arg(10000);

void BM_TouchesSegment(benchmark::State& state)
{
    const std::vector<RandomPad> pads = MakePads(static_cast<size_t>(state.range(0)));
    std::vector<CCopperShape> outlines(pads.size());
    for (size_t i = 0; i < pads.size(); ++i) {
        const RandomPad& p = pads[i];
        outlines[i].SetPad(p.code, p.rect, p.x, p.y, p.mirrored, p.angle, 500);
    }
    int64_t tests = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < pads.size(); ++i) {
            const RandomPad& a = pads[(i * 7 + 1) % pads.size()];
            const RandomPad& b = pads[(i * 13 + 5) % pads.size()];
            benchmark::DoNotOptimize(outlines[i].TouchesSegment(a.x, a.y, b.x, b.y, 1000));
        }
        tests += static_cast<int64_t>(pads.size());
    }
    state.SetItemsProcessed(tests);
}
BENCHMARK(BM_TouchesSegment)->Arg(10000);

} // namespace
