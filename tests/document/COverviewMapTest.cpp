#include <gtest/gtest.h>

#include <algorithm>

#include "document/CDesign.h"
#include "document/COverviewMap.h"
#include "document/CViewState.h"
#include "model/CNetArray.h"
#include "model/TrackRec.h"
#include "tests/document/DocTestViews.h"

namespace {

TEST(COverviewMap, DivisorIsTheSmallestThatFitsFromOneHundredOn)
{
    struct Case {
        int64_t board;
        int32_t client;
        int32_t divisor;
    };
    const Case cases[] = {{1000, 100, 100},      {10000, 100, 100},    {10100, 100, 101},
                          {10101, 100, 101},     {1000000, 100, 9901}, {2147483647, 25, 82595525},
                          {1000000, 0, 1000001}, {0, 50, 100},         {-5000, 50, 100}};
    for (const Case& c : cases) {
        const int32_t d = COverviewMap::Divisor(c.board, c.client);
        EXPECT_EQ(d, c.divisor) << c.board << " " << c.client;
        EXPECT_LE(c.board / d, std::max(c.client, 0));
    }
    // A tall board needs the larger divisor of the two.
    EXPECT_EQ(COverviewMap::Divisor(10000, 100000, CSize(100, 100)), 991);
}

TEST(COverviewMap, SmallDragsClickAndLargerOnesZoom)
{
    // 5 by 4 pixels is a click at the button-down point.
    EXPECT_FALSE(COverviewMap::IsDrag(CPoint(10, 10), CPoint(15, 14)));
    COverviewMap::Target click = COverviewMap::Aim(CPoint(10, 10), CPoint(15, 14), true, 200);
    EXPECT_EQ(click.point, CPoint(2000, 2000));
    EXPECT_FALSE(click.zoom);

    EXPECT_TRUE(COverviewMap::IsDrag(CPoint(10, 10), CPoint(5, 5)));
    COverviewMap::Target drag = COverviewMap::Aim(CPoint(30, 10), CPoint(10, 15), true, 200);
    EXPECT_EQ(drag.point, CPoint(4000, 2400));
    EXPECT_TRUE(drag.zoom);
    EXPECT_EQ(drag.scale, 4);
}

class COverviewApplyTest : public CDocumentTest {};

TEST_F(COverviewApplyTest, SmallestDragStillLeavesAUsableScale)
{
    views.client = CSize(400, 200);
    COverviewMap::Apply(doc->View(), COverviewMap::Aim(CPoint(0, 0), CPoint(5, 5), true, 100));
    EXPECT_EQ(doc->View().GetScale(), CDesignSettings::minScale);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(200 * 10 - 200, 100 * 10 - 200));

    const int32_t scale = doc->View().GetScale();
    COverviewMap::Apply(doc->View(), COverviewMap::Aim(CPoint(3, 4), CPoint(3, 4), false, 100));
    EXPECT_EQ(doc->View().GetScale(), scale);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(200 * scale - 300, 100 * scale - 400));
}

TEST_F(COverviewApplyTest, PinsPadsAndViasAreMarkedTracksAreNot)
{
    CNetArray& nets = doc->Design().GetNets();
    CNet& net = *nets.GetNet(nets.AddNet("A"));
    net.AddPin(1000, 2000, 0, 0, 0, 0, false, 0x3);
    net.AppendPadVertex(3000, 4000, 1, 0, false);
    // A rotation that sets flag bit 9 makes a track vertex no pad.
    net.AppendSegment(5000, 6000, 7000, 8000, 1, 1, false);
    net.SetVertexRotation(net.GetVertexCount() - 1, 0x200);
    ASSERT_FALSE(net.GetVertex(net.GetVertexCount() - 1).IsPad());

    EXPECT_EQ(COverviewMap::Marks(nets, 100), (std::vector<CPoint>{{10, 20}, {30, 40}}));
}

} // namespace
