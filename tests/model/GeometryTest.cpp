#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "model/Geometry.h"
#include "tests/support/CScopedLocale.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct RotateCase {
    int32_t x, y, angle;
    CPoint expected;
};

TEST(RotatePointTest, QuarterTurnsAreExactAndWholeTurnsVanish)
{
    const RotateCase cases[] = {
        {1000, 0, 0, {1000, 0}},      {1000, 0, 90000, {0, -1000}},
        {1000, 0, -90000, {0, 1000}}, {1000, 0, 90000 + 360000, {0, -1000}},
        {1000, 0, 720000, {1000, 0}}, {1000, 0, 180000, {-1000, 0}},
        {1000, 0, 270000, {0, 1000}}, {1000, 0, -360000, {1000, 0}},
        {12, -7, 90000, {-7, -12}},   {12, -7, 270000, {7, 12}},
    };
    for (const RotateCase& c : cases)
        EXPECT_EQ(RotatePoint(c.x, c.y, c.angle), c.expected) << c.angle;
}

TEST(RotatePointTest, OtherAnglesRoundHalfAwayFromZero)
{
    const RotateCase cases[] = {
        {1000, 0, 45000, {707, -707}},
        // 3.5355 and -3.5355: truncation or floor would differ on one side.
        {5, 0, 45000, {4, -4}},
        {-5, 0, 45000, {-4, 4}},
        {1234, -567, 33500, {716, -1154}},
    };
    for (const RotateCase& c : cases)
        EXPECT_EQ(RotatePoint(c.x, c.y, c.angle), c.expected) << c.angle;
}

TEST(RotatePointTest, ExtremeAnglesNormaliseWithoutOverflow)
{
    // INT32_MIN is 276352 and INT32_MAX 83647 past a whole number of turns.
    EXPECT_EQ(RotatePoint(1000, 0, kMin), RotatePoint(1000, 0, 276352));
    EXPECT_EQ(RotatePoint(1000, 0, kMax), RotatePoint(1000, 0, 83647));
    EXPECT_EQ(RotatePoint(1000, 0, -1), RotatePoint(1000, 0, 359999));
    // A quarter turn this far down is still exact.
    EXPECT_EQ(RotatePoint(1000, 0, -2147310000), CPoint(0, -1000));
}

TEST(RotatePointTest, ResultsSaturateAtTheInt32Range)
{
    EXPECT_EQ(RotatePoint(kMin, 0, 180000), CPoint(kMax, 0));
    EXPECT_EQ(RotatePoint(kMin, 5, 90000), CPoint(5, kMax));
    EXPECT_EQ(RotatePoint(5, kMin, 270000), CPoint(kMax, 5));
    EXPECT_EQ(RotatePoint(kMax, kMax, 45000), CPoint(kMax, 0));
    EXPECT_EQ(RotatePointDeg(kMin, kMin, 180.0), CPoint(kMax, kMax));
}

TEST(RotatePointDegTest, MatchesTheIntegerRotation)
{
    EXPECT_EQ(RotatePointDeg(1000, 0, 90.0), CPoint(0, -1000));
    EXPECT_EQ(RotatePointDeg(1000, 0, -90.0), CPoint(0, 1000));
    EXPECT_EQ(RotatePointDeg(1000, 0, 810.0), CPoint(0, -1000));
    EXPECT_EQ(RotatePointDeg(1000, 0, -540.0), CPoint(-1000, 0));
    EXPECT_EQ(RotatePointDeg(1000, 0, 45.0), CPoint(707, -707));
    EXPECT_EQ(RotatePointDeg(1234, -567, 33.5), CPoint(716, -1154));
    // Brought into range, a tiny negative angle must not become a whole turn of 360.
    EXPECT_EQ(RotatePointDeg(1000, 0, -1e-20), CPoint(1000, 0));
}

TEST(RotatePointDegTest, HugeAndNonFiniteAnglesReturnPromptly)
{
    const CPoint huge = RotatePointDeg(1000, 0, 1e300);
    EXPECT_NEAR(std::hypot(huge.x, huge.y), 1000.0, 1.0);
    const CPoint hugeNegative = RotatePointDeg(1000, 0, -1e300);
    EXPECT_NEAR(std::hypot(hugeNegative.x, hugeNegative.y), 1000.0, 1.0);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(RotatePointDeg(1000, 7, inf), CPoint(1000, 7));
    EXPECT_EQ(RotatePointDeg(1000, 7, -inf), CPoint(1000, 7));
    EXPECT_EQ(RotatePointDeg(1000, 7, std::nan("")), CPoint(1000, 7));
    EXPECT_EQ(RotatePointDouble(1.5, 2.5, std::nan("")), (CPointD{1.5, 2.5}));
}

TEST(RotatePointDoubleTest, QuarterTurnsExactOthersUnrounded)
{
    EXPECT_EQ(RotatePointDouble(1000.5, 2.0, 90.0), (CPointD{2.0, -1000.5}));
    EXPECT_EQ(RotatePointDouble(1000.5, 2.0, -270.0), (CPointD{2.0, -1000.5}));
    EXPECT_EQ(RotatePointDouble(1000.5, 2.0, 180.0), (CPointD{-1000.5, -2.0}));
    const CPointD p = RotatePointDouble(1000.0, 0.0, 45.0);
    EXPECT_NEAR(p.x, 707.1067811865, 1e-6);
    EXPECT_NEAR(p.y, -707.1067811865, 1e-6);
}

TEST(DistanceTest, TruncatesAndHandlesExtremeCoordinates)
{
    EXPECT_EQ(Distance(0, 0, 3, 4), 5);
    EXPECT_EQ(Distance(0, 0, 1, 1), 1);
    EXPECT_EQ(Distance(-3, -4, 0, 0), 5);
    EXPECT_EQ(Distance(0, 0, kMax, 0), kMax);
    EXPECT_EQ(Distance(kMin, 0, kMax, 0), kMax);
    EXPECT_EQ(Distance(kMin, kMin, kMax, kMax), kMax);
    EXPECT_DOUBLE_EQ(DistanceDouble(0, 0, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(DistanceDouble(kMin, 0, kMax, 0), 4294967295.0);
}

TEST(LineAngleTest, DirectionWithYGrowingDownward)
{
    struct {
        double x2, y2, expected;
    } const cases[] = {
        {10, -10, 45.0},   {0, 10, 270.0},   {0, -10, 90.0},  {10, 0, 0.0}, {-10, 0, 180.0},
        {-10, -10, 135.0}, {-10, 10, 225.0}, {10, 10, 315.0}, {0, 0, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(LineAngle(0, 0, c.x2, c.y2), c.expected, 1e-9) << c.x2 << "," << c.y2;
}

TEST(LineAngleTest, MilliDegreesTruncate)
{
    EXPECT_EQ(GeomLineAngleMilli(0, 0, 0, 10), 270000);
    EXPECT_EQ(GeomLineAngleMilli(5, 5, 5, 5), 0);
    // The stored value of pi is a little large, so 45 degrees comes out just below.
    EXPECT_EQ(GeomLineAngleMilli(0, 0, 10, -10), 44999);
    EXPECT_EQ(GeomLineAngleMilli(kMin, kMax, kMax, kMin), 44999);
}

struct TouchCase {
    int32_t left, top, right, bottom, x1, y1, x2, y2;
    bool expected;
};

TEST(SegmentTouchesRectTest, Cases)
{
    const TouchCase cases[] = {
        // The line crosses the right side at y = 1.
        {0, 0, 10, 10, -1, 12, 12, -1, true},
        {0, 0, 10, 10, -1, 11, 30, 9, false},
        {0, 0, 10, 10, 5, 5, 100, 100, true},
        {0, 0, 10, 10, 0, 0, -50, -50, true},
        // Right and bottom are exclusive for end points.
        {0, 0, 10, 10, 10, 10, 20, 20, false},
        {0, 0, 10, 10, -5, -5, -1, 20, false},
        {0, 0, 10, 10, 11, -5, 30, 20, false},
        // Vertical: only a pass right through counts.
        {0, 0, 10, 10, 5, -5, 5, 15, true},
        {0, 0, 10, 10, 5, 15, 5, -5, true},
        {0, 0, 10, 10, 0, -5, 0, 15, false},
        // Horizontal: through the middle; lying on the top or bottom side does not count.
        {0, 0, 10, 10, -5, 5, 15, 5, true},
        {0, 0, 10, 10, 15, 5, -5, 5, true},
        {0, 0, 10, 10, -5, 0, 15, 0, false},
        {0, 0, 10, 10, -5, 10, 15, 10, false},
        // Coordinates at the ends of the range.
        {-5, 0, 5, 10, kMin, kMin, kMax, kMax, true},
        {-5, -4, 5, 4, kMin, kMax, kMax, kMin, true},
        {-5, -4, 5, 4, kMin, 4, kMax, 4, false},
    };
    for (const TouchCase& c : cases)
        EXPECT_EQ(SegmentTouchesRect(c.left, c.top, c.right, c.bottom, c.x1, c.y1, c.x2, c.y2),
                  c.expected)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
}

TEST(UnitsTest, MillimetresTruncateAndSaturate)
{
    EXPECT_EQ(MmToUnits(1.0), 10078);
    EXPECT_EQ(MmToUnits(-1.0), -10078);
    EXPECT_EQ(MmToUnits(25.4), UNITS_PER_INCH);
    EXPECT_EQ(MmToUnits(1e12), kMax);
    EXPECT_EQ(MmToUnits(-1e12), kMin);
    EXPECT_EQ(MmToUnits(std::nan("")), 0);
    EXPECT_DOUBLE_EQ(UnitsToMm(UNITS_PER_INCH), 25.4);
    EXPECT_DOUBLE_EQ(UnitsToMm(UNITS_PER_MIL), 0.0254);
}

TEST(TraceElapsedTest, FormatsSecondsWithAPointUnderAnyLocale)
{
    CScopedLocale german("de_DE.UTF-8");

    const std::string quick = TraceElapsed(TraceClock(), "pass");
    EXPECT_EQ(quick.rfind("Elapsed =  0.0", 0), 0u) << quick;
    EXPECT_EQ(quick.substr(quick.size() - 10), " sec. pass");
    const std::string slow = TraceElapsed(TraceClock() - 123456, "fill");
    EXPECT_EQ(slow.rfind("Elapsed = 123.4", 0), 0u) << slow;
    EXPECT_EQ(slow.substr(slow.size() - 10), " sec. fill");
}

} // namespace
