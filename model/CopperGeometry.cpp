#include "model/CopperGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "framework/Numeric.h"
#include "model/CPointArray.h"
#include "model/Geometry.h"
#include "model/SegmentIntersection.h"

namespace {

constexpr int32_t kMaxCoord = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinCoord = std::numeric_limits<int32_t>::min();

// A whole-unit distance, kept in double so that no sum of widths or radii can overflow or
// saturate into a false contact.
double TruncatedDistance(double x1, double y1, double x2, double y2)
{
    return std::trunc(std::hypot(x1 - x2, y1 - y2));
}

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, kMinCoord, kMaxCoord));
}

// A segment's own frame: u runs along it from 0 at the start to its (truncated) length at the
// end, v across it.
struct SegmentFrame {
    CPoint start;
    double length;
    double angle;

    SegmentFrame(CPoint a, CPoint b)
        : start(a), length(TruncatedDistance(a.x, a.y, b.x, b.y)),
          angle(LineAngle(a.x, a.y, b.x, b.y))
    {
    }

    CPointD Of(CPoint p) const
    {
        return RotatePointDouble(double(p.x) - start.x, double(p.y) - start.y, -angle);
    }
};

// The truncated distance of p from the segment, signed across it beside the segment.
double DistanceToSegment(CPoint a, CPoint b, CPoint p, CPoint& nearest)
{
    const SegmentFrame frame(a, b);
    const CPointD q = frame.Of(p);
    if (q.x < 0.0) {
        nearest = a;
        return TruncatedDistance(a.x, a.y, p.x, p.y);
    }
    if (q.x <= frame.length) {
        const CPointD along = RotatePointDouble(q.x, 0.0, frame.angle);
        nearest = CPoint(ClampToInt32(int64_t(a.x) + TruncToInt(along.x)),
                         ClampToInt32(int64_t(a.y) + TruncToInt(along.y)));
        return std::trunc(q.y);
    }
    nearest = b;
    return TruncatedDistance(frame.length, 0.0, q.x, q.y);
}

// Whether both points lie beyond the same end of the segment or on the same side of its line.
bool BothOnOneSide(const SegmentFrame& frame, CPoint p1, CPoint p2)
{
    const CPointD q1 = frame.Of(p1);
    const CPointD q2 = frame.Of(p2);
    return (q1.x < 0.0 && q2.x < 0.0) || (q1.x > frame.length && q2.x > frame.length) ||
           (q1.y < 0.0 && q2.y < 0.0) || (q1.y > 0.0 && q2.y > 0.0);
}

// The least x of the points, index 1 onwards (index 0 repeats the last point), the first on
// ties.
size_t LeftmostIndex(std::span<const CPoint> ring)
{
    size_t k = 1;
    for (size_t i = 2; i < ring.size(); ++i) {
        if (ring[i].x < ring[k].x)
            k = i;
    }
    return k;
}

// The turn at the leftmost point shows how the whole ring winds.
bool WindsTheOtherWay(std::span<const CPoint> ring)
{
    if (ring.size() < 3)
        return false;
    const size_t k = LeftmostIndex(ring);
    const CPoint prev = ring[k - 1];
    const CPoint at = ring[k];
    const CPoint next = k + 1 < ring.size() ? ring[k + 1] : ring[1];
    const double angle = LineAngle(prev.x, prev.y, at.x, at.y);
    // In double: the coordinate differences of distant points overflow int32.
    const CPointD v = RotatePointDouble(double(next.x) - prev.x, double(next.y) - prev.y, -angle);
    return RoundToInt(v.y) >= 1;
}

} // namespace

bool CirclesTouch(CPoint c1, CPoint c2, int32_t r1, int32_t r2)
{
    return std::trunc(DistanceDouble(c1.x, c1.y, c2.x, c2.y)) <= double(r1) + double(r2);
}

bool SegmentTouchesCircle(CPoint a, CPoint b, CPoint centre, int32_t w, int32_t r)
{
    const double reach = double(w) + double(r);
    const SegmentFrame frame(a, b);
    const CPointD q = frame.Of(centre);
    if (q.x < -reach || q.x > frame.length + reach || q.y < -reach || q.y > reach)
        return false;
    if (q.x < 0.0 && TruncatedDistance(a.x, a.y, centre.x, centre.y) > reach)
        return false;
    if (q.x <= frame.length)
        return true;
    return TruncatedDistance(frame.length, 0.0, q.x, q.y) <= reach;
}

int32_t PointToSegmentDistance(CPoint a, CPoint b, CPoint p, CPoint& nearest)
{
    return TruncToInt(DistanceToSegment(a, b, p, nearest));
}

bool SegmentsCross(CPoint a1, CPoint a2, CPoint b1, CPoint b2)
{
    return !BothOnOneSide(SegmentFrame(a1, a2), b1, b2) &&
           !BothOnOneSide(SegmentFrame(b1, b2), a1, a2);
}

bool SegmentsTouch(CPoint a1, CPoint a2, CPoint b1, CPoint b2, int32_t wa, int32_t wb)
{
    const double reach = double(wa) + double(wb);
    CPoint nearest;
    if (std::fabs(DistanceToSegment(a1, a2, b1, nearest)) < reach ||
        std::fabs(DistanceToSegment(a1, a2, b2, nearest)) < reach ||
        std::fabs(DistanceToSegment(b1, b2, a1, nearest)) < reach ||
        std::fabs(DistanceToSegment(b1, b2, a2, nearest)) < reach)
        return true;
    return SegmentsCross(a1, a2, b1, b2);
}

bool CircleTouchesPolygon(CPoint centre, int32_t r, std::span<const CPoint> ring)
{
    for (size_t k = 1; k < ring.size(); ++k) {
        if (SegmentTouchesCircle(ring[k - 1], ring[k], centre, 0, r))
            return true;
    }

    // Inside when a ray from the centre to the left crosses an odd number of edges. The ray
    // reaches past the ring's leftmost point, so rings at negative x are judged like any other.
    int64_t leftmost = 0;
    for (const CPoint& p : ring)
        leftmost = std::min<int64_t>(leftmost, p.x);
    const CPoint rayEnd(ClampToInt32(std::min<int64_t>(0, leftmost - 1)), centre.y);
    int32_t crossings = 0;
    for (size_t k = 1; k < ring.size(); ++k) {
        CPoint low = ring[k - 1];
        CPoint high = ring[k];
        if (centre == low || centre == high)
            return true;
        if (low.y > high.y)
            std::swap(low, high);
        if (!(low.y < centre.y && centre.y <= high.y))
            continue;
        if (low.x < centre.x && high.x < centre.x)
            ++crossings;
        else if (SegmentsCross(low, high, centre, rayEnd))
            ++crossings;
    }
    return crossings % 2 == 1;
}

bool PolygonsCross(std::span<const CPoint> a, std::span<const CPoint> b)
{
    for (size_t i = 1; i < a.size(); ++i) {
        for (size_t j = 1; j < b.size(); ++j) {
            if (SegmentsCross(a[i - 1], a[i], b[j - 1], b[j]))
                return true;
        }
    }
    return false;
}

bool PointInPolygon(CPoint p, std::span<const CPoint> ring)
{
    if (ring.size() < 2)
        return false;

    int32_t left = kMaxCoord;
    int32_t top = kMaxCoord;
    int32_t right = kMinCoord;
    int32_t bottom = kMinCoord;
    for (const CPoint& q : ring) {
        left = std::min(left, q.x);
        top = std::min(top, q.y);
        right = std::max(right, q.x);
        bottom = std::max(bottom, q.y);
    }
    if (p.x < left || p.x >= right || p.y < top || p.y >= bottom)
        return false;

    // Walk the ring as NormalizeWinding would leave it, without changing the caller's points.
    const size_t n = ring.size();
    const bool reversed = WindsTheOtherWay(ring);
    const auto at = [&](size_t i) { return reversed ? ring[n - 1 - i] : ring[i]; };

    int32_t limit = kMaxCoord;
    size_t nearestEdge = 0;
    for (size_t k = 1; k < n; ++k) {
        const CPoint from = at(k - 1);
        const CPoint to = at(k);
        CPoint hit;
        if (IntersectSegments(from.x, from.y, to.x, to.y, p.x, p.y, limit, p.y, hit) &&
            p.x < hit.x && hit.x <= limit) {
            limit = hit.x;
            nearestEdge = k;
        }
    }
    if (nearestEdge == 0)
        return false;
    return at(nearestEdge - 1).y > at(nearestEdge).y;
}

void NormalizeWinding(std::span<CPoint> ring)
{
    if (WindsTheOtherWay(ring))
        std::reverse(ring.begin(), ring.end());
}

void NormalizeWinding(CPointArray& ring)
{
    NormalizeWinding(std::span<CPoint>(ring.GetData(), static_cast<size_t>(ring.GetSize())));
}
