#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "analysis/CDrc.h"
#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "framework/CWorkPool.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CFieldRange.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "tests/analysis/DrcTestBoard.h"
#include "tests/support/CFakeServices.h"

namespace {

std::vector<CNetErrorRec> RunAll(CDrcTestBoard& board)
{
    CDrc(board).TestAll();
    std::vector<CNetErrorRec> records;
    for (int32_t i = 0; i < board.nets.GetErrorCount(); ++i)
        records.push_back(*board.nets.GetError(i));
    return records;
}

std::string Describe(const CNetErrorRec& r)
{
    auto item = [](const CNetErrorRec::Item& i) {
        return i.text + "/" + std::to_string(i.net) + "@" + std::to_string(i.position.x) + "," +
               std::to_string(i.position.y);
    };
    return "L" + std::to_string(r.GetKind()) + " " + item(r.GetFirst()) + " " + item(r.GetSecond());
}

std::vector<std::string> DescribeAll(CDrcTestBoard& board)
{
    std::vector<std::string> texts;
    for (const CNetErrorRec& r : RunAll(board))
        texts.push_back(Describe(r));
    return texts;
}

// ---- The run ------------------------------------------------------------------------------------

TEST(CDrcRunTest, FewerThanTwoNetsOnlyTellsTheUser)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    board.report = {"old line"};
    CDrc(board).TestAll();
    EXPECT_EQ(fakes.messages.ShownTexts(), std::vector<std::string>{"DRC Error! Minimal 2 Nets."});
    EXPECT_EQ(board.report, std::vector<std::string>{"old line"});
    EXPECT_EQ(board.paneShown, 0);
    EXPECT_TRUE(fakes.progress.Windows().empty());
}

TEST(CDrcRunTest, ReplacesRecordsReportsTimeShowsPaneAndProgress)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    board.AddPin(a, 100000, 100000, 3, 0, board.smd);
    // Net 0's copper is checked like any other net's.
    board.AddVia(0, 106000, 100000);
    board.nets.AddError(CNetErrorRec({"Old", 0, {1, 1}}, {"Old", 1, {2, 2}}));
    board.report = {"old line"};

    EXPECT_EQ(DescribeAll(board),
              std::vector<std::string>{"L1 Pad C3(1)/1@100000,100000 Via/0@106000,100000"});
    ASSERT_EQ(board.report.size(), 1u);
    EXPECT_EQ(board.report[0].substr(0, 10), "Elapsed = ");
    EXPECT_EQ(board.report[0].substr(board.report[0].size() - 18), " sec. DRC Test All");
    EXPECT_EQ(board.paneShown, 1);
    ASSERT_EQ(fakes.progress.Windows().size(), 1u);
    const auto& window = fakes.progress.Windows()[0];
    EXPECT_EQ(window.lower, 1);
    EXPECT_EQ(window.upper, 20);
    EXPECT_EQ(window.steps, 1);
    EXPECT_NE(std::find(window.statusTexts.begin(), window.statusTexts.end(),
                        "Test Net:1  " + board.nets.GetNetName(0)),
              window.statusTexts.end());
    EXPECT_FALSE(window.open);
}

TEST(CDrcRunTest, CancelStopsAfterTheNetInHand)
{
    CFakeServices fakes;
    fakes.progress.cancelAfterSteps = 1;
    CDrcTestBoard board;
    // Nets 1 and 2 clash, and 2 and 3: net 1's turn finds the first, then Cancel.
    for (int32_t i = 1; i <= 3; ++i) {
        board.AddNet(1000);
        board.AddVia(i, 100000 + i * 4500, 100000);
    }
    CDrc drc(board);
    drc.TestAll();
    EXPECT_TRUE(drc.WasCancelled());
    EXPECT_EQ(board.nets.GetErrorCount(), 0) << "net 0 has no copper: cancelled after it";
    EXPECT_EQ(board.report.size(), 1u);
}

// ---- What is found ------------------------------------------------------------------------------

TEST(CDrcItemTest, NamesAndPlacesEachKindOfItem)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    const int32_t b = board.AddNet(2000);
    board.AddPin(a, 100000, 100000, 0, 4, board.smd);
    board.AddPin(b, 107500, 100000, 1, 0, board.smd);       // 1500 apart
    board.AddTrack(b, 90000, 103000, 110000, 103000, 2000); // 500 from the pins' edges
    EXPECT_EQ(DescribeAll(board), (std::vector<std::string>{
                                      "L1 Pad C0(5)/1@100000,100000 Pad C1(1)/2@107500,100000",
                                      "L1 Pad C0(5)/1@100000,100000 Track/2@100000,103000",
                                  }));
}

TEST(CDrcItemTest, TracksGiveTheirNearestPoints)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    const int32_t b = board.AddNet(1000);
    board.AddTrack(a, 0, 0, 100000, 0, 2000);
    board.AddTrack(b, 50000, 2500, 80000, 30000, 2000); // its start 2500 above a's middle
    const std::vector<std::string> found = DescribeAll(board);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "L1 Track/1@50000,0 Track/2@50000,2500");
}

TEST(CDrcItemTest, FindsCrossingsAndLargeItemsAcrossCellBorders)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    const int32_t b = board.AddNet(1000);
    // Long tracks that cross far from any of their vertices, in another grid cell.
    board.AddTrack(a, 10000, 10000, 890000, 890000, 2000);
    board.AddTrack(b, 10000, 890000, 890000, 10000, 2000);
    // A pad far larger than a cell, its edge 500 from a via of the other net three cells away.
    board.AddPin(a, 500000, 850000, 0, 0, board.big);
    board.AddVia(b, 500000 + 150000 + 2500, 850000);
    // The crossing is found from both sides; its four ends lie equally far, so each side names
    // the first end of the other track.
    const std::vector<CNetErrorRec> records = RunAll(board);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(Describe(records[0]), "L1 Pad C0(1)/1@500000,850000 Via/2@652500,850000");
    const CPoint otherEnd[] = {{10000, 890000}, {10000, 10000}};
    for (int32_t k = 1; k <= 2; ++k) {
        const CNetErrorRec& r = records[size_t(k)];
        EXPECT_EQ(r.GetFirst().net, k);
        EXPECT_NEAR(r.GetFirst().position.x, 450000, 1);
        EXPECT_NEAR(r.GetFirst().position.y, 450000, 1);
        EXPECT_EQ(r.GetSecond().position, otherEnd[k - 1]);
    }
}

TEST(CDrcItemTest, ShortsAndContainedCopperAreNeverClean)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(0);
    const int32_t b = board.AddNet(0);
    // A via wholly inside a large pad, a track wholly inside it, and two overlapping vias.
    board.AddPin(a, 300000, 300000, 0, 0, board.big);
    board.AddVia(b, 310000, 300000);
    board.AddTrack(b, 290000, 310000, 295000, 310000, 1000);
    board.AddVia(a, 700000, 700000);
    board.AddVia(b, 700000, 700000);
    const std::vector<std::string> found = DescribeAll(board);
    EXPECT_EQ(found.size(), 3u);
}

TEST(CDrcItemTest, OvalAndConnectorPadsKeepTheirOutline)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(500);
    const int32_t b = board.AddNet(500);
    // Past the round end of the oval but inside its rectangle's corner: clear.
    board.AddPin(a, 100000, 100000, 0, 0, board.oval);
    board.AddVia(b, 100000 + 10000 + 1500, 100000 - 2000 - 1500);
    // The same place at the connector's square corner: too close.
    board.AddPin(a, 300000, 100000, 1, 0, board.connector);
    board.AddVia(b, 300000 + 10000 + 1500, 100000 - 2000 - 1500);
    // The oval turned by 90 degrees: its long side now lies along y.
    board.AddPin(a, 500000, 100000, 2, 0, board.oval, 90000);
    board.AddVia(b, 500000 + 2000 + 2300, 100000 + 8000);
    const std::vector<CNetErrorRec> records = RunAll(board);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].GetFirst().text, "Pad C1(1)");
    EXPECT_EQ(records[1].GetFirst().text, "Pad C2(1)");
}

TEST(CDrcItemTest, ChecksOnlyLayersInUseAndThePairsLargerClearance)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(500);
    const int32_t b = board.AddNet(3000);
    board.AddTrack(a, 0, 0, 100000, 0, 2000, LAYER_BOTTOM);
    board.AddTrack(b, 0, 4000, 100000, 4000, 2000, LAYER_BOTTOM); // 2000 apart
    board.AddTrack(a, 0, 50000, 100000, 50000, 2000, 5);
    board.AddTrack(b, 0, 50500, 100000, 50500, 2000, 5); // overlapping on a layer not in use
    const std::vector<CNetErrorRec> records = RunAll(board);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].GetKind(), LAYER_BOTTOM);
    board.enabled[LAYER_BOTTOM] = false;
    EXPECT_TRUE(RunAll(board).empty());
}

TEST(CDrcItemTest, PinsOnTheOtherSideUseTheOppositeLayer)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    const int32_t b = board.AddNet(1000);
    board.AddPin(a, 100000, 100000, 0, 0, board.smd, 0, true);
    board.AddTrack(b, 90000, 102000, 110000, 102000, 1000, LAYER_TOP);  // other side: clear
    board.AddTrack(b, 90000, 98000, 110000, 98000, 1000, LAYER_BOTTOM); // same side: too close
    const std::vector<CNetErrorRec> records = RunAll(board);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].GetKind(), LAYER_BOTTOM);
}

// A pin whose pad stack the table lacks has no copper to test, and leaves the table's mark for
// its "Pad Error in Lib" message as every look-up of such a stack does.
TEST(CDrcItemTest, PinsOfUnknownStacksAreSkippedAndMarked)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    const int32_t a = board.AddNet(1000);
    const int32_t b = board.AddNet(1000);
    board.nets.GetNet(a)->AddPin(100000, 100000, 0, 0, 99, 0, false, LayerBit(LAYER_TOP));
    board.AddPin(b, 101000, 100000, 1, 0, board.smd);
    board.AddVia(a, 140000, 100000);
    board.AddVia(b, 144000, 100000);
    EXPECT_EQ(DescribeAll(board),
              std::vector<std::string>{"L1 Via/1@140000,100000 Via/2@144000,100000"});
    EXPECT_TRUE(board.padStacks.HasPendingError());
}

// ---- Random boards against an independent measure -----------------------------------------------

struct Shape {
    int32_t net = 0;
    uint32_t layers = 0;
    // A rectangle (pin), a circle (via) or a segment with round ends (track).
    enum { Rect, Circle, Segment } kind = Circle;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double radius = 0;
};

double PointSegment(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 == 0 ? 0 : ((px - ax) * dx + (py - ay) * dy) / len2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool SegmentsIntersect(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                       double dy)
{
    auto cross = [](double ox, double oy, double px, double py, double qx, double qy) {
        return (px - ox) * (qy - oy) - (py - oy) * (qx - ox);
    };
    const double d1 = cross(cx, cy, dx, dy, ax, ay), d2 = cross(cx, cy, dx, dy, bx, by);
    const double d3 = cross(ax, ay, bx, by, cx, cy), d4 = cross(ax, ay, bx, by, dx, dy);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0));
}

double SegmentSegment(const double s[4], const double t[4])
{
    if (SegmentsIntersect(s[0], s[1], s[2], s[3], t[0], t[1], t[2], t[3]))
        return 0;
    return std::min({PointSegment(s[0], s[1], t[0], t[1], t[2], t[3]),
                     PointSegment(s[2], s[3], t[0], t[1], t[2], t[3]),
                     PointSegment(t[0], t[1], s[0], s[1], s[2], s[3]),
                     PointSegment(t[2], t[3], s[0], s[1], s[2], s[3])});
}

// The core of a shape (a rectangle, or a segment for circles and tracks) and its radius.
double CoreDistance(const Shape& a, const Shape& b)
{
    auto edges = [](const Shape& r) {
        return std::vector<std::array<double, 4>>{{r.x1, r.y1, r.x2, r.y1},
                                                  {r.x2, r.y1, r.x2, r.y2},
                                                  {r.x2, r.y2, r.x1, r.y2},
                                                  {r.x1, r.y2, r.x1, r.y1}};
    };
    auto inside = [](const Shape& r, double x, double y) {
        return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
    };
    if (a.kind == Shape::Rect && b.kind == Shape::Rect) {
        const double gx = std::max({0.0, a.x1 - b.x2, b.x1 - a.x2});
        const double gy = std::max({0.0, a.y1 - b.y2, b.y1 - a.y2});
        return std::hypot(gx, gy);
    }
    if (b.kind == Shape::Rect)
        return CoreDistance(b, a);
    const double s[4] = {b.x1, b.y1, b.x2, b.y2};
    if (a.kind == Shape::Rect) {
        if (inside(a, b.x1, b.y1) || inside(a, b.x2, b.y2))
            return 0;
        double best = 1e18;
        for (const auto& e : edges(a))
            best = std::min(best, SegmentSegment(e.data(), s));
        return best;
    }
    const double t[4] = {a.x1, a.y1, a.x2, a.y2};
    return SegmentSegment(t, s);
}

double Gap(const Shape& a, const Shape& b)
{
    return CoreDistance(a, b) - a.radius - b.radius;
}

bool Holds(const Shape& s, CPoint p)
{
    switch (s.kind) {
    case Shape::Segment:
        return PointSegment(p.x, p.y, s.x1, s.y1, s.x2, s.y2) <= 1.0;
    case Shape::Circle:
        return p.x == s.x1 && p.y == s.y1;
    default:
        return p.x == (s.x1 + s.x2) / 2 && p.y == (s.y1 + s.y2) / 2;
    }
}

// With `crowdedNet`, net 1 has more items than a net whose items are all scanned for each
// other net.
std::vector<Shape> MakeRandomBoard(CDrcTestBoard& board, std::mt19937& random,
                                   bool crowdedNet = false)
{
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(random);
    };
    std::vector<Shape> shapes;
    const int32_t side = 120000;
    const int32_t netCount = pick(2, 6);
    for (int32_t n = 0; n < netCount; ++n) {
        const int32_t net = n == 0 ? 0 : board.AddNet(pick(500, 4000));
        if (n == 0)
            board.nets.GetNet(0)->SetWidths(1000, 20000, pick(500, 4000));
        const int32_t items = crowdedNet && n == 1 ? pick(70, 110) : pick(1, 8);
        for (int32_t k = 0; k < items; ++k) {
            Shape s;
            s.net = net;
            const int32_t x = pick(10000, side), y = pick(10000, side);
            switch (pick(0, 2)) {
            case 0:
                board.AddPin(net, x, y, n, k, board.smd);
                s.kind = Shape::Rect;
                s.layers = LayerBit(LAYER_TOP);
                s.x1 = x - 3000, s.y1 = y - 1500, s.x2 = x + 3000, s.y2 = y + 1500;
                break;
            case 1:
                board.AddVia(net, x, y);
                s.kind = Shape::Circle;
                s.layers = LayerBit(LAYER_TOP) | LayerBit(LAYER_BOTTOM);
                s.x1 = s.x2 = x, s.y1 = s.y2 = y;
                s.radius = 2000;
                break;
            default: {
                const int32_t layer = pick(LAYER_TOP, LAYER_BOTTOM);
                // Net 0's pen table is full: every net draws with its widths.
                const CNet& zero = *board.nets.GetNet(0);
                const int32_t width = zero.GetPenWidth(pick(1, zero.GetPenCount() - 1));
                const int32_t x2 = pick(10000, side), y2 = pick(10000, side);
                board.AddTrack(net, x, y, x2, y2, width, layer);
                s.kind = Shape::Segment;
                s.layers = LayerBit(layer);
                s.x1 = x, s.y1 = y, s.x2 = x2, s.y2 = y2;
                s.radius = width / 2;
                EXPECT_EQ(board.nets.GetNet(net)->GetVertexWidth(
                              board.nets.GetNet(net)->GetVertexCount() - 1),
                          width);
                break;
            }
            }
            shapes.push_back(s);
        }
    }
    return shapes;
}

void CheckRandomBoards(uint32_t seeds, bool crowdedNet)
{
    CFakeServices fakes;
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        CDrcTestBoard board;
        const std::vector<Shape> shapes = MakeRandomBoard(board, random, crowdedNet);
        const std::vector<CNetErrorRec> records = RunAll(board);
        auto clearance = [&](int32_t a, int32_t b) {
            return std::max(board.nets.GetNet(a)->GetClearance(),
                            board.nets.GetNet(b)->GetClearance());
        };

        for (size_t i = 0; i < shapes.size(); ++i) {
            for (size_t k = i + 1; k < shapes.size(); ++k) {
                const Shape& a = shapes[i];
                const Shape& b = shapes[k];
                const uint32_t common = a.layers & b.layers;
                if (a.net == b.net || common == 0 || Gap(a, b) >= clearance(a.net, b.net))
                    continue;
                const bool found = std::any_of(records.begin(), records.end(), [&](const auto& r) {
                    const bool forward = r.GetFirst().net == a.net && r.GetSecond().net == b.net &&
                                         Holds(a, r.GetFirst().position) &&
                                         Holds(b, r.GetSecond().position);
                    const bool backward = r.GetFirst().net == b.net && r.GetSecond().net == a.net &&
                                          Holds(b, r.GetFirst().position) &&
                                          Holds(a, r.GetSecond().position);
                    return (LayerBit(r.GetKind()) & common) != 0 && (forward || backward);
                });
                EXPECT_TRUE(found) << "shapes " << i << " and " << k << " gap " << Gap(a, b);
            }
        }
        for (const CNetErrorRec& r : records) {
            const bool near = std::any_of(shapes.begin(), shapes.end(), [&](const Shape& a) {
                return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& b) {
                    return a.net == r.GetFirst().net && b.net == r.GetSecond().net &&
                           (a.layers & b.layers & LayerBit(r.GetKind())) != 0 &&
                           Holds(a, r.GetFirst().position) && Holds(b, r.GetSecond().position) &&
                           Gap(a, b) <= clearance(a.net, b.net) + 2;
                });
            });
            EXPECT_TRUE(near) << Describe(r);
        }
    }
}

TEST(CDrcRandomBoardTest, FindsEveryPairCloserThanTheClearanceAndNothingFarther)
{
    CheckRandomBoards(60, false);
}

// A net of many items is asked of its grid for the items near another net, not scanned.
TEST(CDrcRandomBoardTest, NetsOfManyItemsMissNothingAndReportNothingFarther)
{
    CheckRandomBoards(20, true);
}

} // namespace

// ---- A large generated board ------------------------------------------------------------------

// Hundreds of nets in overlapping clusters, some crowded, net 0 spread over the whole board and
// a few long tracks across it; about a third lies beyond the board's declared size.
void MakeLargeBoard(CDrcTestBoard& board)
{
    std::mt19937 random(41);
    auto pick = [&](int32_t lo, int32_t hi) {
        return lo + int32_t(random() % uint32_t(hi - lo + 1));
    };
    const int32_t widths[] = {1000, 2500, 4000};
    auto addItem = [&](int32_t net, int32_t cx, int32_t cy, int32_t spread, int32_t k) {
        const int32_t x = cx + pick(-spread, spread), y = cy + pick(-spread, spread);
        switch (pick(0, 9)) {
        case 0:
        case 1:
        case 2:
            board.AddPin(net, x, y, net, k, board.smd, pick(0, 3) * 90000, pick(0, 4) == 0);
            break;
        case 3:
            board.AddPin(net, x, y, net, k, pick(0, 1) ? board.oval : board.connector,
                         pick(0, 7) * 45000);
            break;
        case 4:
        case 5:
            board.AddVia(net, x, y);
            break;
        default:
            board.AddTrack(net, x, y, x + pick(-30000, 30000), y + pick(-30000, 30000),
                           widths[pick(0, 2)], pick(LAYER_TOP, LAYER_BOTTOM));
            break;
        }
    };
    board.nets.GetNet(0)->SetWidths(1000, 20000, 800);
    for (int32_t k = 0; k < 300; ++k)
        addItem(0, 300000, 300000, 700000, k);
    for (int32_t n = 1; n < 600; ++n) {
        const int32_t net = board.AddNet(pick(500, 4000));
        const int32_t cx = pick(-350000, 950000), cy = pick(-350000, 950000);
        const bool crowded = n % 25 == 0;
        const int32_t items = crowded ? pick(70, 110) : pick(1, 8);
        for (int32_t k = 0; k < items; ++k)
            addItem(net, cx, cy, crowded ? 70000 : 25000, k);
        if (n % 50 == 0)
            board.AddTrack(net, -300000, cy, 900000, cy + pick(-90000, 90000), 1000,
                           pick(LAYER_TOP, LAYER_BOTTOM));
    }
    board.AddPin(7, 500000, 500000, 7, 99, board.big);
}

uint64_t Checksum(const std::vector<std::string>& texts)
{
    uint64_t hash = 14695981039346656037ull;
    for (const std::string& text : texts) {
        for (char c : text + "\n")
            hash = (hash ^ uint8_t(c)) * 1099511628211ull;
    }
    return hash;
}

// The generated board's records, written down once: however candidates are searched for, the
// check must list exactly these, in this order.
TEST(CDrcLargeBoardTest, ListsTheKnownRecordsInTheKnownOrder)
{
    CFakeServices fakes;
    CDrcTestBoard board;
    MakeLargeBoard(board);
    const std::vector<std::string> texts = DescribeAll(board);
    ASSERT_EQ(texts.size(), 3116u);
    EXPECT_EQ(texts[0], "L1 Pad C0(73)/0@-96760,-305915 Pad C4(1)/4@-101016,-301178");
    EXPECT_EQ(texts[1246], "L2 Track/128@672538,750184 Track/325@669059,746923");
    EXPECT_EQ(Checksum(texts), 6656226128554905991ull);
}

// Pairs of nets are tested side by side in batches; a Cancel anywhere in a batch must leave the
// records one thread lists up to that net, and a full run the same records in the same order.
TEST(CDrcLargeBoardTest, RecordsDoNotDependOnTheThreadCount)
{
    const int saved = CWorkPool::ThreadCount();
    for (int32_t cancelAfter : {-1, 3, 140, 530}) {
        SCOPED_TRACE("Cancel after " + std::to_string(cancelAfter) + " nets");
        std::vector<std::string> byThreads[2];
        for (int threads : {1, 5}) {
            CWorkPool::SetThreadCount(threads);
            CFakeServices fakes;
            fakes.progress.cancelAfterSteps = cancelAfter;
            CDrcTestBoard board;
            MakeLargeBoard(board);
            byThreads[threads == 1 ? 0 : 1] = DescribeAll(board);
        }
        EXPECT_FALSE(byThreads[0].empty());
        EXPECT_EQ(byThreads[0], byThreads[1]);
    }
    CWorkPool::SetThreadCount(saved);
}

// ---- Batches and the error limit --------------------------------------------------------------

namespace {

std::vector<std::string> ErrorTexts(const CNetArray& nets)
{
    std::vector<std::string> texts;
    for (int32_t i = 0; i < nets.GetErrorCount(); ++i)
        texts.push_back(Describe(*nets.GetError(i)));
    return texts;
}

// The box of each net's pins and track points, grown by as much as any pad, pen or clearance
// reaches: two nets whose boxes do not meet cannot clash.
std::vector<CRect> ReachOfNets(CDrcDocument& document)
{
    int32_t pads = 0;
    for (int32_t s = 0; s < document.GetPadStacks().GetCount(); ++s)
        pads = std::max(pads, CNet::PadStackReach(document.GetPadStacks(), s));
    std::vector<CRect> boxes;
    for (int32_t i = 0; i < document.GetNets().GetCount(); ++i) {
        const CNet& net = *document.GetNets().GetNet(i);
        const int32_t r = std::max(pads, CNet::maxPenWidth / 2) + net.GetClearance() + 1;
        CRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        const auto add = [&](CPoint p) {
            box = CRect(std::min(box.left, p.x - r), std::min(box.top, p.y - r),
                        std::max(box.right, p.x + r), std::max(box.bottom, p.y + r));
        };
        for (int32_t k = 0; k < net.GetPinCount(); ++k)
            add(CPoint(net.GetPin(k).x, net.GetPin(k).y));
        for (int32_t k = 0; k < net.GetVertexCount(); ++k)
            add(net.GetVertexPoint(k));
        boxes.push_back(box);
    }
    return boxes;
}

// The plain loop over every pair of nets, one pair at a time, cut where a run stops, but for
// pairs whose nets lie apart; leaves the error list empty.
std::vector<std::string> PairByPair(CDrcDocument& document)
{
    CNetArray& nets = document.GetNets();
    nets.ClearErrors();
    const std::vector<CRect> boxes = ReachOfNets(document);
    const auto apart = [&](int32_t i, int32_t j) {
        const CRect& a = boxes[size_t(i)];
        const CRect& b = boxes[size_t(j)];
        return a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top;
    };
    {
        CDrc drc(document);
        for (int32_t i = 0; i < nets.GetCount() && nets.GetErrorCount() < CDrc::maxErrors; ++i) {
            for (int32_t j = i + 1; j < nets.GetCount() && nets.GetErrorCount() < CDrc::maxErrors;
                 ++j) {
                if (apart(i, j))
                    continue;
                drc.TestNetPair(i, j);
                drc.TestNetPair(j, i);
            }
        }
    }
    std::vector<std::string> texts = ErrorTexts(nets);
    texts.resize(std::min(texts.size(), size_t(CDrc::maxErrors)));
    nets.ClearErrors();
    return texts;
}

// Net b's via under vias of net a, 5,000 to a row, and a track of net a across it: each via
// clash is found on both layers, and only b's side finds the track against the via.
void AddViasOverAVia(CDrcTestBoard& board, int32_t vias)
{
    const int32_t a = board.AddNet(500);
    const int32_t b = board.AddNet(500);
    board.AddVia(b, 500000, 500001);
    for (int32_t k = 0; k < vias; ++k)
        board.AddVia(a, 497500 + k % 5000, 500000 - k / 5000);
    board.AddTrack(a, 500000, 400000, 500000, 600000, 2000);
}

} // namespace

// The pairs of nets are found on the threads batch by batch, and the threads leave the pairs
// of a batch once it holds enough errors or compared enough items: DRC Test All lists what the
// plain loop over the pairs lists, to the end or up to the error limit, and says it stopped
// exactly when the limit cut the list. Boards whose nets reach across the board (pins joined
// anywhere, long diagonal tracks, a ground net stitched all over) meet far more copper than
// boards of neighbouring pins, and are still checked to their end.
TEST(CDrcBatchTest, ListsWhatThePlainLoopListsUpToTheLimit)
{
    struct Case {
        const char* name;
        int32_t vias; // AddViasOverAVia, or a generated board of the plan
        BoardPlan plan;
        int32_t clearance; // of every net of the generated board; 0 leaves the nets' own
        size_t atLeast;    // records the plain loop lists
    };
    const Case cases[] = {
        {"5,000 vias over one", 5000, {}, 0, 5001},
        {"12,000 vias over one", 12000, {}, 0, size_t(CDrc::maxErrors)},
        {"2,000 parts, clearance 15000", 0, {2000, 20000, 1}, 15000, 8000},
        {"2,000 parts, clearance 60000", 0, {2000, 20000, 1}, 60000, size_t(CDrc::maxErrors)},
        {"2,000 parts, pins anywhere in every other net", 0, {2000, 20000, 1, 2}, 0, 1000},
        {"2,000 parts, 100 diagonals, 2,500 vias", 0, {2000, 20000, 1, 0, 100, 2500}, 0, 3000},
        {"8,000 parts, pins anywhere in one net of 30", 0, {8000, 80000, 1, 30}, 0, 700},
    };
    const int saved = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeServices fakes;
        CDrcTestBoard board;
        CWevraDoc doc;
        CDrcDocument* document = &board;
        if (c.vias > 0) {
            AddViasOverAVia(board, c.vias);
        } else {
            GenerateBoard(doc, c.plan);
            document = &doc.Analysis();
            CNetArray& nets = doc.Design().GetNets();
            ASSERT_GT(nets.GetCount(), 3 * 512) << "several batches";
            for (int32_t i = 0; c.clearance > 0 && i < nets.GetCount(); ++i)
                nets.GetNet(i)->SetWidths(nets.GetNet(i)->GetMinWidth(),
                                          nets.GetNet(i)->GetMaxWidth(), c.clearance);
        }
        const std::vector<std::string> expected = PairByPair(*document);
        ASSERT_GE(expected.size(), c.atLeast);
        const auto padNets = [&] {
            std::vector<uint16_t> all;
            const CComponentArray& components = doc.Design().GetComponents();
            for (int32_t i = 0; i < components.GetCount(); ++i)
                all.insert(all.end(), components.GetComponent(i)->GetPadNets().begin(),
                           components.GetComponent(i)->GetPadNets().end());
            return all;
        };
        const bool modified = doc.IsModified();
        const std::vector<uint16_t> padNetsBefore = padNets();

        CDrc drc(*document);
        drc.TestAll();
        const std::vector<std::string> listed = ErrorTexts(document->GetNets());
        EXPECT_EQ(listed.size(), expected.size());
        const auto differ =
            std::mismatch(listed.begin(), listed.end(), expected.begin(), expected.end());
        if (differ.first != listed.end() && differ.second != expected.end())
            ADD_FAILURE() << "record " << differ.first - listed.begin() << ": " << *differ.first
                          << " instead of " << *differ.second;
        const bool full = expected.size() == size_t(CDrc::maxErrors);
        EXPECT_EQ(drc.WasStopped(), full);
        EXPECT_FALSE(drc.WasCrowded());
        EXPECT_EQ(fakes.messages.ShownTexts().size(), full ? 1u : 0u);
        EXPECT_FALSE(drc.WasCancelled());
        EXPECT_EQ(doc.IsModified(), modified);
        EXPECT_EQ(padNets(), padNetsBefore);
    }
    CWorkPool::SetThreadCount(saved);
}

// ---- Copper across the whole coordinate range ------------------------------------------------

namespace {

// The generated board with its track points at the two ends of a range in turn: every track runs
// from one corner of it to the other, across every net.
void SpreadTracksAcross(CWevraDoc& doc, int32_t lowest, int32_t highest)
{
    CNetArray& nets = doc.Design().GetNets();
    bool low = true;
    for (int32_t i = 0; i < nets.GetCount(); ++i) {
        CNet& net = *nets.GetNet(i);
        for (int32_t k = 0; k < net.GetVertexCount(); ++k) {
            if (net.GetVertex(k).IsPad())
                continue;
            const int32_t at = low ? lowest : highest;
            net.SetVertexPoint(k, at, at);
            low = !low;
        }
    }
}

} // namespace

// Every track of the generated board runs across every net. Across the whole int32 range, as
// only a damaged file has it, DRC Test All stops after work in proportion to the board's items
// and says so, naming a net, at the same net on any number of threads. Across the range a board
// uses, it lists what the plain loop lists, however long that takes. Either way it looks at
// Cancel every few million items compared, answers it, and leaves the tracks as they are.
TEST(CDrcAcrossTheRangeTest, StopsAfterBoundedWorkAndAnswersCancel)
{
    CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    struct Case {
        const char* name;
        int32_t components;
        int32_t reach;
        bool crowded; // else checked to its end
    };
    const Case cases[] = {
        {"int32 range", 2000, std::numeric_limits<int32_t>::max(), true},
        {"a board's range", 150, int32_t(FieldRanges::coordinate), false},
    };
    // A batch's share, the threads' and the listing's steps between their looks, with room.
    constexpr uint64_t mostBetweenLooks = uint64_t(1) << 24;
    const int saved = CWorkPool::ThreadCount();
    for (const Case& c : cases) {
        std::vector<std::string> shown[2];
        for (int32_t cancelAfter : {-1, 0}) {
            for (int threads : {1, 4}) {
                SCOPED_TRACE(std::string(c.name) + ", cancel after " + std::to_string(cancelAfter) +
                             " nets, " + std::to_string(threads) + " threads");
                CWorkPool::SetThreadCount(threads);
                CFakeServices fakes;
                fakes.progress.cancelAfterSteps = cancelAfter;
                CWevraDoc doc;
                const BoardCounts counts =
                    GenerateBoard(doc, BoardPlan{c.components, c.components * 10, 1});
                SpreadTracksAcross(doc, -c.reach, c.reach);
                const CNet& net = *doc.Design().GetNets().GetNet(1);
                const CPoint second = net.GetVertexPoint(1);
                const bool modified = doc.IsModified();
                const uint64_t items = uint64_t(counts.pins + counts.trackVertices);
                const std::vector<std::string> expected = c.crowded || cancelAfter >= 0
                                                              ? std::vector<std::string>()
                                                              : PairByPair(doc.Analysis());

                CDrc drc(doc.Analysis());
                drc.TestAll();
                EXPECT_LE(drc.MostWorkBetweenLooks(), mostBetweenLooks);
                EXPECT_EQ(net.GetVertexPoint(1), second);
                EXPECT_EQ(doc.IsModified(), modified);
                if (cancelAfter >= 0) {
                    EXPECT_TRUE(drc.WasCancelled());
                    EXPECT_FALSE(drc.WasCrowded());
                    EXPECT_LE(drc.WorkDone(), mostBetweenLooks);
                    continue;
                }
                EXPECT_FALSE(drc.WasCancelled());
                EXPECT_EQ(drc.WasCrowded(), c.crowded);
                shown[threads == 1 ? 0 : 1] = fakes.messages.ShownTexts();
                if (!c.crowded) {
                    EXPECT_EQ(ErrorTexts(doc.Design().GetNets()), expected);
                    continue;
                }
                EXPECT_FALSE(drc.WasStopped());
                // The items compared, tested, and those the threads did ahead of the listing.
                EXPECT_LE(drc.WorkDone(), 256 * items + 4 * mostBetweenLooks);
                ASSERT_EQ(doc.Analysis().GetReportLines().size(), 2u);
                EXPECT_EQ(doc.Analysis().GetReportLines()[0].rfind(
                              "DRC Test All stopped: the copper of net ", 0),
                          0u);
            }
        }
        EXPECT_EQ(shown[0].size(), c.crowded ? 1u : 0u);
        EXPECT_EQ(shown[0], shown[1]);
    }
    CWorkPool::SetThreadCount(saved);
    CResourcePack::SetCurrent(CResourcePack());
}
