#include <benchmark/benchmark.h>

#include <cstdint>

#include "analysis/CNetConnectCheck.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"

namespace {

// A 10-inch board with the standard pads; every layer in use.
class CBenchBoard : public CNetDocument {
public:
    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetBoardWidth() const override { return 2560000; }
    int32_t GetBoardHeight() const override { return 2560000; }
    bool IsLayerEnabled(int32_t) const override { return true; }
    int32_t CheckNetClusters(CNet& net) override { return CNetConnectCheck(*this, net).Check(); }

    CPadStackArray padStacks;
};

// 3000 through-hole pins on a 0.1-inch grid of 60 columns, none joined; with `joined` every
// row is tied together by a track.
CNet MakeNet(bool joined)
{
    constexpr int32_t pitch = 25600;
    constexpr int32_t columns = 60;
    constexpr int32_t rows = 50;
    CNet net("BENCH");
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c)
            net.AddPin(pitch * (c + 1), pitch * (r + 1), r * columns + c, 0, 0, 0, false, 3);
        if (joined)
            net.AppendSegment(pitch, pitch * (r + 1), pitch * columns, pitch * (r + 1), LAYER_TOP,
                              1, false);
    }
    return net;
}

void BM_NetClusters(benchmark::State& state)
{
    CBenchBoard board;
    CNet net = MakeNet(state.range(0) != 0);
    for (auto _ : state) {
        net.MarkClustersDirty(true);
        net.CalcClusters(board);
        benchmark::DoNotOptimize(net.GetClusterCount());
    }
}
BENCHMARK(BM_NetClusters)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NetRatsnest(benchmark::State& state)
{
    CBenchBoard board;
    CNet net = MakeNet(state.range(0) != 0);
    net.CalcClusters(board);
    for (auto _ : state) {
        net.CalcRatsnest(board);
        benchmark::DoNotOptimize(net.GetRatsLineCount());
    }
}
BENCHMARK(BM_NetRatsnest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Clusters and ratsnest together, as the track tool recomputes a net it changed.
void BM_NetClustersAndRatsnest(benchmark::State& state)
{
    CBenchBoard board;
    CNet net = MakeNet(false);
    for (auto _ : state) {
        net.MarkClustersDirty(true);
        net.CalcRatsnest(board);
        benchmark::DoNotOptimize(net.GetRatsLineCount());
    }
}
BENCHMARK(BM_NetClustersAndRatsnest)->Unit(benchmark::kMillisecond);

} // namespace
