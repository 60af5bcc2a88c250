#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/CPlaneBuild.h"
#include "analysis/CPlaneBuildDocument.h"
#include "model/CNet.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

// A 12 x 8 inch board: 2000 three-pin components in 50 columns and 40 rows, their 6000 pins
// spread over 1000 nets, and 20000 track vertices on the bottom layer (a run of 10 from each
// component to the next one in its row, with a via), for a full-board plane of net 1.
class CBenchPlaneBoard : public CPlaneBuildDocument {
public:
    static constexpr int32_t columns = 50;
    static constexpr int32_t rows = 40;
    static constexpr int32_t pitchX = 60000;
    static constexpr int32_t pitchY = 50000;
    static constexpr int32_t netCount = 1000;

    CBenchPlaneBoard()
    {
        padStacks.RemoveAll();
        const int32_t stacks[3] = {
            padStacks.Add(CPadStack("ROUND", PAD_ROUND, -6000, -6000, 6000, 6000, 3000, 0, 2)),
            padStacks.Add(CPadStack("SQUARE", PAD_SQUARE, -5500, -5500, 5500, 5500, 3000, 0, 2)),
            padStacks.Add(CPadStack("OCT", PAD_OCTAGON, -6000, -6000, 6000, 6000, 3000, 0, 2))};
        const int32_t via =
            padStacks.Add(CPadStack("VIA", PAD_ROUND, -3500, -3500, 3500, 3500, 1500, 0, 4));
        for (int32_t n = 0; n < netCount; ++n) {
            std::string name = std::to_string(n);
            name.insert(0, 1, 'N');
            nets.push_back(std::make_unique<CNet>(name, 1000, 20000, 2015));
            nets.back()->AddPen(3000);
        }
        for (int32_t c = 0; c < columns * rows; ++c) {
            const int32_t x = 40000 + (c % columns) * pitchX;
            const int32_t y = 40000 + (c / columns) * pitchY;
            for (int32_t p = 0; p < 3; ++p) {
                CNet& net = *nets[size_t((3 * c + p) % netCount)];
                net.AddPin(x + (p - 1) * 20000, y, c, p, stacks[p], (c % 2) * 90000, false, 3);
            }
            // From pin 3 down into the channel below the row, along it, and up to pin 1 of the
            // next component.
            if (c % columns == columns - 1)
                continue;
            CNet& net = *nets[size_t((3 * c + 2) % netCount)];
            const int32_t pen = net.FindPen(3000);
            const int32_t channel = y + pitchY / 2;
            net.AppendVertex(x + 20000, y, LAYER_BOTTOM, 0);
            const int32_t xs[9] = {20000, 22000, 26000, 30000, 34000, 38000, 42000, 46000, 40000};
            const int32_t ys[9] = {channel - y - 6000, channel - y,        channel - y + 1500,
                                   channel - y,        channel - y + 1500, channel - y,
                                   channel - y,        channel - y - 4000, 0};
            for (int32_t k = 0; k < 9; ++k)
                net.AppendVertex(x + xs[k], y + ys[k], LAYER_BOTTOM, pen);
            net.AppendPadVertex(x + 30000, channel + 9000, via, 0, false);
        }
        const int32_t right = 40000 + columns * pitchX;
        const int32_t bottom = 40000 + rows * pitchY;
        plane =
            std::make_unique<CPour>(1, LAYER_BOTTOM, 5000, 5000, CPour::styleSolid, 2015, 6047, 0);
        const CPoint corners[5] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {0, 0}};
        for (const CPoint& p : corners)
            plane->GetOutline().SetAtGrow(plane->GetOutline().GetSize(), p.x, p.y);
    }

    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetNetCount() const override { return int32_t(nets.size()); }
    const CNet& GetNet(int32_t i) const override { return *nets[size_t(i)]; }
    int32_t GetPlaneCount() const override { return 1; }
    const CPour& GetPlane(int32_t) const override { return *plane; }
    int32_t GetTextCount() const override { return 0; }
    const CWevraText& GetText(int32_t) const override { return text; }
    const CWevraFont& GetFont() const override { return font; }
    void ClearReportLines() override {}
    void SetStatusBarText(const std::string&) override {}
    void SetMode(uint32_t) override {}
    void RedrawBoard() override {}

    CPadStackArray padStacks;
    std::vector<std::unique_ptr<CNet>> nets;
    std::unique_ptr<CPour> plane;
    CWevraText text;
    CWevraFont font;
};

void BM_PlaneFillFullBoard(benchmark::State& state)
{
    CBenchPlaneBoard board;
    for (auto _ : state) {
        CPlaneBuild build(board, *board.plane);
        benchmark::DoNotOptimize(board.plane->GetFillStrokes().GetSize());
    }
    state.counters["errors"] = board.plane->GetFillErrorCount();
    state.counters["polygons"] = double(board.plane->GetFillPolylines().size());
    state.counters["lines"] = board.plane->GetFillStrokes().GetSize();
}
BENCHMARK(BM_PlaneFillFullBoard)->Unit(benchmark::kMillisecond);

} // namespace
