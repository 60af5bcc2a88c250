#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/CAutoRouter.h"
#include "analysis/CAutoRouterDocument.h"
#include "analysis/CNetConnectCheck.h"
#include "model/CNetArray.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "tests/model/NetTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

// A board of 1000000 units square for the router; pins use the through-hole via padstack
// unless told otherwise, so they have pads on both outer layers.
class CRouterTestBoard : public CNetArrayTestDocument, public CAutoRouterDocument {
public:
    CRouterTestBoard() : nets(*this) {}

    CNetArray& GetNets() override { return nets; }
    const CNetDocument& GetNetDocument() const override { return *this; }
    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    bool IsLayerEnabled(int32_t layer) const override
    {
        return layer != disabledLayer && layer >= 0 && layer < LAYER_COUNT;
    }
    int32_t GetBoardWidth() const override { return 1000000; }
    int32_t GetBoardHeight() const override { return 1000000; }
    int32_t CheckNetClusters(CNet& net) override { return CNetConnectCheck(*this, net).Check(); }
    int32_t GetTextCount() const override { return 0; }
    const CWevraText& GetText(int32_t) const override { return text; }
    const CWevraFont& GetFont() const override { return font; }
    int32_t GetWorkLayer() const override { return workLayer; }
    void ApplyWorkLayerToTool(int32_t layer) override { workLayer = layer; }
    void RedrawBoard() override { ++redraws; }

    int32_t AddNet(std::vector<CPoint> pins, int32_t padStack = via)
    {
        const int32_t net = nets.AddNet("N" + std::to_string(nets.GetCount()));
        for (CPoint p : pins) {
            nets.GetNet(net)->AddPin(p.x, p.y, pinCount++, 0, padStack, 0, false,
                                     padStacks.GetLayerMask(padStack, false));
        }
        return net;
    }
    void Recalc()
    {
        nets.CalcBoundingBoxes();
        nets.RecalcAll();
    }

    CNetArray nets;
    CWevraText text;
    CWevraFont font;
    int32_t workLayer = LAYER_TOP;
    int32_t disabledLayer = -1;
    int32_t redraws = 0;
    int32_t pinCount = 0;
};

std::vector<CPoint> VertexPoints(const CNet& net)
{
    std::vector<CPoint> points;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i)
        points.push_back(net.GetVertexPoint(i));
    return points;
}

TEST(CAutoRouterConnectionTest, AppendsTheFirstFreePathAsAnAutoroutedRun)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    const int32_t net = board.AddNet({{200000, 100000}, {100000, 100000}});
    board.Recalc();
    CAutoRouter router(board);
    ASSERT_TRUE(router.RouteConnection(net, LAYER_BOTTOM, 200000, 100000, 100000, 100000));
    const CNet& routed = *board.nets.GetNet(net);
    EXPECT_EQ(VertexPoints(routed), (std::vector<CPoint>{{100000, 100000}, {200000, 100000}}));
    for (int32_t i = 0; i < routed.GetVertexCount(); ++i) {
        EXPECT_TRUE(routed.IsVertexAutorouted(i));
        EXPECT_EQ(routed.GetVertexLayer(i), LAYER_BOTTOM);
    }
    EXPECT_EQ(routed.GetVertexPen(1), routed.GetCurrentPen());
    EXPECT_EQ(router.GetRouteWidth(), routed.GetCurrentPenWidth());
}

TEST(CAutoRouterConnectionTest, BendsAroundThePadItHits)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    const int32_t net = board.AddNet({{100000, 100000}, {200000, 100000}});
    const int32_t other = board.AddNet({});
    board.nets.GetNet(other)->AppendPadVertex(150000, 100000, CRouterTestBoard::via, 0, false);
    board.Recalc();
    CAutoRouter router(board);
    ASSERT_TRUE(router.TryPatterns(net, LAYER_TOP, 100000, 100000, 200000, 100000));
    EXPECT_EQ(router.GetHits(), (std::vector<CAutoRouter::Hit>{{CAutoRouter::hitCircle, 0}}));
    EXPECT_EQ(router.GetPath(), (std::vector<CPoint>{{100000, 100000},
                                                     {130800, 100000},
                                                     {143600, 87200},
                                                     {156400, 87200},
                                                     {169200, 100000},
                                                     {200000, 100000}}));
}

TEST(CAutoRouterConnectionTest, LeavesABlockedConnectionUnrouted)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    const int32_t net = board.AddNet({{100000, 100000}, {200000, 100000}});
    const int32_t wall = board.AddNet({});
    // A track across the whole window: no pad hit, so the bumps give up at once.
    board.nets.GetNet(wall)->AppendSegment(150000, 0, 150000, 1000000, LAYER_TOP, 1, false);
    board.Recalc();
    CAutoRouter router(board);
    EXPECT_FALSE(router.RouteConnection(net, LAYER_TOP, 100000, 100000, 200000, 100000));
    EXPECT_TRUE(router.GetHits().empty());
    EXPECT_TRUE(router.GetPath().empty());
    EXPECT_EQ(board.nets.GetNet(net)->GetVertexCount(), 0);
    // The other layer is free.
    EXPECT_TRUE(router.RouteConnection(net, LAYER_BOTTOM, 100000, 100000, 200000, 100000));
}

TEST(CAutoRouterConnectionTest, GathersOnlyWhatLiesInTheWindow)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    const int32_t net = board.AddNet({{100000, 100000}, {200000, 100000}});
    const int32_t other = board.AddNet({{150000, 300000}, {900000, 900000}});
    board.Recalc();
    CAutoRouter router(board);
    router.GatherObstacles(net, LAYER_TOP, CRect(0, 0, 400000, 400000));
    EXPECT_EQ(router.GetShapeObstacleCount(), 1u);
    EXPECT_EQ(router.GetSegmentObstacleCount(), 8u) << "board and window edges";
    router.GatherObstacles(other, LAYER_TOP, CRect(800000, 800000, 1000000, 1000000));
    EXPECT_EQ(router.GetShapeObstacleCount(), 0u);
    router.GatherObstacles(-1, LAYER_TOP, CRect(0, 0, 400000, 400000));
    EXPECT_EQ(router.GetSegmentObstacleCount(), 0u);
}

TEST(CAutoRouterConnectionTest, RefusesLayersAndEndsThatCannotConnect)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    const int32_t net = board.AddNet({{100000, 100000}, {200000, 100000}});
    const int32_t smd =
        board.AddNet({{100000, 300000}, {200000, 300000}}, CRouterTestBoard::topPad);
    board.Recalc();
    board.disabledLayer = LAYER_GROUND;
    CAutoRouter router(board);
    EXPECT_FALSE(router.RouteConnection(net, LAYER_SILK_TOP, 100000, 100000, 200000, 100000));
    EXPECT_FALSE(router.RouteConnection(net, LAYER_GROUND, 100000, 100000, 200000, 100000));
    EXPECT_FALSE(router.RouteConnection(smd, LAYER_BOTTOM, 100000, 300000, 200000, 300000));
    EXPECT_EQ(board.nets.GetNet(smd)->GetVertexCount(), 0);
    EXPECT_TRUE(router.RouteConnection(smd, LAYER_TOP, 100000, 300000, 200000, 300000));
    board.workLayer = LAYER_SILK_TOP;
    EXPECT_FALSE(router.RouteAllDefaultLayer());
}

TEST(CAutoRouterConnectionTest, FarCoordinatesNeitherOverflowNorRoute)
{
    CFakeServices fakes;
    CRouterTestBoard board;
    constexpr int32_t high = std::numeric_limits<int32_t>::max();
    const int32_t net = board.AddNet({{high - 1000, high - 90000}, {high - 500, high}});
    board.Recalc();
    CAutoRouter router(board);
    // Outside the board every candidate crosses its edges.
    EXPECT_FALSE(
        router.RouteConnection(net, LAYER_TOP, high - 1000, high - 90000, high - 500, high));
    EXPECT_EQ(router.GetWindow().right, high);
}

// ---- Whole board --------------------------------------------------------------------------------

struct Board {
    CRouterTestBoard board;
    std::vector<std::vector<TrackRec>> before;

    Board()
    {
        // Rows of two-pin nets, some with a hand-laid track that the unroute must keep.
        for (int32_t row = 0; row < 6; ++row) {
            const int32_t y = 100000 + row * 60000;
            board.AddNet({{100000, y}, {300000, y}});
            board.AddNet({{400000, y}, {500000, y + 40000}});
            const int32_t manual = board.AddNet({{600000, y}, {700000, y}, {650000, y + 30000}});
            board.nets.GetNet(manual)->AppendSegment(600000, y, 700000, y, LAYER_TOP, 1, false);
        }
        board.Recalc();
        for (int32_t i = 0; i < board.nets.GetCount(); ++i) {
            std::vector<TrackRec> records;
            const CNet& net = *board.nets.GetNet(i);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v)
                records.push_back(net.GetVertex(v));
            before.push_back(records);
        }
    }

    int32_t RatsLines() const
    {
        int32_t lines = 0;
        for (int32_t i = 1; i < board.nets.GetCount(); ++i)
            lines += board.nets.GetNet(i)->GetRatsLineCount();
        return lines;
    }

    void ExpectRestoredByUnrouteAll()
    {
        board.nets.UnrouteAll();
        for (int32_t i = 0; i < board.nets.GetCount(); ++i) {
            const CNet& net = *board.nets.GetNet(i);
            std::vector<TrackRec> records;
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                TrackRec record = net.GetVertex(v);
                record.cluster = before[size_t(i)][size_t(v)].cluster;
                records.push_back(record);
            }
            EXPECT_EQ(records.size(), before[size_t(i)].size()) << "net " << i;
            if (records.size() == before[size_t(i)].size()) {
                EXPECT_EQ(records, before[size_t(i)]) << "net " << i;
            }
        }
    }
};

TEST(CAutoRouterBoardTest, RouteAllDefaultLayerRoutesAndUnrouteAllRestores)
{
    CFakeServices fakes;
    Board b;
    b.board.workLayer = LAYER_BOTTOM;
    const int32_t lines = b.RatsLines();
    ASSERT_EQ(lines, 18);
    EXPECT_TRUE(CAutoRouter(b.board).RouteAllDefaultLayer());
    EXPECT_EQ(b.RatsLines(), 0);
    EXPECT_EQ(b.board.redraws, 3);
    for (int32_t i = 1; i < b.board.nets.GetCount(); ++i) {
        const CNet& net = *b.board.nets.GetNet(i);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsVertexAutorouted(v)) {
                EXPECT_EQ(net.GetVertexLayer(v), LAYER_BOTTOM);
            }
        }
    }
    b.ExpectRestoredByUnrouteAll();
}

TEST(CAutoRouterBoardTest, RouteAllTopBottomEndsOnTheTopLayer)
{
    CFakeServices fakes;
    Board b;
    b.board.disabledLayer = LAYER_BOTTOM;
    EXPECT_TRUE(CAutoRouter(b.board).RouteAllTopBottom());
    EXPECT_EQ(b.board.workLayer, LAYER_TOP);
    EXPECT_EQ(b.board.redraws, 1) << "the disabled bottom layer is skipped";
    EXPECT_LT(b.RatsLines(), 18);
    b.ExpectRestoredByUnrouteAll();
}

} // namespace
