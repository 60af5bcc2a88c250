#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/CCopperShape.h"
#include "model/PadShapes.h"

namespace {

using Kind = CCopperShape::Kind;

std::vector<CPoint> Ring(const CCopperShape& shape)
{
    const auto ring = shape.GetPolygon();
    return std::vector<CPoint>(ring.begin(), ring.end());
}

TEST(CCopperShapeTest, PadOutlinesAreGrownMirroredTurnedAndPlaced)
{
    CCopperShape shape;
    shape.SetPad(PAD_SQUARE, CRect(-5000, -5000, 5000, 5000), 100, 200, false, 0, 1000);
    EXPECT_EQ(shape.GetKind(), Kind::Polygon);
    EXPECT_EQ(Ring(shape),
              (std::vector<CPoint>{
                  {-5900, -5800}, {6100, -5800}, {6100, 6200}, {-5900, 6200}, {-5900, -5800}}));
    EXPECT_EQ(shape.GetBounds(), CRect(-5900, -5800, 6100, 6200));

    // Mirrored to x -3000..-1000, then a quarter turn takes (x, y) to (y, -x).
    shape.SetPad(PAD_RECTANGLE, CRect(1000, -500, 3000, 500), 0, 0, true, 90000, 0);
    EXPECT_EQ(
        Ring(shape),
        (std::vector<CPoint>{{-500, 3000}, {-500, 1000}, {500, 1000}, {500, 3000}, {-500, 3000}}));
    EXPECT_EQ(shape.GetBounds(), CRect(-500, 1000, 500, 3000));

    // Corners cut by a quarter of the short side.
    shape.SetPad(PAD_OCTAGON_W, CRect(-4000, -2000, 4000, 2000), 0, 0, false, 0, 0);
    const auto ring = shape.GetPolygon();
    ASSERT_EQ(ring.size(), 9u);
    EXPECT_EQ(ring[0], CPoint(-3000, -2000));
    EXPECT_EQ(ring[2], CPoint(4000, -1000));
    EXPECT_EQ(ring[6], CPoint(-4000, 1000));
    EXPECT_EQ(ring[8], ring[0]);
}

// Every pad that has copper has an outline of its own form; no shape code reads a stale or
// uninitialised outline, and the Line pad (code 9) is a rectangle, not a track.
TEST(CCopperShapeTest, EveryShapeCodeHasItsOwnForm)
{
    struct Case {
        int32_t code;
        Kind kind;
        int32_t points;
    } const cases[] = {
        {0, Kind::None, 0},    {1, Kind::Circle, 0},  {2, Kind::Track, 0},   {3, Kind::Polygon, 5},
        {4, Kind::Polygon, 5}, {5, Kind::Polygon, 9}, {6, Kind::Polygon, 9}, {7, Kind::Polygon, 5},
        {8, Kind::Polygon, 5}, {9, Kind::Polygon, 5}, {10, Kind::None, 0},   {-1, Kind::None, 0},
    };
    for (const Case& c : cases) {
        CCopperShape shape;
        shape.SetPad(PAD_OCTAGON, CRect(-900, -900, 900, 900), 7, 7, false, 0, 0);
        shape.SetPad(c.code, CRect(-500, -2000, 500, 2000), 0, 0, false, 0, 0);
        EXPECT_EQ(shape.GetKind(), c.kind) << c.code;
        EXPECT_EQ(shape.GetPolygon().size(), size_t(c.points)) << c.code;
        if (c.kind == Kind::None) {
            EXPECT_EQ(shape.GetBounds(), CRect()) << c.code;
            EXPECT_FALSE(shape.TouchesSegment(-9000, 0, 9000, 0, 100)) << c.code;
            EXPECT_FALSE(shape.TouchesPad(1, CRect(-5000, -5000, 5000, 5000), 0, 0, false, 0, 0))
                << c.code;
        }
    }
}

TEST(CCopperShapeTest, OvalPadIsATrackAlongItsLongSide)
{
    CCopperShape shape;
    // Grown to 7000 x 3000: the round ends' centres sit 1500 in from the ends.
    shape.SetPad(PAD_OVAL, CRect(-3000, -1000, 3000, 1000), 100, 0, false, 90000, 500);
    EXPECT_EQ(shape.GetKind(), Kind::Track);
    EXPECT_EQ(shape.GetStart(), CPoint(100, 2000));
    EXPECT_EQ(shape.GetEnd(), CPoint(100, -2000));
    EXPECT_EQ(shape.GetRadius(), 1500);
    EXPECT_EQ(shape.GetBounds(), CRect(-1400, -3500, 1600, 3500));

    shape.SetPad(PAD_OVAL, CRect(-1000, -3000, 1000, 3000), 0, 0, false, 0, 0);
    EXPECT_EQ(shape.GetStart(), CPoint(0, -2000));
    EXPECT_EQ(shape.GetEnd(), CPoint(0, 2000));
    EXPECT_EQ(shape.GetRadius(), 1000);
}

// An offset round pad is centred where it is drawn: its offset is mirrored and turned with it.
TEST(CCopperShapeTest, OffsetRoundPadTurnsItsCentre)
{
    CCopperShape shape;
    const CRect offset(1000, -500, 2000, 500);
    shape.SetPad(PAD_ROUND, offset, 10000, 20000, false, 0, 0);
    EXPECT_EQ(shape.GetCentre(), CPoint(11500, 20000));
    EXPECT_EQ(shape.GetBounds(), CRect(11000, 19500, 12000, 20500));
    shape.SetPad(PAD_ROUND, offset, 10000, 20000, true, 90000, 0);
    EXPECT_EQ(shape.GetCentre(), CPoint(10000, 21500));
    EXPECT_EQ(shape.GetRadius(), 500);
    EXPECT_EQ(shape.GetBounds(), CRect(9500, 21000, 10500, 22000));
}

// Each copper shape, offset from its origin so that mirroring and turning move it, must be found
// where it is placed and nowhere near the opposite point.
TEST(CCopperShapeTest, EveryShapeTurnedAndMirroredMeetsPointsSegmentsAndPads)
{
    struct Placement {
        int32_t angle;
        bool mirrored;
        CPoint centre; // where the copper lands
    } const placements[] = {
        {0, false, {3000, 0}},    {0, true, {-3000, 0}},         {90000, false, {0, -3000}},
        {90000, true, {0, 3000}}, {45000, false, {2121, -2121}}, {45000, true, {-2121, 2121}},
    };
    // Centred on (3000, 0) in the pad's frame; the round pad's rectangle is square.
    const CRect wide(1000, -1000, 5000, 1000);
    const CRect square(2000, -1000, 4000, 1000);
    for (int32_t code = 1; code <= 9; ++code) {
        const CRect& rect = code == PAD_ROUND ? square : wide;
        for (const Placement& p : placements) {
            const CPoint away(-p.centre.x, -p.centre.y);
            CCopperShape pad;
            pad.SetPad(code, rect, 0, 0, p.mirrored, p.angle, 0);
            CCopperShape probe;
            for (const bool near : {true, false}) {
                const CPoint at = near ? p.centre : away;
                const std::string where =
                    "code " + std::to_string(code) + " angle " + std::to_string(p.angle) +
                    (p.mirrored ? " mirrored" : "") + (near ? " near" : " away");
                probe.SetPoint(at.x, at.y);
                EXPECT_EQ(probe.TouchesPad(code, rect, 0, 0, p.mirrored, p.angle, 0), near)
                    << where;
                // A track leaving the pad through its far side.
                EXPECT_EQ(pad.TouchesSegment(at.x, at.y, 3 * at.x, 3 * at.y, 100), near) << where;
                // A via on the spot, tested from either side.
                probe.SetPad(PAD_ROUND, CRect(-100, -100, 100, 100), at.x, at.y, false, 0, 0);
                EXPECT_EQ(probe.TouchesPad(code, rect, 0, 0, p.mirrored, p.angle, 0), near)
                    << where;
                EXPECT_EQ(
                    pad.TouchesPad(PAD_ROUND, CRect(-100, -100, 100, 100), at.x, at.y, false, 0, 0),
                    near)
                    << where;
            }
        }
    }
}

struct PadPair {
    const char* name;
    int32_t thisCode;
    CRect thisRect;
    int32_t angle; // both pads
    int32_t otherCode;
    CRect otherRect;
    CPoint otherAt;
    int32_t clearance; // of the other pad
    bool touches;
};

// Outlines that only meet along an edge are apart; one unit of overlap makes them touch.
TEST(CCopperShapeTest, PadsTouchOnlyWhenTheyOverlap)
{
    const CRect r5000(-5000, -5000, 5000, 5000);
    const CRect r500(-500, -500, 500, 500);
    const CRect r10000(-10000, -10000, 10000, 10000);
    const CRect oval(-3000, -1000, 3000, 1000);
    const CRect line(-500, -5000, 500, 5000);
    const PadPair cases[] = {
        {"round 9999 apart", 1, r5000, 0, 1, r5000, {9999, 0}, 0, true},
        {"round 10000 apart", 1, r5000, 0, 1, r5000, {10000, 0}, 0, false},
        {"round with clearance, 10499", 1, r5000, 0, 1, r5000, {10499, 0}, 500, true},
        {"round with clearance, 10500", 1, r5000, 0, 1, r5000, {10500, 0}, 500, false},
        {"squares sharing an edge", 3, r5000, 0, 3, r5000, {10000, 0}, 0, false},
        {"squares one unit over", 3, r5000, 0, 3, r5000, {9999, 0}, 0, true},
        {"turned squares sharing an edge", 3, r5000, 90000, 3, r5000, {0, 10000}, 0, false},
        {"turned squares one unit over", 3, r5000, 90000, 3, r5000, {0, 9999}, 0, true},
        {"square inside an octagon", 5, r10000, 0, 3, r500, {0, 0}, 0, false},
        {"square across an octagon", 5, r10000, 0, 3, r500, {9800, 0}, 0, true},
        {"round beside an oval", 2, oval, 0, 1, r500, {0, 1500}, 0, false},
        {"round into an oval's side", 2, oval, 0, 1, r500, {0, 1499}, 0, true},
        {"oval end into a square", 3, r5000, 0, 2, oval, {7999, 0}, 0, true},
        {"oval end at a square", 3, r5000, 0, 2, oval, {8000, 0}, 0, false},
        {"line pad beside a round", 9, line, 0, 1, r500, {1000, 0}, 0, false},
        {"line pad under a round", 9, line, 0, 1, r500, {999, 0}, 0, true},
    };
    for (const PadPair& c : cases) {
        CCopperShape shape;
        shape.SetPad(c.thisCode, c.thisRect, 0, 0, false, c.angle, 0);
        EXPECT_EQ(shape.TouchesPad(c.otherCode, c.otherRect, c.otherAt.x, c.otherAt.y, false,
                                   c.angle, c.clearance),
                  c.touches)
            << c.name;
    }
}

TEST(CCopperShapeTest, PointsAndTracksAgainstPadsAndSegments)
{
    const CRect r5000(-5000, -5000, 5000, 5000);
    CCopperShape shape;

    shape.SetPoint(0, 0);
    EXPECT_FALSE(shape.TouchesPad(PAD_UNDEFINED, r5000, 0, 0, false, 0, 0));
    shape.SetPoint(5000, 0); // on the round pad's rim
    EXPECT_FALSE(shape.TouchesPad(PAD_ROUND, r5000, 0, 0, false, 0, 0));
    EXPECT_FALSE(shape.TouchesPad(PAD_SQUARE, r5000, 0, 0, false, 0, 0));
    shape.SetPoint(4999, 0);
    EXPECT_TRUE(shape.TouchesPad(PAD_ROUND, r5000, 0, 0, false, 0, 0));
    EXPECT_TRUE(shape.TouchesPad(PAD_SQUARE, r5000, 0, 0, false, 0, 0));
    shape.SetPoint(0, 1000);
    EXPECT_TRUE(shape.TouchesSegment(-5000, 0, 5000, 0, 1000));
    shape.SetPoint(0, 1001);
    EXPECT_FALSE(shape.TouchesSegment(-5000, 0, 5000, 0, 1000));

    shape.SetTrack(0, 0, 10000, 0, 1000);
    EXPECT_EQ(shape.GetBounds(), CRect(-1000, -1000, 11000, 1000));
    EXPECT_TRUE(shape.TouchesPad(PAD_ROUND, CRect(-500, -500, 500, 500), 10000, 1400, false, 0, 0));
    EXPECT_FALSE(shape.TouchesPad(PAD_ROUND, CRect(-500, -500, 500, 500), 11600, 0, false, 0, 0));

    // A track 1000 wide passing above a square: its edge on the pad's edge is apart.
    shape.SetTrack(-10000, 6000, 10000, 6000, 1000);
    EXPECT_FALSE(shape.TouchesPad(PAD_SQUARE, r5000, 0, 0, false, 0, 0));
    shape.SetTrack(-10000, 5999, 10000, 5999, 1000);
    EXPECT_TRUE(shape.TouchesPad(PAD_SQUARE, r5000, 0, 0, false, 0, 0));
    // Tracks whose edges only meet are apart too.
    EXPECT_TRUE(shape.TouchesSegment(0, 9000, 0, 7498, 500));
    EXPECT_FALSE(shape.TouchesSegment(0, 9000, 0, 7499, 500));
}

} // namespace
