#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/CNet.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "tests/model/NetTestSupport.h"
#include "tests/support/CRecordingDC.h"

namespace {

using Lines = std::vector<std::string>;

const CRect everywhere(-1000000, -1000000, 1000000, 1000000);

struct DrawCase {
    const char* name;
    std::function<void(CDeviceContext&, CNetTestDocument&)> draw;
    Lines expected;
};

void RunDrawCases(const std::vector<DrawCase>& cases)
{
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        CNetTestDocument document;
        document.scale = 10;
        CRecordingDC dc;
        c.draw(dc, document);
        EXPECT_EQ(dc.Lines(), c.expected);
    }
}

// Pen 1 is 2015 units wide (201 pixels at scale 10), pen 2 3023 (302); the clearance 2015 makes
// the halos (width + 4030) / 10 wide. Layer colours: 0x0000LL normal, 0x00LL0000 highlight.
TEST(CNetDrawTest, TracksSelectionAndEditedRun)
{
    const CNet tracks =
        MakeNet("0,0/0 1000,0/1 1000,1000/2 5000,5000/0@2 6000,5000/1@2 2000,1000/0 3000,1000/1*");
    CNet edited = MakeNet("0,0/0 1000,0/1 2000,0/1 9000,0/0 9500,0/1");
    edited.SetCurrentVertex(1);
    edited.SetEditRange(0, 7);
    const std::string restore = "SelectPen solid 0 0x00000000";
    RunDrawCases({
        {"highlighted layer",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             tracks.DrawLayer(dc, d, LAYER_TOP, everywhere, 1);
         },
         {"SelectPen solid 201 0x00010000", "MoveTo 0 0", "LineTo 100 0",
          "SelectPen solid 302 0x00010000", "LineTo 100 100", restore}},
        {"one net is never highlighted",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             d.netCount = 1;
             tracks.DrawLayer(dc, d, LAYER_BOTTOM, everywhere, 1);
         },
         {"SelectPen solid 201 0x00000002", "MoveTo 500 500", "LineTo 600 500", restore}},
        {"clipped away",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             tracks.DrawLayer(dc, d, LAYER_TOP, CRect(-10, 500, 9000, 9000), 0);
         },
         {"SelectPen solid 302 0x00000001", "MoveTo 100 0", "LineTo 100 100", restore}},
        {"no such layer",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             tracks.DrawLayer(dc, d, LAYER_COUNT, everywhere, 0);
             tracks.DrawLayer(dc, d, -1, everywhere, 0);
         },
         {}},
        {"selection with halo",
         [&](CDeviceContext& dc, CNetTestDocument& d) { tracks.DrawSelected(dc, d, everywhere); },
         {"SelectPen solid 604 0x007F7F7F", "MoveTo 200 100", "LineTo 300 100",
          "SelectPen solid 201 0x00010000", "MoveTo 200 100", "LineTo 300 100", restore}},
        // Seen whole, a halo is as thin as its track: copied over, the track hides it; merged
        // with what lies under it, the halo shows around it.
        {"halo hidden by its track",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             d.scale = 10000;
             tracks.DrawSelected(dc, d, everywhere);
         },
         {"SelectPen solid 0 0x00010000", "MoveTo 0 0", "LineTo 0 0", restore}},
        {"halo merged under its track",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             d.scale = 10000;
             dc.SetROP2(R2_MERGEPEN);
             tracks.DrawSelected(dc, d, everywhere);
         },
         {"SetROP2 15", "SelectPen solid 0 0x007F7F7F", "MoveTo 0 0", "LineTo 0 0",
          "SelectPen solid 0 0x00010000", "MoveTo 0 0", "LineTo 0 0", restore}},
        {"edited run",
         [&](CDeviceContext& dc, CNetTestDocument& d) { edited.DrawEditedRun(dc, d); },
         {"SelectPen solid 604 0x00808080", "MoveTo 0 0", "LineTo 100 0", "MoveTo 100 0",
          "LineTo 200 0", "SelectPen solid 201 0x00010000", "MoveTo 0 0", "LineTo 100 0",
          "MoveTo 100 0", "LineTo 200 0", restore}},
        {"scale below 1",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             d.scale = 0;
             tracks.DrawLayer(dc, d, LAYER_TOP, everywhere, 0);
             tracks.DrawSelected(dc, d, everywhere);
         },
         {}},
    });
    // The repaint rectangle of the current vertex and its neighbours, with half the halo.
    CNetTestDocument document;
    document.scale = 10;
    CNet net = MakeNet("0,0/0 1000,0/1 1000,1000/1");
    net.SetCurrentVertex(1);
    EXPECT_EQ(net.GetEditRepaintRect(document), CRect(-302, -302, 404, 404));
    net.SetCurrentVertex(0);
    EXPECT_EQ(net.GetEditRepaintRect(document), CRect(-302, -302, 404, 304));
}

TEST(CNetDrawTest, PadsHolesAndLabels)
{
    // A via and a top-only pad right of its origin placed on the other side, at scale 10.
    CNet pads;
    pads.SetName("N1");
    pads.AppendPadVertex(10000, 10000, CNetTestDocument::via, 0, false);
    pads.AppendPadVertex(20000, 10000, CNetTestDocument::offsetPad, 0, true);
    const int32_t min04 = MmToUnits(0.4);
    RunDrawCases({
        {"top",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             pads.DrawPads(dc, d, LAYER_TOP, everywhere);
         },
         {"Ellipse 800 800 1200 1200"}},
        // The pad of the other side's top lies on the bottom, mirrored.
        {"bottom",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             pads.DrawPads(dc, d, LAYER_BOTTOM, everywhere);
         },
         {"Ellipse 800 800 1200 1200",
          "Polygon 1600 900, 2000 900, 2000 1100, 1600 1100, 1600 900"}},
        {"clip and selection",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             pads.DrawPads(dc, d, LAYER_TOP, CRect(15000, 0, 30000, 30000));
             pads.DrawSelectedPads(dc, d, LAYER_TOP, everywhere);
             pads.DrawPads(dc, d, PADSTACK_LAYER_COUNT, everywhere);
         },
         {}},
        // A 0.3 mm drill at 20 % stays at the 0.4 mm minimum: radius 2015 units.
        {"holes at the minimum",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             pads.DrawHoles(dc, d, everywhere, 20, min04);
         },
         {"Ellipse 799 799 1201 1201"}},
        {"holes at full size",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             pads.DrawHoles(dc, d, everywhere, 100, 0);
         },
         {"Ellipse 849 849 1151 1151"}},
        // Modes 1 (running over the nets), 2 (only drilled padstacks) and 4; 0 draws nothing.
        {"labels",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             int32_t counter = 4;
             for (int32_t mode : {0, 1, 2, 4})
                 pads.DrawViaLabels(dc, d, mode, 7, counter);
             EXPECT_EQ(counter, 6);
         },
         {"SetTextColor 0x00FFFFFF", "SetBkMode transparent", "TextOut 1000 1000 \"5\"",
          "TextOut 2000 1000 \"6\"", "SetBkMode opaque", "SetTextColor 0x00000000",
          "SetTextColor 0x00FFFFFF", "SetBkMode transparent", "TextOut 1000 1000 \"0.30\"",
          "SetBkMode opaque", "SetTextColor 0x00000000", "SetTextColor 0x00FFFFFF",
          "SetBkMode transparent", "TextOut 1000 1000 \"1\"", "TextOut 2000 1000 \"3\"",
          "SetBkMode opaque", "SetTextColor 0x00000000"}},
    });

    // A padstack the table lacks draws nothing and is noted for the view to report.
    CNetTestDocument document;
    CNet unknown;
    unknown.AppendPadVertex(0, 0, 9, 0, false);
    CRecordingDC dc;
    unknown.DrawPads(dc, document, LAYER_TOP, everywhere);
    unknown.DrawHoles(dc, document, everywhere, 100, 0);
    EXPECT_TRUE(dc.Lines().empty());
    EXPECT_TRUE(document.padStacks.HasPendingError());
}

TEST(CNetDrawTest, RatsnestPinMarksAndRubberBand)
{
    // Three pins, the first two joined: one ratsnest line to the third, which is marked.
    CNet net;
    for (int32_t x : {0, 1000, 3000})
        net.AddPin(x, 0, 0, x, CNetTestDocument::topPad, 0, false, 1);
    // The run being drawn belongs to cluster 1; a run of cluster 2 passes nearer than its pin.
    net.SetActiveCluster(2);
    net.AppendVertex(3000, 3000, LAYER_TOP, 0);
    net.AppendVertex(3000, 0, LAYER_TOP, 1);
    net.SetActiveCluster(1);
    net.AppendVertex(0, 0, LAYER_TOP, 0);
    net.AppendVertex(1000, 1000, LAYER_TOP, 1);
    RunDrawCases({
        {"ratsnest and marks",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             d.pinClusters = {1, 1, 2};
             net.CalcRatsnest(d);
             net.DrawRatsnest(dc, d);
             net.DrawUnconnectedPinMarks(dc, d);
         },
         {"MoveTo 100 0", "LineTo 300 0", "Rectangle 296 -4 304 4"}},
        {"rubber band to the nearest copper of another cluster",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             EXPECT_EQ(net.DrawRubberBand(dc, d), CRect(100, 100, 301, 101));
         },
         {"MoveTo 100 100", "LineTo 300 100"}},
        {"nothing left to reach",
         [&](CDeviceContext& dc, CNetTestDocument& d) {
             CNet lone;
             lone.AddPin(0, 0, 0, 0, CNetTestDocument::topPad, 0, false, 1);
             lone.AppendVertex(0, 0, LAYER_TOP, 0);
             EXPECT_EQ(lone.DrawRubberBand(dc, d), CRect(0, 0, 1, 1));
         },
         {}},
    });
}

} // namespace
