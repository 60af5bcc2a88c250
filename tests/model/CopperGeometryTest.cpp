#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/CPointArray.h"
#include "model/CopperGeometry.h"

namespace {

// A 100 x 100 square ring in the order the pad outlines build it, and the same ring reversed.
const std::vector<CPoint> kSquare = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
const std::vector<CPoint> kSquareReversed = {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}};

TEST(SegmentTouchesCircleTest, ReachIsHalfWidthPlusRadiusWithTruncatedDistances)
{
    // Segment (0, 0)-(10000, 0), half width 1000, radius 500: reach 1500.
    EXPECT_TRUE(SegmentTouchesCircle({0, 0}, {10000, 0}, {5000, -1500}, 1000, 500));
    EXPECT_FALSE(SegmentTouchesCircle({0, 0}, {10000, 0}, {5000, 1501}, 1000, 500));
    EXPECT_TRUE(SegmentTouchesCircle({0, 0}, {10000, 0}, {11500, 0}, 1000, 500));
    // 1500.6 from the start, truncated to 1500; 1562 is too far.
    EXPECT_TRUE(SegmentTouchesCircle({0, 0}, {10000, 0}, {-901, 1200}, 1000, 500));
    EXPECT_FALSE(SegmentTouchesCircle({0, 0}, {10000, 0}, {-1000, 1200}, 1000, 500));
}

TEST(PointToSegmentDistanceTest, SignedBesideAndEuclideanBeyondTheEnds)
{
    CPoint nearest;
    EXPECT_EQ(PointToSegmentDistance({0, 0}, {10000, 0}, {5000, -300}, nearest), -300);
    EXPECT_EQ(nearest, CPoint(5000, 0));
    EXPECT_EQ(PointToSegmentDistance({0, 0}, {10000, 0}, {13000, 4000}, nearest), 5000);
    EXPECT_EQ(nearest, CPoint(10000, 0));
    // 707.1 across the diagonal, truncated.
    EXPECT_EQ(PointToSegmentDistance({0, 0}, {1000, 1000}, {0, 1000}, nearest), 707);
}

// The inside test casts its ray to the left past the ring: cast only as far as x = 0 it missed
// the edges beyond x = 0 and counted edges to the right of centres at negative x.
TEST(CircleTouchesPolygonTest, WholeCircleInsideCountsAnywhereOnTheBoard)
{
    EXPECT_TRUE(CircleTouchesPolygon({50, 50}, 10, kSquareReversed));
    EXPECT_FALSE(CircleTouchesPolygon({150, 50}, 10, kSquare));
    EXPECT_TRUE(CircleTouchesPolygon({150, 50}, 50, kSquare));
    const std::vector<CPoint> negative = {
        {-200, -100}, {-100, -100}, {-100, 0}, {-200, 0}, {-200, -100}};
    EXPECT_TRUE(CircleTouchesPolygon({-150, -50}, 10, negative));
    // Its left edge crosses y = 0 at x = -100 and y = 50 at x = 0.
    const std::vector<CPoint> triangle = {{-300, -100}, {300, -100}, {100, 100}, {-300, -100}};
    EXPECT_TRUE(CircleTouchesPolygon({50, 0}, 10, triangle));
    EXPECT_FALSE(CircleTouchesPolygon({-250, 50}, 10, triangle));
}

TEST(PointInPolygonTest, EitherWindingAndConcaveRings)
{
    for (const auto* ring : {&kSquare, &kSquareReversed}) {
        EXPECT_TRUE(PointInPolygon({50, 50}, *ring));
        EXPECT_TRUE(PointInPolygon({0, 50}, *ring));    // left edge: inside
        EXPECT_FALSE(PointInPolygon({100, 50}, *ring)); // right edge: outside
    }
    const std::vector<CPoint> ell = {{0, 0},     {200, 0}, {200, 100}, {100, 100},
                                     {100, 200}, {0, 200}, {0, 0}};
    EXPECT_TRUE(PointInPolygon({50, 150}, ell));
    EXPECT_TRUE(PointInPolygon({150, 50}, ell));
    EXPECT_FALSE(PointInPolygon({150, 150}, ell));
}

TEST(NormalizeWindingTest, ReversesOnlyRingsOfTheOtherWinding)
{
    CPointArray ring;
    for (int32_t i = 0; i < 5; ++i)
        ring.SetAtGrow(i, kSquare[size_t(i)].x, kSquare[size_t(i)].y);
    NormalizeWinding(ring);
    NormalizeWinding(ring);
    for (int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(ring[i], kSquareReversed[size_t(i)]) << i;
}

} // namespace
