#include <benchmark/benchmark.h>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentLink.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "model/CNetArray.h"
#include "model/LayerIds.h"

namespace {

// The generated board with the copper of its first nets taken away until `connections`
// ratsnest lines are left to route; returns how many there are.
int32_t Unroute(CWevraDoc& doc, int32_t connections)
{
    CNetArray& nets = doc.Design().GetNets();
    int32_t lines = 0;
    for (int32_t i = 1; i < nets.GetCount() && lines < connections; ++i) {
        CNet& net = *nets.GetNet(i);
        net.SelectAllVertices(true);
        net.DeleteSelected();
        net.CalcBoundingBox(doc.Link());
        net.CalcRatsnest(doc.Link());
        lines += net.GetRatsLineCount();
    }
    return lines;
}

// Route All Default Layer over the connections; every run takes the routes away again first.
void BM_RouteAllDefaultLayer(benchmark::State& state)
{
    CWevraDoc doc;
    BoardPlan plan;
    GenerateBoard(doc, plan);
    const int32_t connections = Unroute(doc, int32_t(state.range(0)));
    doc.Session().ApplyWorkLayerToTool(LAYER_BOTTOM);
    int32_t left = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc.Design().GetNets().UnrouteAll();
        state.ResumeTiming();
        doc.Analysis().RouteAllDefaultLayer();
        state.PauseTiming();
        left = 0;
        for (int32_t i = 1; i < doc.Design().GetNets().GetCount(); ++i)
            left += doc.Design().GetNets().GetNet(i)->GetRatsLineCount();
        state.ResumeTiming();
    }
    state.counters["connections"] = connections;
    state.counters["unrouted"] = left;
}
BENCHMARK(BM_RouteAllDefaultLayer)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
