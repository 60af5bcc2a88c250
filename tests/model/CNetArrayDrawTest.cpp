#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/CRect.h"
#include "model/CNetArray.h"
#include "model/LayerIds.h"
#include "tests/model/NetTestSupport.h"
#include "tests/support/CRecordingDC.h"

namespace {

using Lines = std::vector<std::string>;

const CRect everywhere(-1000000, -1000000, 1000000, 1000000);
// Meets net 2 only.
const CRect rightHalf(40000, -1000000, 1000000, 1000000);

// At scale 10: net 1 "A" a top track (0,0)-(1000,0) with a via at (0,0) and three pins of
// component 0 at (0,0), (1000,0) and (10000,0), the first two joined; net 2 "B" a top track
// (50000,0)-(51000,0) with a via at (51000,0) and two unjoined pins of component 1 at
// (50000,0) and (50000,2000). Net 1 is current.
class CNetArrayDrawTest : public ::testing::Test {
protected:
    CNetArrayDrawTest() : nets(document)
    {
        document.scale = 10;
        document.netCount = 3;
        BuildNet(nets.AddNet("A"), "0,0/0 1000,0/2 0,0/P0",
                 {{0, 0, 0}, {1000, 0, 1}, {10000, 0, 2}}, {1, 1, 2});
        BuildNet(nets.AddNet("B"), "50000,0/0 51000,0/2 51000,0/P0",
                 {{50000, 0, 0}, {50000, 2000, 1}}, {});
        nets.SetCurrentNet(1);
    }

    struct Pin {
        int32_t x, y, pad;
    };

    void BuildNet(int32_t index, const std::string& vertices, const std::vector<Pin>& pins,
                  std::vector<int32_t> clusters)
    {
        CNet& net = *nets.GetNet(index);
        const std::string name = net.GetName();
        net = MakeNet(vertices);
        net.SetName(name);
        for (const Pin& pin : pins)
            net.AddPin(pin.x, pin.y, index - 1, pin.pad, CNetArrayTestDocument::via, 0, false, 3);
        document.pinClusters = std::move(clusters);
        net.CalcClusters(document);
        // The copper joins the first pin.
        for (int32_t i = 0; i < net.GetVertexCount(); ++i)
            net.SetVertexCluster(i, 1);
        net.CalcRatsnest(document);
        net.CalcBoundingBox(document);
    }

    struct DrawCase {
        const char* name;
        std::function<void(CDeviceContext&)> draw;
        Lines expected;
    };

    void Run(const std::vector<DrawCase>& cases)
    {
        for (const DrawCase& c : cases) {
            SCOPED_TRACE(c.name);
            CRecordingDC dc;
            c.draw(dc);
            EXPECT_EQ(dc.Lines(), c.expected);
        }
    }

    CNetArrayTestDocument document;
    CNetArray nets;
};

const std::string restorePen = "SelectPen solid 0 0x00000000";
const std::string restoreBrush = "SelectBrush solid 0x00FFFFFF";

// Track colours: layer 1 is 0x000001 normally and 0x010000 highlighted; net 1's track pen is
// 302 pixels wide.
TEST_F(CNetArrayDrawTest, TracksAndPadsHighlightTheCurrentNetOnly)
{
    const Lines normalA = {"SelectPen solid 302 0x00000001", "MoveTo 0 0", "LineTo 100 0",
                           restorePen};
    const Lines highlightA = {"SelectPen solid 302 0x00010000", "MoveTo 0 0", "LineTo 100 0",
                              restorePen};
    const Lines normalB = {"SelectPen solid 302 0x00000001", "MoveTo 5000 0", "LineTo 5100 0",
                           restorePen};
    auto join = [](Lines a, const Lines& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    // The via is 4000 units across: 400 pixels.
    const Lines viaA = {"Ellipse -200 -200 200 200"};
    const Lines viaB = {"Ellipse 4900 -200 5300 200"};
    Run({
        {"current net highlighted",
         [&](CDeviceContext& dc) { nets.Draw(dc, LAYER_TOP, everywhere); },
         join(highlightA, normalB)},
        {"net 0 current highlights nothing",
         [&](CDeviceContext& dc) {
             nets.SetCurrentNet(0);
             nets.Draw(dc, LAYER_TOP, everywhere);
             nets.SetCurrentNet(1);
         },
         join(normalA, normalB)},
        {"nets outside the clip are skipped",
         [&](CDeviceContext& dc) { nets.Draw(dc, LAYER_TOP, rightHalf); }, normalB},
        {"pads, current net in the highlight set",
         [&](CDeviceContext& dc) { nets.DrawLayerPads(dc, LAYER_TOP, everywhere, false); },
         join(join({"SelectPen solid 1 0x00000001", "SelectBrush solid 0x00000001",
                    "SelectPen solid 1 0x00010000", "SelectBrush solid 0x00010000"},
                   viaA),
              join(join({"SelectPen solid 1 0x00000001", "SelectBrush solid 0x00000001"}, viaB),
                   {restorePen, restoreBrush}))},
        {"pads without highlight",
         [&](CDeviceContext& dc) { nets.DrawLayerPads(dc, LAYER_TOP, everywhere, true); },
         join(join({"SelectPen solid 1 0x00000001", "SelectBrush solid 0x00000001"}, viaA),
              join(viaB, {restorePen, restoreBrush}))},
        {"pads beyond the drill layer",
         [&](CDeviceContext& dc) {
             nets.DrawLayerPads(dc, PADSTACK_LAYER_COUNT, everywhere, false);
         },
         {}},
        {"holes with the hole pen and brush",
         [&](CDeviceContext& dc) { nets.DrawHoles(dc, everywhere, 20, 4031); },
         {"SelectPen solid 1 0x00555555", "SelectBrush solid 0x00666666",
          "Ellipse -201 -201 201 201", "Ellipse 4899 -201 5301 201", restorePen, restoreBrush}},
    });
}

TEST_F(CNetArrayDrawTest, SelectionIsDrawnForEveryNet)
{
    nets.SelectNet(2, true);
    Run({
        {"selected tracks",
         [&](CDeviceContext& dc) { nets.DrawSelectedAll(dc, everywhere); },
         {"SelectPen solid 705 0x007F7F7F", "MoveTo 5000 0", "LineTo 5100 0",
          "SelectPen solid 302 0x00010000", "MoveTo 5000 0", "LineTo 5100 0", restorePen}},
        {"selected pads with the caller's pen",
         [&](CDeviceContext& dc) { nets.DrawSelectedPads(dc, LAYER_TOP, everywhere); },
         {"Ellipse 4900 -200 5300 200"}},
    });
}

// Net 1's ratsnest joins the third pin to the first two; net 2's joins its two pins.
TEST_F(CNetArrayDrawTest, RatsnestMarksAndComponentLines)
{
    const std::string white = "SelectPen solid 1 0x00FFFFFF";
    const std::string grey = "SelectPen solid 1 0x007F7F7F";
    const std::string yellow = "SelectPen solid 1 0x0000FFFF";
    Run({
        {"current net",
         [&](CDeviceContext& dc) { nets.DrawCurrentRatsnest(dc, everywhere); },
         {white, "MoveTo 100 0", "LineTo 1000 0", restorePen}},
        {"current net outside the clip",
         [&](CDeviceContext& dc) { nets.DrawCurrentRatsnest(dc, rightHalf); },
         {}},
        {"net 0 current",
         [&](CDeviceContext& dc) {
             nets.SetCurrentNet(0);
             nets.DrawCurrentRatsnest(dc, everywhere);
             nets.SetCurrentNet(1);
         },
         {}},
        {"other nets",
         [&](CDeviceContext& dc) { nets.DrawOtherRatsnest(dc); },
         {grey, "MoveTo 5000 0", "LineTo 5000 200", restorePen}},
        {"unconnected pins",
         [&](CDeviceContext& dc) { nets.DrawUnconnectedPinMarks(dc, everywhere); },
         {"SelectPen solid 1 0x00000000", "SelectBrush solid 0x00FFFFFF", "Rectangle 996 -4 1004 4",
          "Rectangle 4996 196 5004 204", restorePen, restoreBrush}},
        {"component index clamped to the last",
         [&](CDeviceContext& dc) {
             document.componentPadNets = {{1, 1, 1}, {2, 2}};
             nets.DrawComponentRatsnest(dc, 7);
         },
         {yellow, "MoveTo 5000 0", "LineTo 5000 200", "MoveTo 5000 200", "LineTo 5000 0",
          restorePen}},
        // The pads of net 0 and a pad whose net lacks its pin draw no line.
        {"pads without connections",
         [&](CDeviceContext& dc) {
             document.componentPadNets = {{0, 1, 2}};
             nets.DrawComponentRatsnest(dc, -3);
         },
         {yellow, "MoveTo 100 0", "LineTo 1000 0", restorePen}},
        {"no components",
         [&](CDeviceContext& dc) {
             document.componentPadNets.clear();
             nets.DrawComponentRatsnest(dc, 0);
         },
         {}},
    });
}

TEST_F(CNetArrayDrawTest, ViaLabelsCountOverAllNets)
{
    const std::string setup = "SetTextColor 0x00FFFFFF";
    for (const auto& [mode, first, second] :
         std::vector<std::tuple<int32_t, std::string, std::string>>{
             {1, "1", "2"}, {5, "A", "B"}, {6, "1", "2"}}) {
        SCOPED_TRACE(mode);
        document.padInfoMode = mode;
        // Wide enough for the second label: labels off the surface are not written out.
        CRecordingDC dc(6000, 1000);
        nets.DrawViaLabels(dc);
        Lines texts;
        for (const std::string& line : dc.Lines()) {
            if (line.starts_with("TextOut"))
                texts.push_back(line);
        }
        EXPECT_EQ(texts,
                  (Lines{"TextOut 0 0 \"" + first + "\"", "TextOut 5100 0 \"" + second + "\""}));
    }
}

// Net 1's current vertex 1 at pixel (100, 0) with its neighbour at (0, 0): the pen of 3023 and
// the clearance of 2015 grow it by 352 pixels, right and bottom by 2 more.
TEST_F(CNetArrayDrawTest, RepaintRectangleGrowsByTheEditedVertex)
{
    nets.GetNet(1)->SetCurrentVertex(1);
    nets.SetRepaintRect(CRect(500, 600, 400, 300));
    EXPECT_EQ(nets.AccumulateRepaintRect(), CRect(-352, -352, 500, 600));
    EXPECT_EQ(nets.GetRepaintRect(), CRect(-352, -352, 500, 600));

    // The copy an undo snapshot takes keeps the rectangle and the counters.
    CNetArray copy(nets);
    EXPECT_EQ(copy.GetRepaintRect(), nets.GetRepaintRect());
    copy.SetRepaintRect({});
    EXPECT_EQ(copy.AccumulateRepaintRect(), CRect(-352, -352, 454, 354));
    EXPECT_EQ(copy.GetRepaintCount(0), 2);
    EXPECT_EQ(copy.GetRepaintCount(1), 2);
    EXPECT_EQ(nets.GetRepaintCount(1), 1);
}

} // namespace
