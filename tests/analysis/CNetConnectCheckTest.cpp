#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/CNetConnectCheck.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

// A board of 10 x 10 cells of the spatial grid with its own few padstacks.
class CTestBoard : public CNetDocument {
public:
    CTestBoard()
    {
        padStacks.Fill(true, 3); // empty
        smd = padStacks.Add(CPadStack("SMD", PAD_RECTANGLE, -3000, -3000, 3000, 3000, 0, LAYER_TOP,
                                      PADSTACK_KIND_SHAPE_PAD));
        big = padStacks.Add(CPadStack("BIG", PAD_SQUARE, -30000, -30000, 30000, 30000, 0, LAYER_TOP,
                                      PADSTACK_KIND_SHAPE_PAD));
        via = padStacks.Add(CPadStack("VIA", PAD_ROUND, -2500, -2500, 2500, 2500, 3000,
                                      LAYER_COMMON, PADSTACK_KIND_VIA));
        squareVia = padStacks.Add(CPadStack("SQV", PAD_SQUARE, -2000, -2000, 2000, 2000, 2000,
                                            LAYER_COMMON, PADSTACK_KIND_VIA));
        std::fill(std::begin(enabled), std::end(enabled), true);
    }

    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetBoardWidth() const override { return 1000000; }
    int32_t GetBoardHeight() const override { return 1000000; }
    bool IsLayerEnabled(int32_t layer) const override
    {
        return layer >= 0 && layer < LAYER_COUNT && enabled[layer];
    }
    int32_t CheckNetClusters(CNet& net) override { return CNetConnectCheck(*this, net).Check(); }

    CPadStackArray padStacks;
    int32_t smd = 0;
    int32_t big = 0;
    int32_t via = 0;
    int32_t squareVia = 0;
    bool enabled[LAYER_COUNT] = {};
};

struct Pin {
    int32_t x, y;
    int32_t padStack; // -1: the board's SMD pad
    bool bottom;
};

struct Track {
    int32_t x1, y1, x2, y2;
    int32_t layer;
    bool continueRun = false; // only (x2, y2): one more vertex of the run before
};

struct Via {
    int32_t x, y;
    bool square;
};

struct Case {
    const char* what;
    std::vector<Pin> pins;
    std::vector<Track> tracks;
    std::vector<Via> vias;
    int32_t clusters;
    int32_t toDo;
    std::vector<RatsLine> lines;
    std::vector<int32_t> pinClusters = {}; // empty: not checked
};

CNet BuildNet(CTestBoard& board, const Case& c)
{
    CNet net("N");
    int32_t component = 0;
    for (const Pin& pin : c.pins) {
        const int32_t stack = pin.padStack < 0 ? board.smd : pin.padStack;
        net.AddPin(pin.x, pin.y, component++, 0, stack, 0, pin.bottom,
                   board.padStacks.GetLayerMask(stack, pin.bottom));
    }
    for (const Track& t : c.tracks) {
        if (t.continueRun)
            EXPECT_TRUE(net.AppendVertex(t.x2, t.y2, t.layer, 1));
        else
            EXPECT_TRUE(net.AppendSegment(t.x1, t.y1, t.x2, t.y2, t.layer, 1, false));
    }
    for (const Via& v : c.vias)
        EXPECT_TRUE(
            net.AppendPadVertex(v.x, v.y, v.square ? board.squareVia : board.via, 0, false));
    return net;
}

void ExpectNet(CTestBoard& board, const Case& c)
{
    SCOPED_TRACE(c.what);
    CNet net = BuildNet(board, c);
    net.CalcRatsnest(board);
    EXPECT_EQ(net.GetClusterCount(), c.clusters);
    EXPECT_EQ(net.GetToDo(), c.toDo);
    ASSERT_EQ(net.GetRatsLineCount(), int32_t(c.lines.size()));
    for (int32_t i = 0; i < net.GetRatsLineCount(); ++i)
        EXPECT_EQ(net.GetRatsLine(i), c.lines[size_t(i)]) << "line " << i;
    for (size_t i = 0; i < c.pinClusters.size(); ++i)
        EXPECT_EQ(net.GetPinCluster(int32_t(i)), c.pinClusters[i]) << "pin " << i;
    EXPECT_FALSE(net.NeedsRatsnest());
    EXPECT_FALSE(net.AreClustersDirty());
}

TEST(CNetConnectCheckTest, NumbersClustersAndSpansThem)
{
    CTestBoard board;
    const int32_t y = 50000;
    const std::vector<Case> cases = {
        {"one pin", {{10000, y, -1, false}}, {}, {}, 1, 0, {}, {1}},
        {"two unjoined pins",
         {{10000, y, -1, false}, {60000, y, -1, false}},
         {},
         {},
         2,
         2,
         {{10000, y, 60000, y}},
         {1, 2}},
        {"two pins joined by a track",
         {{10000, y, -1, false}, {60000, y, -1, false}},
         {{10000, y, 60000, y, LAYER_TOP}},
         {},
         1,
         0,
         {},
         {1, 1}},
        {"a track on the other layer joins nothing",
         {{10000, y, -1, false}, {60000, y, -1, false}},
         {{10000, y, 60000, y, LAYER_BOTTOM}},
         {},
         2,
         2,
         {{10000, y, 60000, y}}},
        {"three unjoined pins report three",
         {{0, y, -1, false}, {30000, y, -1, false}, {90000, y, -1, false}},
         {},
         {},
         3,
         3,
         {{0, y, 30000, y}, {30000, y, 90000, y}}},
        {"joining two of three leaves one",
         {{0, y, -1, false}, {30000, y, -1, false}, {90000, y, -1, false}},
         {{0, y, 30000, y, LAYER_TOP}},
         {},
         2,
         1,
         {{30000, y, 90000, y}},
         {1, 1, 2}},
        {"equal distances: the first pair in pin order",
         {{0, 0, -1, false}, {20000, 0, -1, false}, {0, 20000, -1, false}},
         {},
         {},
         3,
         3,
         {{0, 0, 20000, 0}, {0, 0, 0, 20000}}},
        // The pin on the bottom side has its top pad on layer 2; the two meet only through the
        // via, each on its own side.
        {"pins joined only through a via on the opposite side",
         {{10000, y, -1, false}, {90000, y, -1, true}},
         {{10000, y, 50000, y, LAYER_TOP}, {50000, y, 90000, y, LAYER_BOTTOM}},
         {{50000, y, false}},
         1,
         0,
         {},
         {1, 1}},
        {"the same without the via",
         {{10000, y, -1, false}, {90000, y, -1, true}},
         {{10000, y, 50000, y, LAYER_TOP}, {50000, y, 90000, y, LAYER_BOTTOM}},
         {},
         2,
         2,
         {{10000, y, 90000, y}}},
        {"copper that reaches no pin is not counted",
         {{10000, y, -1, false}, {90000, y, -1, false}},
         {{30000, y, 70000, y, LAYER_TOP}},
         {{30000, y, false}},
         2,
         2,
         {{10000, y, 90000, y}}},
        // The first pin sits left of the cell border at 100000; the track touches its pad from
        // the right of the border and is found from the pin's whole pad, not its cell.
        {"touching across a cell border",
         {{99000, y, -1, false}, {150000, y, -1, false}},
         {{102500, y, 150000, y, LAYER_TOP}},
         {},
         1,
         0,
         {},
         {1, 1}},
        // A 60000-wide pad reaches far beyond the 1 mm around its centre and over two cell
        // borders: the via at its rim joins it to the far pin.
        {"a large pad reaching into other cells",
         {{95000, y, 0, false}, {300000, y, -1, false}},
         {{127000, y, 300000, y, LAYER_TOP}},
         {{127000, y, false}},
         1,
         0,
         {},
         {1, 1}},
        // Copper wholly inside a pad touches none of its edges and still connects.
        {"a square via inside a large pad",
         {{95000, y, 0, false}, {300000, y, -1, true}},
         {{100000, y, 300000, y, LAYER_BOTTOM}},
         {{100000, y, true}},
         1,
         0,
         {},
         {1, 1}},
        {"a segment inside a large pad, its run leaving on the other layer",
         {{95000, y, 0, false}, {300000, y, -1, true}},
         {{100000, y, 110000, y, LAYER_TOP}, {0, 0, 300000, y, LAYER_BOTTOM, true}},
         {},
         1,
         0,
         {},
         {1, 1}},
    };
    for (Case c : cases) {
        for (Pin& pin : c.pins) {
            if (pin.padStack == 0)
                pin.padStack = board.big;
        }
        ExpectNet(board, c);
    }
}

TEST(CNetConnectCheckTest, StampsVerticesAndStopsAtTheLimits)
{
    CTestBoard board;
    CNet net("N");
    net.AddPin(0, 0, 0, 0, board.smd, 0, false, 1);
    net.AddPin(50000, 0, 1, 0, board.smd, 0, false, 1);
    net.AppendSegment(0, 0, 20000, 0, LAYER_TOP, 1, false);
    net.AppendSegment(30000, 0, 40000, 0, LAYER_TOP, 1, false); // touches nothing
    net.CalcClusters(board);
    EXPECT_EQ(net.GetClusterCount(), 2);
    const std::vector<int32_t> stamps = {1, 1, 0, 0};
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(net.GetVertexCluster(i), stamps[size_t(i)]) << i;
    EXPECT_EQ(net.NearestConnection(0, 0), (RatsLine{0, 0, 30000, 0}));
    EXPECT_EQ(net.NearestConnection(7, 0), RatsLine{});

    // A disabled layer connects nothing.
    board.enabled[LAYER_TOP] = false;
    net.CalcClusters(board);
    EXPECT_EQ(net.GetClusterCount(), 2);
    EXPECT_EQ(net.GetVertexCluster(1), 0);
    board.enabled[LAYER_TOP] = true;

    // A net that hides its ratsnest gets none.
    net.SetFlags(CNet::flagNoRatsnest, true);
    net.CalcRatsnest(board);
    EXPECT_EQ(net.GetRatsLineCount(), 0);
    net.SetFlags(CNet::flagNoRatsnest, false);

    // Beyond 10000 vertices the count stays and no ratsnest is drawn.
    net.CalcRatsnest(board);
    EXPECT_EQ(net.GetRatsLineCount(), 1);
    while (net.GetVertexCount() <= CNet::maxClusterVertices)
        net.AppendVertex(90000, 90000, LAYER_TOP, 0);
    net.MarkClustersDirty(true);
    net.CalcClusters(board);
    EXPECT_EQ(net.GetClusterCount(), 2);
    EXPECT_TRUE(net.AreClustersDirty());
    net.CalcRatsnest(board);
    EXPECT_EQ(net.GetRatsLineCount(), 0);
}

// A run drawn on from a free pad belongs with the pad only on a layer the pad has copper on: a
// bottom run from a top-only pad to a through pin leaves that pin apart from the pin the pad
// lies on, whichever pin the check starts from.
TEST(CNetConnectCheckTest, ARunMeetsThePadItStartsAtOnlyWhereThePadHasCopper)
{
    CTestBoard board;
    for (const bool throughFirst : {true, false}) {
        SCOPED_TRACE(throughFirst ? "through pin first" : "SMD pin first");
        CNet net("N");
        const auto addPin = [&](bool through) {
            if (through)
                net.AddPin(10000, 0, 0, 0, board.via, 0, false,
                           board.padStacks.GetLayerMask(board.via, false));
            else
                net.AddPin(64000, 0, 1, 0, board.smd, 0, false, 1);
        };
        addPin(throughFirst);
        addPin(!throughFirst);
        net.AppendPadVertex(60000, 0, board.smd, 0, false);
        net.AppendVertex(10000, 0, LAYER_BOTTOM, 1);
        net.CalcRatsnest(board);
        EXPECT_EQ(net.GetClusterCount(), 2);
        EXPECT_EQ(net.GetToDo(), 2);
        ASSERT_EQ(net.GetRatsLineCount(), 1);
        const int32_t through = throughFirst ? 0 : 1;
        EXPECT_EQ(net.GetVertexCluster(0), net.GetPinCluster(1 - through));
        EXPECT_EQ(net.GetVertexCluster(1), net.GetPinCluster(through));

        // On a layer the pad has copper on, the run reaches the SMD pin through the pad.
        CNet onTop = net;
        onTop.SetVertexLayer(1, LAYER_TOP);
        onTop.MarkClustersDirty(true);
        onTop.CalcRatsnest(board);
        EXPECT_EQ(onTop.GetClusterCount(), 1);
    }
}

// Large nets ask grids for the items near a place; scanning the whole net must find the same
// clusters on random nets whose items lie across many cells.
// Pins of every stack on both sides, turned, and runs on two layers ending in vias here and there.
CNet RandomNet(const CTestBoard& board, std::mt19937& random)
{
    const auto coordinate = [&random] { return int32_t(random() % 400000); };
    CNet net("N");
    const int32_t stacks[] = {board.smd, board.big, board.via, board.squareVia};
    for (int32_t i = 0; i < 60; ++i) {
        const int32_t stack = stacks[random() % 4];
        const bool bottom = random() % 3 == 0;
        net.AddPin(coordinate(), coordinate(), i, 0, stack, int32_t(random() % 4) * 90000, bottom,
                   board.padStacks.GetLayerMask(stack, bottom));
    }
    for (int32_t i = 0; i < 80; ++i) {
        const int32_t layer = random() % 5 == 0 ? LAYER_BOTTOM : LAYER_TOP;
        int32_t x = coordinate();
        int32_t y = coordinate();
        net.AppendVertex(x, y, layer, 0);
        for (int32_t k = int32_t(random() % 4); k >= 0; --k) {
            x = std::clamp(x + int32_t(random() % 80000) - 40000, 0, 400000);
            y = std::clamp(y + int32_t(random() % 80000) - 40000, 0, 400000);
            net.AppendVertex(x, y, layer, 1);
        }
        if (random() % 4 == 0)
            net.AppendPadVertex(x, y, random() % 2 ? board.via : board.squareVia, 0,
                                random() % 2 == 0);
    }
    return net;
}

void ExpectSameClusters(const CNet& net, const CNet& expected)
{
    ASSERT_EQ(net.GetClusterCount(), expected.GetClusterCount());
    for (int32_t i = 0; i < net.GetPinCount(); ++i)
        EXPECT_EQ(net.GetPinCluster(i), expected.GetPinCluster(i)) << "pin " << i;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i)
        EXPECT_EQ(net.GetVertexCluster(i), expected.GetVertexCluster(i)) << "vertex " << i;
}

TEST(CNetConnectCheckTest, GridsFindWhatAScanOfTheWholeNetFinds)
{
    CTestBoard board;
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CNet net = RandomNet(board, random);
        CNet scanned = net;
        const int32_t indexedCount = CNetConnectCheck(board, net, 0).Check();
        const int32_t scannedCount = CNetConnectCheck(board, scanned, SIZE_MAX).Check();
        ASSERT_EQ(indexedCount, scannedCount);
        EXPECT_GT(scannedCount, 1);
        EXPECT_LT(scannedCount, net.GetPinCount());
        for (int32_t i = 0; i < net.GetPinCount(); ++i)
            EXPECT_EQ(net.GetPinCluster(i), scanned.GetPinCluster(i)) << "pin " << i;
        for (int32_t i = 0; i < net.GetVertexCount(); ++i)
            EXPECT_EQ(net.GetVertexCluster(i), scanned.GetVertexCluster(i)) << "vertex " << i;
    }
}

// A batch of checks shares one table of the stacks' pads and layers, and a thread's checks reuse
// their lists: neither may change what a check finds, a check begun while another is still
// open on the thread included.
TEST(CNetConnectCheckTest, ABatchTableAndChecksOnOneThreadFindWhatALoneCheckFinds)
{
    CTestBoard board;
    board.enabled[LAYER_BOTTOM] = false;
    std::mt19937 random(23);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const CNet net = RandomNet(board, random);
        CNet alone = net;
        ASSERT_GT(CNetConnectCheck(board, alone).Check(), 1);

        const CCheckPadTable table(board);
        CNet batched = net;
        CNetConnectCheck(board, batched, CNetConnectCheck::scannedItems, &table).Check();
        ExpectSameClusters(batched, alone);

        CNet outer = net;
        CNet inner = net;
        CNetConnectCheck open(board, outer, 0);
        CNetConnectCheck(board, inner, 0).Check();
        open.Check();
        ExpectSameClusters(inner, alone);
        ExpectSameClusters(outer, alone);
    }
    // A damaged index naming no stack is left to the check, which finds no pads there, as
    // without a table.
    const CCheckPadTable table(board);
    const int32_t missing = board.padStacks.GetCount() + 3;
    EXPECT_EQ(table.Find(missing, false), nullptr);
    EXPECT_NE(table.Find(board.via, true), nullptr);
    CNet net("N");
    net.AddPin(0, 0, 0, 0, board.smd, 0, false, board.padStacks.GetLayerMask(board.smd, false));
    net.AddPin(8000, 0, 1, 0, board.smd, 0, false, board.padStacks.GetLayerMask(board.smd, false));
    ASSERT_TRUE(net.AppendPadVertex(4000, 0, board.via, 0, false));
    ASSERT_TRUE(net.AppendPadVertex(4000, 0, missing, 0, false));
    EXPECT_EQ(CNetConnectCheck(board, net, CNetConnectCheck::scannedItems, &table).Check(), 1);
    EXPECT_EQ(net.GetVertexCluster(1), 0);
    CNet apart("N");
    apart.AddPin(0, 0, 0, 0, board.smd, 0, false, board.padStacks.GetLayerMask(board.smd, false));
    apart.AddPin(8000, 0, 1, 0, board.smd, 0, false,
                 board.padStacks.GetLayerMask(board.smd, false));
    ASSERT_TRUE(apart.AppendPadVertex(4000, 0, missing, 0, false));
    EXPECT_EQ(CNetConnectCheck(board, apart, CNetConnectCheck::scannedItems, &table).Check(), 2);
}

TEST(CNetConnectCheckTest, StatusTextsFollowTheClusters)
{
    CTestBoard board;
    CNet net("GND");
    net.AddPin(0, 0, 0, 0, board.smd, 0, false, 1);
    net.AddPin(50000, 0, 1, 0, board.smd, 0, false, 1);
    net.AppendSegment(0, 0, 20000, 0, LAYER_TOP, 1, false);
    net.CalcClusters(board);
    EXPECT_EQ(net.GetShortInfo(), "Net: GND, Pins: 2, ToDo:1");
    EXPECT_EQ(net.GetStatusText(1), "Net: GND 2 Pins, ToDo:1, L:1 W:0.200 mm. ");
    net.SetCurrentVertex(0);
    EXPECT_EQ(net.GetStatusText(1), "Net: GND 2 Pins, ToDo:1, L:1 W:0.200 mm. ");
    net.AppendSegment(20000, 0, 50000, 0, LAYER_TOP, 1, false);
    net.AppendPadVertex(50000, 0, board.via, 0, false);
    net.CalcClusters(board);
    EXPECT_EQ(net.GetStatusText(1), "Net: GND 2 Pins, Ready, Via:" + std::to_string(board.via + 1));
}

} // namespace
