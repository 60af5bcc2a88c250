#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/CNet.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "tests/model/NetTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

struct EditCase {
    const char* name;
    const char* before;
    std::function<void(CNet&)> edit;
    const char* after;
};

void RunEditCases(const std::vector<EditCase>& cases)
{
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        CNet net = MakeNet(c.before);
        c.edit(net);
        EXPECT_EQ(Describe(net), c.after);
        const std::string after = c.after;
        EXPECT_EQ(net.GetSelectedCount(), int32_t(std::count(after.begin(), after.end(), '*')));
        EXPECT_LT(net.GetCurrentVertex(), std::max(net.GetVertexCount(), 1));
    }
}

TEST(CNetDeleteTest, KeepsRunsWellFormed)
{
    auto deleteSelected = [](CNet& net) { net.DeleteSelected(); };
    auto deleteSegment = [](int32_t i) { return [i](CNet& net) { net.DeleteSegment(i); }; };
    RunEditCases({
        {"middle of three", "0,0/0 100,0/1* 200,0/1", deleteSelected, "0,0/0 200,0/1"},
        {"start of four", "0,0/0* 100,0/1 200,0/2 300,0/1", deleteSelected,
         "100,0/0 200,0/2 300,0/1"},
        {"pad", "0,0/P0* 10,0/0 20,0/1", deleteSelected, "10,0/0 20,0/1"},
        {"lone run start", "0,0/0* 10,0/0 20,0/1", deleteSelected, "10,0/0 20,0/1"},
        // Both partners selected: the second takes the first with it, the scan goes on below.
        {"both of two", "0,0/0* 10,0/1*", deleteSelected, ""},
        {"runs of two and three", "0,0/0 100,0/1 200,0/0* 300,0/1* 400,0/0 500,0/1 600,0/1*",
         deleteSelected, "0,0/0 100,0/1 400,0/0 500,0/1"},
        {"end of two takes its start", "0,0/0 5,0/1 10,0/0 20,0/1*", deleteSelected, "0,0/0 5,0/1"},
        {"segment of two", "0,0/0 10,0/1", deleteSegment(1), ""},
        {"first segment", "0,0/0 10,0/1 20,0/2", deleteSegment(1), "10,0/0 20,0/2"},
        {"last segment", "0,0/0 10,0/1 20,0/2", deleteSegment(2), "0,0/0 10,0/1"},
        {"middle segment splits", "0,0/0 10,0/1 20,0/1 30,0/1", deleteSegment(2),
         "0,0/0 10,0/1 20,0/0 30,0/1"},
        {"run start has no segment", "0,0/0 10,0/1", deleteSegment(0), "0,0/0 10,0/1"},
        {"index outside", "0,0/0 10,0/1", deleteSegment(7), "0,0/0 10,0/1"},
    });
}

TEST(CNetRunTest, SimplifiesInvertsAndChangesRuns)
{
    auto simplify = [](int32_t i) { return [i](CNet& net) { net.SimplifyRun(i); }; };
    RunEditCases({
        {"straight run", "0,0/0 10,0/1 20,0/1 30,0/1 40,0/1", simplify(2), "0,0/0 40,0/1"},
        {"keeps the width change", "0,0/0 10,0/1 20,0/1 30,0/2 40,0/2", simplify(0),
         "0,0/0 20,0/1 40,0/2"},
        {"repeated points and a corner", "0,0/0 0,0/1 10,0/1 10,0/1 10,10/1", simplify(4),
         "0,0/0 10,0/1 10,10/1"},
        {"reduced to a point", "7,7/P0 5,5/0 5,5/1", simplify(2), "7,7/P0"},
        {"pad stays", "7,7/P0", simplify(0), "7,7/P0"},
        {"invert", "0,0/0 10,0/1 10,10/2 90,90/P0",
         [](CNet& net) {
             net.SetCurrentVertex(1);
             EXPECT_TRUE(net.InvertRunDirection());
             EXPECT_EQ(net.GetCurrentVertex(), 1);
             EXPECT_TRUE(net.IsInverted());
         },
         "10,10/0 10,0/2 0,0/1 90,90/P0"},
        {"invert twice", "0,0/0 10,0/1* 10,10/2",
         [](CNet& net) {
             net.InvertRunDirection();
             net.InvertRunDirection();
             EXPECT_FALSE(net.IsInverted());
         },
         "0,0/0 10,0/1* 10,10/2"},
        {"layer and width", "0,0/0 10,0/1 20,0/1 30,0/0 40,0/1",
         [](CNet& net) {
             net.SetCurrentVertex(1);
             EXPECT_TRUE(net.SetRunLayer(LAYER_BOTTOM));
             EXPECT_FALSE(net.SetRunLayer(LAYER_COUNT));
             EXPECT_TRUE(net.ChangeRunWidth(3023));
             EXPECT_FALSE(net.ChangeRunWidth(net.GetMaxWidth() + 1));
             EXPECT_FALSE(net.SetRunPen(0));
             EXPECT_EQ(net.SelectRun(true), 3);
         },
         "0,0/0@2* 10,0/2@2* 20,0/2@2* 30,0/0 40,0/1"},
        {"delete current run", "0,0/0 10,0/1 20,0/0 30,0/1",
         [](CNet& net) {
             net.SetCurrentVertex(3);
             net.DeleteCurrentRun();
         },
         "0,0/0 10,0/1"},
    });
    // Stepping follows the run's drawing direction.
    CNet net = MakeNet("0,0/0 10,0/1 20,0/1");
    net.SetCurrentVertex(1);
    net.SetInverted(true);
    EXPECT_TRUE(net.StepCurrentVertex(true));
    EXPECT_EQ(net.GetCurrentVertex(), 0);
    EXPECT_FALSE(net.StepCurrentVertex(true));
}

// A hand-built net: a run on the top layer (0,0)-(40000,0)-(40000,40000), one on the bottom
// layer, a via, a free pad on the top layer and a pin of that pad's padstack.
CNet HitNet(const CNetTestDocument& document)
{
    CNet net =
        MakeNet("0,0/0 40000,0/1 40000,40000/1 0,60000/0@2 40000,60000/1@2 60000,0/P0 80000,0/P1");
    net.AddPin(100000, 0, 0, 0, CNetTestDocument::topPad, 0, false, 1);
    net.CalcBoundingBox(document);
    net.SetCurrentVertex(6);
    return net;
}

TEST(CNetHitTest, ModeBitsActOnTheItemFound)
{
    using HitFn = int32_t (*)(CNet&, const CNetTestDocument&, CPoint&, int32_t, uint32_t);
    const HitFn segment = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestSegment(d, p, m, k);
    };
    const HitFn vertex = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestVertex(d, p, m, k);
    };
    const HitFn pad = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestPad(d, p, m, k);
    };
    const HitFn via = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestVia(d, p, m, k);
    };
    const HitFn pin = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestPin(d, p, m, k);
    };
    const HitFn run = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return n.HitTestRun(d, p, m, k);
    };
    const HitFn whole = [](CNet& n, const CNetTestDocument& d, CPoint& p, int32_t m, uint32_t k) {
        return int32_t(n.HitTestNet(d, p, m, k));
    };
    const uint32_t top = LayerBit(LAYER_TOP);
    const uint32_t bottom = LayerBit(LAYER_BOTTOM);

    struct Case {
        const char* name;
        HitFn test;
        CPoint point;
        int32_t mode;
        uint32_t mask;
        int32_t result;
        CPoint moved;
        const char* selected;
        int32_t current;
        const char* preselected = "";
    };
    const Case cases[] = {
        {"segment, nearer its start", segment, {2000, 500}, 0, top, 0, {2000, 0}, "", 6},
        {"select the nearer end", segment, {30000, 500}, 4, top, 1, {30000, 0}, "1", 6},
        {"toggle the segment's end", segment, {2000, 500}, 16, top, 0, {2000, 0}, "1", 6},
        {"make the end current", segment, {2000, 500}, 64, top, 0, {2000, 0}, "", 0},
        {"select wins over toggle", segment, {30000, 500}, 4 | 16, top, 1, {30000, 0}, "1", 6, "1"},
        {"net current is the list's", segment, {2000, 500}, 32, top, 0, {2000, 0}, "", 6},
        {"other layer", segment, {2000, 500}, 4, bottom, -1, {2000, 500}, "", 6},
        {"beyond the half width", segment, {2000, 1100}, 4, top, -1, {2000, 1100}, "", 6},
        {"outside the box", segment, {-900000, 0}, 4, top, -1, {-900000, 0}, "", 6},
        {"report", vertex, {2000, 500}, 1 | 4 | 64, top, 1, {40000, 0}, "", 6},
        {"vertex select", vertex, {2000, 500}, 4, top, 0, {0, 0}, "0", 6},
        {"insert", vertex, {20000, 300}, 128 | 64 | 4, top, 1, {20000, 0}, "1", 1},
        {"no insert near an end", vertex, {5000, 300}, 128 | 64, top, 0, {0, 0}, "", 0},
        {"pad", pad, {80500, 500}, 4 | 64, top, 6, {80000, 0}, "6", 6},
        {"pad on the other layer", pad, {80500, 500}, 4, bottom, -1, {80500, 500}, "", 6},
        {"a via is no pad", pad, {60000, 1000}, 4, top, -1, {60000, 1000}, "", 6},
        {"via on the bottom", via, {60000, 1000}, 16, bottom, 5, {60000, 0}, "5", 6},
        {"pin selects nothing", pin, {100500, 0}, 4 | 64, top, 0, {100000, 0}, "", 6},
        {"run toggled", run, {40000, 20000}, 16, top, 0, {0, 0}, "1,2", 2, "0"},
        {"run start current", run, {40000, 20000}, 4 | 64, top, 0, {0, 0}, "0,1,2", 0},
        {"whole net", whole, {60000, 0}, 4, top, 1, {60000, 0}, "0,1,2,3,4,5,6", 6},
        {"whole net toggled off", whole, {100000, 0}, 16, top, 1, {100000, 0}, "", 6, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNetTestDocument document;
        CNet net = HitNet(document);
        for (char ch : std::string(c.preselected))
            net.SelectVertex(ch - '0', true);
        CPoint point = c.point;
        EXPECT_EQ(c.test(net, document, point, c.mode, c.mask), c.result);
        EXPECT_EQ(point, c.moved);
        EXPECT_EQ(SelectedIndexes(net), c.selected);
        EXPECT_EQ(net.GetCurrentVertex(), c.current);
    }

    // The insertion added the vertex at the hit point, on the segment's layer and pen.
    CNetTestDocument document;
    CNet net = HitNet(document);
    CPoint point(20000, 300);
    net.HitTestVertex(document, point, CNet::hitInsert, top);
    EXPECT_EQ(Describe(net).substr(0, 32), "0,0/0 20000,0/1 40000,0/1 40000,");
    document.mode45 = true;
    point = CPoint(40000, 20000);
    net.HitTestVertex(document, point, CNet::hitInsert, top);
    EXPECT_EQ(net.GetVertexCount(), 10);
}

TEST(CNetHitTest, UnknownPadstackTouchesNothingAndIsNoted)
{
    CNetTestDocument document;
    CNet net = MakeNet("0,0/P9");
    CPoint point(0, 0);
    EXPECT_EQ(net.HitTestPad(document, point, 4, LAYER_MASK_ALL), -1);
    EXPECT_TRUE(document.padStacks.HasPendingError());
}

TEST(CNetSelectTest, RectanglesCopiesAndDuplicates)
{
    const char* net = "0,0/0 10000,0/1 20000,0/1 0,50000/0 10000,50000/1 5000,5000/P0";
    struct Case {
        const char* name;
        std::function<bool(CNet&, const CNetTestDocument&)> select;
        bool matched;
        const char* after;
    };
    const uint32_t top = LayerBit(LAYER_TOP);
    const Case cases[] = {
        {"runs",
         [&](CNet& n, auto&) {
             return n.SelectRunsInRect({11000, 1000, 9000, -1000}, 4, top);
         },
         true, "0,0/0* 10000,0/1* 20000,0/1* 0,50000/0 10000,50000/1 5000,5000/P0"},
        {"runs on another layer",
         [&](CNet& n, auto&) {
             return n.SelectRunsInRect({9000, -1000, 11000, 1000}, 4, 2);
         },
         false, "0,0/0 10000,0/1 20000,0/1 0,50000/0 10000,50000/1 5000,5000/P0"},
        {"track vertices",
         [&](CNet& n, auto&) {
             return n.SelectTrackVerticesInRect({-1, -1, 10001, 50001}, 16, top);
         },
         true, "0,0/0* 10000,0/1* 20000,0/1 0,50000/0* 10000,50000/1* 5000,5000/P0"},
        {"vias",
         [&](CNet& n, auto& d) {
             return n.SelectViasInRect(d, {0, 0, 6000, 6000}, 4);
         },
         true, "0,0/0 10000,0/1 20000,0/1 0,50000/0 10000,50000/1 5000,5000/P0*"},
        {"a via is no free pad",
         [&](CNet& n, auto& d) {
             return n.SelectPadsInRect(d, {0, 0, 6000, 6000}, 4);
         },
         false, "0,0/0 10000,0/1 20000,0/1 0,50000/0 10000,50000/1 5000,5000/P0"},
        {"whole net by a vertex",
         [&](CNet& n, auto& d) {
             return n.SelectIfPinsInRect(d, {19000, -5, 21000, 5}, 4, top);
         },
         true, "0,0/0* 10000,0/1* 20000,0/1* 0,50000/0* 10000,50000/1* 5000,5000/P0*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNetTestDocument document;
        CNet n = MakeNet(net);
        n.CalcBoundingBox(document);
        EXPECT_EQ(c.select(n, document), c.matched);
        EXPECT_EQ(Describe(n), c.after);
    }

    // Copies land behind the vertices there before, and only those are copied.
    RunEditCases({
        {"run into itself", "0,0/0* 10,0/1* 20,0/1* 5,5/P0", [](CNet& n) { n.CopySelectedInto(n); },
         "0,0/0 10,0/1 20,0/1 5,5/P0 0,0/0* 10,0/1* 20,0/1*"},
        {"a run's end segment", "0,0/0 10,0/1 20,0/1*", [](CNet& n) { n.CopySelectedInto(n); },
         "0,0/0 10,0/1 20,0/1 10,0/0* 20,0/1*"},
        {"a run start takes its segment", "0,0/0* 10,0/1 20,0/1",
         [](CNet& n) { n.CopySelectedInto(n); }, "0,0/0 10,0/1 20,0/1 0,0/0* 10,0/1*"},
        {"a pad", "0,0/0 10,0/1 5,5/P0*", [](CNet& n) { n.CopySelectedInto(n); },
         "0,0/0 10,0/1 5,5/P0 5,5/P0*"},
        // The copies take the target's pen of their width.
        {"into another net", "0,0/0 10,0/2* 20,0/2",
         [](CNet& n) {
             CNet other("O", 3023, 3023, 0);
             n.CopySelectedInto(other);
             EXPECT_EQ(Describe(other), "0,0/0* 10,0/1* 20,0/1*");
         },
         "0,0/0 10,0/2 20,0/2"},
        {"duplicate", "0,0/0 10,0/1* 5,5/P0*", [](CNet& n) { n.DuplicateSelectedVertices(); },
         "0,0/0 10,0/1 5,5/P0 10,0/1* 5,5/P0*"},
        {"swap with the second pad", "1,1/P0 0,0/0 10,0/1 2,2/P1",
         [](CNet& n) {
             EXPECT_TRUE(n.SwapWithPadVertex(0, 2));
             EXPECT_FALSE(n.SwapWithPadVertex(0, 3));
             EXPECT_TRUE(n.FindPadVertex({1, 1}, 0, false));
         },
         "2,2/P1 0,0/0 10,0/1 1,1/P0"},
    });
}

TEST(CNetShapeTest, CirclesEllipsesAndRectangles)
{
    struct Case {
        const char* name;
        bool ellipse;
        CRect box;
        bool added;
        const char* after;
    };
    const Case cases[] = {
        {"rectangle",
         false,
         {0, 0, 1000, 500},
         true,
         "0,0/0* 1000,0/1* 1000,500/1* 0,500/1* 0,0/1*"},
        // Half-axes of 500: a step of 90 degrees.
        {"circle",
         true,
         {0, 0, 1000, 1000},
         true,
         "500,1000/0* 500,1000/1* 1000,500/1* 500,0/1* 0,500/1* 500,1000/1*"},
        // 1000 by 500: 45 degrees; sin 45 * 1000 = 707.1, cos 45 * 500 = 353.6, truncated.
        {"ellipse",
         true,
         {0, 0, 2000, 1000},
         true,
         "1000,1000/0* 1000,1000/1* 1707,853/1* 2000,500/1* 1707,147/1* 1000,0/1* 293,147/1* "
         "0,500/1* 293,853/1* 1000,1000/1*"},
        {"half-axis of 15", true, {0, 0, 30, 1000}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNet net;
        const auto& b = c.box;
        EXPECT_EQ(c.ellipse ? net.AddEllipseTrack(b.left, b.top, b.right, b.bottom, LAYER_TOP)
                            : net.AddRectangleTrack(b.left, b.top, b.right, b.bottom, LAYER_TOP),
                  c.added);
        EXPECT_EQ(Describe(net), c.after);
        EXPECT_EQ(net.GetCurrentVertex(), std::max(net.GetVertexCount() - 1, 0));
    }

    // Half-axes 10000 and 5000: steps of 4 degrees, 91 drawn vertices after the run start.
    CNet net;
    EXPECT_TRUE(net.AddEllipseTrack(0, 0, 20000, 10000, LAYER_TOP));
    EXPECT_EQ(net.GetVertexCount(), 92);
    EXPECT_EQ(net.GetSelectedCount(), 92);
    EXPECT_EQ(net.GetVertexPoint(23), CPoint(19993, 5174)); // 88 degrees
    // A net without a drawing pen or an unusable layer gets nothing.
    EXPECT_FALSE(net.AddRectangleTrack(0, 0, 10, 10, LAYER_COUNT));
    net.SetCurrentPen(0);
    EXPECT_FALSE(net.AddRectangleTrack(0, 0, 10, 10, LAYER_TOP));
    EXPECT_EQ(net.GetVertexCount(), 92);
}

TEST(CNetTrackEditTest, DrawsToAPinAndEndsThere)
{
    CNetTestDocument document;
    CNet net;
    net.AddPin(40000, 0, 0, 0, CNetTestDocument::topPad, 0, false, 1);
    net.CalcBoundingBox(document);

    ASSERT_TRUE(net.StartTrack(0, 0, LAYER_TOP, false));
    EXPECT_EQ(Describe(net), "0,0/0 0,0/1*");
    document.cursor = {20000, 0};
    EXPECT_TRUE(net.MoveCurrentVertex(document));
    EXPECT_TRUE(net.EditTrackInsert(document));
    EXPECT_EQ(Describe(net), "0,0/0 20000,0/1 20000,0/1*");
    // A second click on the same spot ends the track.
    EXPECT_FALSE(net.EditTrackInsert(document));
    // A click on the pin's pad snaps the cursor and the vertex onto its centre.
    document.cursor = {39000, 1000};
    net.MoveCurrentVertex(document);
    EXPECT_FALSE(net.EditTrackInsert(document));
    EXPECT_EQ(document.cursor, CPoint(40000, 0));
    net.FinishRunEdit();
    EXPECT_EQ(Describe(net), "0,0/0 40000,0/1");
    EXPECT_TRUE(net.GetBox().right >= 40000);
}

TEST(CNetTrackEditTest, BendsAt45DegreesAndTrims)
{
    CNetTestDocument document;
    CNet net;
    ASSERT_TRUE(net.StartTrack(0, 0, LAYER_TOP, true));
    EXPECT_EQ(Describe(net), "0,0/0 0,0/1* 0,0/1");
    EXPECT_EQ(net.GetEditFirst(), 1);
    EXPECT_EQ(net.GetEditLast(), 2);
    document.cursor = {30000, 10000};
    EXPECT_TRUE(net.MoveCurrentVertex(document));
    EXPECT_EQ(Describe(net), "0,0/0 10000,10000/1* 30000,10000/1");

    // A diagonal segment before the current vertex turns the run round, also where x and -x
    // meet; the end of the edit turns it back.
    CNet diagonal = MakeNet("0,0/0 -20000,-10000/1 20000,10000/1 20000,30000/1");
    diagonal.SetCurrentVertex(2);
    diagonal.BeginRunEdit(true);
    EXPECT_EQ(Describe(diagonal),
              "20000,30000/0 20000,30000/1* 20000,10000/1 -20000,-10000/1* 0,0/1");
    EXPECT_EQ(diagonal.GetCurrentVertex(), 2);
    EXPECT_TRUE(diagonal.IsInverted());
    diagonal.FinishRunEdit();
    EXPECT_EQ(Describe(diagonal), "0,0/0 -20000,-10000/1 20000,10000/1 20000,30000/1");
    EXPECT_FALSE(diagonal.IsInverted());

    struct TrimCase {
        const char* before;
        int32_t result;
        const char* after;
    };
    const TrimCase trims[] = {
        {"0,0/0 20000,0/1 20000,20000/1 20500,20500/1", 1, "0,0/0 20000,0/1"},
        {"0,0/0 1000,0/1 1200,0/1", -1, ""},
        {"5,5/P0 0,0/0 1000,0/1 1200,0/1", -1, "5,5/P0"},
        // A pad has no run to trim.
        {"0,0/0 1000,0/1 5,5/P0", 0, "0,0/0 1000,0/1 5,5/P0"},
    };
    for (const TrimCase& c : trims) {
        SCOPED_TRACE(c.before);
        CNet trimmed = MakeNet(c.before);
        EXPECT_EQ(trimmed.TrimRunEnd(), c.result);
        EXPECT_EQ(Describe(trimmed), c.after);
    }
    CNet notAtEnd = MakeNet("0,0/0 1000,0/1 1200,0/1");
    notAtEnd.SetCurrentVertex(1);
    EXPECT_EQ(notAtEnd.TrimRunEnd(), 0);
    EXPECT_EQ(notAtEnd.GetVertexCount(), 3);

    // A segment of 0.9 mm takes no vertex; a longer one takes it at the point.
    CNet shortRun = MakeNet("0,0/0 9070,0/1");
    EXPECT_FALSE(shortRun.InsertVertexOnSegment(document, 1, {4535, 0}));
    CNet longRun = MakeNet("0,0/0 20000,0/2");
    EXPECT_FALSE(longRun.InsertVertexOnSegment(document, 1, {4000, 0}));
    EXPECT_TRUE(longRun.InsertVertexOnSegment(document, 1, {10000, 0}));
    EXPECT_EQ(Describe(longRun), "0,0/0 10000,0/2 20000,0/2");
}

TEST(CNetTrackEditTest, RefusesToInsertFromARunStart)
{
    CFakeServices fakes;
    CNetTestDocument document;
    CNet net = MakeNet("0,0/0 10,0/1");
    net.SetCurrentVertex(0);
    EXPECT_FALSE(net.EditTrackInsert(document));
    EXPECT_EQ(fakes.messages.ShownTexts(),
              std::vector<std::string>{"CNet::EditTrackInsert with pen 0 (invertdirection)!!"});
    EXPECT_EQ(net.GetVertexCount(), 2);
}

TEST(CNetUnrouteTest, TakesAwayWhatTheAutorouterLaid)
{
    CNetTestDocument document;
    CNet net = MakeNet("0,0/0 10000,0/1");
    net.AppendSegment(0, 20000, 10000, 20000, LAYER_TOP, 1);
    net.AppendSegment(0, 40000, 10000, 40000, LAYER_BOTTOM, 1);
    EXPECT_FALSE(net.UnrouteRunAt(document, 5000, 0, LAYER_TOP));
    EXPECT_FALSE(net.UnrouteRunAt(document, 5000, 40000, LAYER_TOP));
    EXPECT_TRUE(net.UnrouteRunAt(document, 5000, 24000, LAYER_TOP));
    EXPECT_EQ(Describe(net), "0,0/0 10000,0/1 0,40000/0@2 10000,40000/1@2");
    net.Unroute(document);
    EXPECT_EQ(Describe(net), "0,0/0 10000,0/1");
}

} // namespace
