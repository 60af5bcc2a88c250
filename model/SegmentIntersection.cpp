#include "model/SegmentIntersection.h"

#include <algorithm>

#include <cmath>
#include <utility>

#include "framework/Numeric.h"

namespace {

// Half away from zero, kept in double so that values beyond the int32 range compare as
// themselves instead of saturating into a false match.
double RoundHalfAway(double v)
{
    return v >= 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
}

// The dispatch never divides by zero; the replacement only keeps the arithmetic finite.
double NonZero(double divisor)
{
    return divisor == 0.0 ? 0.0001 : divisor;
}

// Inclusive, with the bounds in either order.
bool Between(double v, double a, double b)
{
    return a <= b ? a <= v && v <= b : b <= v && v <= a;
}

double Slope(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return (double(y2) - double(y1)) / NonZero(double(x2) - double(x1));
}

bool SlopedSegmentsMeet(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1,
                        int32_t by1, int32_t bx2, int32_t by2, CPoint& out)
{
    const double m1 = Slope(ax1, ay1, ax2, ay2);
    const double m2 = Slope(bx1, by1, bx2, by2);
    const double c1 = ay1 - m1 * ax1;
    const double c2 = by1 - m2 * bx1;
    if (m1 == m2) {
        if (RoundHalfAway(c1) != RoundHalfAway(c2))
            return false;
        if (bx1 <= ax1 && ax1 <= bx2) {
            out = CPoint(ax1, ay1);
            return true;
        }
        if (bx1 <= ax2 && ax2 <= bx2) {
            out = CPoint(ax2, ay2);
            return true;
        }
        return false;
    }
    const double x = (c2 - c1) / NonZero(m1 - m2);
    const double y = x * m1 + c1;
    out = CPoint(RoundToInt(x), RoundToInt(y));
    const double rx = RoundHalfAway(x);
    const double ry = RoundHalfAway(y);
    return ax1 <= rx && rx <= ax2 && bx1 <= rx && rx <= bx2 && Between(ry, ay1, ay2) &&
           Between(ry, by1, by2);
}

} // namespace

bool VerticalMeetsSloped(int32_t s1x, int32_t s1y, int32_t s2x, int32_t s2y, int32_t x, int32_t y1,
                         int32_t y2, CPoint& out)
{
    if (x < s1x || x > s2x)
        return false;
    const double m = Slope(s1x, s1y, s2x, s2y);
    const double c = s1y - m * s1x;
    const double y = c + m * x;
    out = CPoint(x, RoundToInt(y));
    const double ry = RoundHalfAway(y);
    return Between(ry, s1y, s2y) && Between(ry, y1, y2);
}

bool SlopedMeetsHorizontal(int32_t s1x, int32_t s1y, int32_t s2x, int32_t s2y, int32_t x1,
                           int32_t x2, int32_t y, CPoint& out)
{
    const double m = Slope(s1x, s1y, s2x, s2y);
    const double c = s1y - m * s1x;
    const double x = (y - c) / NonZero(m);
    out = CPoint(RoundToInt(x), y);
    const double rx = RoundHalfAway(x);
    // Rounding x can keep a steep segment "in range" for a line that passes beyond its ends, so
    // the line's y must lie within the segment's y range as well.
    return s1x <= rx && rx <= s2x && x1 <= rx && rx <= x2 && std::min(s1y, s2y) <= y &&
           y <= std::max(s1y, s2y);
}

bool HorizontalOverlap(int32_t ax1, int32_t ay, int32_t ax2, int32_t bx1, int32_t by, int32_t bx2,
                       CPoint& out)
{
    if (ay != by)
        return false;
    if (bx1 <= ax1 && ax1 <= bx2) {
        out = CPoint(ax1, ay);
        return true;
    }
    if (bx1 <= ax2 && ax2 <= bx2) {
        out = CPoint(ax2, ay);
        return true;
    }
    return false;
}

bool VerticalOverlap(int32_t ax, int32_t ay1, int32_t ay2, int32_t bx, int32_t by1, int32_t by2,
                     CPoint& out)
{
    if (ax != bx)
        return false;
    if (Between(by1, ay1, ay2)) {
        out = CPoint(ax, by1);
        return true;
    }
    if (Between(by2, ay1, ay2)) {
        out = CPoint(ax, by2);
        return true;
    }
    return false;
}

bool IntersectSegments(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                       int32_t bx2, int32_t by2, CPoint& out)
{
    if (ax2 < ax1) {
        std::swap(ax1, ax2);
        std::swap(ay1, ay2);
    }
    if (bx2 < bx1) {
        std::swap(bx1, bx2);
        std::swap(by1, by2);
    }
    if (ax1 == ax2) {
        if (bx1 == bx2)
            return VerticalOverlap(ax1, ay1, ay2, bx1, by1, by2, out);
        return VerticalMeetsSloped(bx1, by1, bx2, by2, ax1, ay1, ay2, out);
    }
    if (bx1 == bx2)
        return VerticalMeetsSloped(ax1, ay1, ax2, ay2, bx1, by1, by2, out);
    if (ay1 == ay2) {
        if (by1 == by2)
            return HorizontalOverlap(ax1, ay1, ax2, bx1, by1, bx2, out);
        return SlopedMeetsHorizontal(bx1, by1, bx2, by2, ax1, ax2, ay1, out);
    }
    if (by1 == by2)
        return SlopedMeetsHorizontal(ax1, ay1, ax2, ay2, bx1, bx2, by1, out);
    return SlopedSegmentsMeet(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2, out);
}
