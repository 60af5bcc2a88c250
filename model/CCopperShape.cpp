#include "model/CCopperShape.h"
#include "framework/Numeric.h"
#include "model/PadShapes.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "model/CopperGeometry.h"
#include "model/Geometry.h"

namespace {

// A point of the pad's own frame turned by the placement angle and moved to the placement.
CPoint Placed(int64_t px, int64_t py, int32_t angle, int32_t x, int32_t y)
{
    const CPoint turned = RotatePoint(SaturateToInt(px), SaturateToInt(py), angle);
    return CPoint(SaturateToInt(int64_t(turned.x) + x), SaturateToInt(int64_t(turned.y) + y));
}

} // namespace

void CCopperShape::SetPad(int32_t shapeCode, const CRect& padRect, int32_t x, int32_t y,
                          bool mirrored, int32_t angle, int32_t clearance)
{
    Reset();

    // In 64 bits: a large clearance must not wrap the rectangle around.
    int64_t l = padRect.left;
    int64_t r = padRect.right;
    if (mirrored) {
        l = -int64_t(padRect.right);
        r = -int64_t(padRect.left);
    }
    l -= clearance;
    r += clearance;
    const int64_t t = int64_t(padRect.top) - clearance;
    const int64_t b = int64_t(padRect.bottom) + clearance;

    switch (shapeCode) {
    case PAD_ROUND:
        SetCircle(l, t, r, b, x, y, angle);
        break;
    case PAD_OVAL:
        SetStadium(l, t, r, b, x, y, angle);
        break;
    case PAD_SQUARE:
    case PAD_RECTANGLE:
    case PAD_OCTAGON:
    case PAD_OCTAGON_W:
    case PAD_CONNECTOR:
    case PAD_DEVICE:
    case PAD_LINE:
        SetRing(shapeCode, l, t, r, b, x, y, angle);
        break;
    default:
        break;
    }
}

void CCopperShape::Reset()
{
    m_kind = Kind::None;
    m_points.fill(CPoint());
    m_pointCount = 0;
    m_centre = CPoint();
    m_radius = 0;
    m_bounds = CRect();
    m_start = CPoint();
    m_end = CPoint();
}

void CCopperShape::SetCircle(int64_t l, int64_t t, int64_t r, int64_t b, int32_t x, int32_t y,
                             int32_t angle)
{
    m_kind = Kind::Circle;
    m_radius = SaturateToInt((r - l) >> 1);
    // An offset pad sits where it is drawn: its centre turns with the pad.
    const int64_t mx = (l + r) / 2;
    const int64_t my = (t + b) / 2;
    m_centre = Placed(mx, my, angle, x, y);
    const int64_t dx = int64_t(m_centre.x) - mx;
    const int64_t dy = int64_t(m_centre.y) - my;
    m_bounds = CRect(SaturateToInt(l + dx), SaturateToInt(t + dy), SaturateToInt(r + dx),
                     SaturateToInt(b + dy));
}

void CCopperShape::SetStadium(int64_t l, int64_t t, int64_t r, int64_t b, int32_t x, int32_t y,
                              int32_t angle)
{
    const int64_t w = r - l;
    const int64_t h = b - t;
    const int64_t mx = (l + r) / 2;
    const int64_t my = (t + b) / 2;
    // The round ends sit half the short side in from the ends of the long side.
    const int64_t half = std::min(w, h) / 2;
    CPoint start;
    CPoint end;
    if (w >= h) {
        start = Placed(l + half, my, angle, x, y);
        end = Placed(r - half, my, angle, x, y);
    } else {
        start = Placed(mx, t + half, angle, x, y);
        end = Placed(mx, b - half, angle, x, y);
    }
    SetTrack(start.x, start.y, end.x, end.y, SaturateToInt(half));
}

void CCopperShape::SetRing(int32_t shapeCode, int64_t l, int64_t t, int64_t r, int64_t b, int32_t x,
                           int32_t y, int32_t angle)
{
    m_kind = Kind::Polygon;
    if (shapeCode == PAD_OCTAGON || shapeCode == PAD_OCTAGON_W) {
        const int64_t c = std::min(r - l, b - t) / 4;
        const int64_t corners[9][2] = {{l + c, t}, {r - c, t}, {r, t + c}, {r, b - c}, {r - c, b},
                                       {l + c, b}, {l, b - c}, {l, t + c}, {l + c, t}};
        for (const auto& corner : corners)
            m_points[size_t(m_pointCount++)] = Placed(corner[0], corner[1], angle, x, y);
    } else {
        const int64_t corners[5][2] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        for (const auto& corner : corners)
            m_points[size_t(m_pointCount++)] = Placed(corner[0], corner[1], angle, x, y);
    }

    const std::span<const CPoint> ring = GetPolygon();
    const auto [minX, maxX] = std::minmax_element(
        ring.begin(), ring.end(), [](const CPoint& a, const CPoint& b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(
        ring.begin(), ring.end(), [](const CPoint& a, const CPoint& b) { return a.y < b.y; });
    m_bounds = CRect(minX->x, minY->y, maxX->x, maxY->y);
}

void CCopperShape::SetTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t halfWidth)
{
    Reset();
    m_kind = Kind::Track;
    m_start = CPoint(x1, y1);
    m_end = CPoint(x2, y2);
    m_radius = halfWidth;
    m_bounds = CRect(SaturateToInt(int64_t(std::min(x1, x2)) - halfWidth),
                     SaturateToInt(int64_t(std::min(y1, y2)) - halfWidth),
                     SaturateToInt(int64_t(std::max(x1, x2)) + halfWidth),
                     SaturateToInt(int64_t(std::max(y1, y2)) + halfWidth));
}

void CCopperShape::SetPoint(int32_t x, int32_t y)
{
    Reset();
    m_kind = Kind::Point;
    m_centre = CPoint(x, y);
    m_bounds = CRect(SaturateToInt(int64_t(x) - 1), SaturateToInt(int64_t(y) - 1),
                     SaturateToInt(int64_t(x) + 1), SaturateToInt(int64_t(y) + 1));
}

int64_t CCopperShape::PadMissDistance(const CRect& padRect, int32_t clearance)
{
    // However it is turned or shaped, a pad stays well inside its rectangle's extents added up
    // about its origin.
    const auto extent = [](int64_t a, int64_t b) { return std::max(std::abs(a), std::abs(b)); };
    return 2 * (extent(padRect.left, padRect.right) + extent(padRect.top, padRect.bottom) +
                2 * std::abs(int64_t(clearance))) +
           2;
}

bool CCopperShape::IsFartherThan(int32_t x, int32_t y, int64_t distance) const
{
    return m_bounds.right < x - distance || m_bounds.left > x + distance ||
           m_bounds.bottom < y - distance || m_bounds.top > y + distance;
}

bool CCopperShape::TouchesPad(int32_t shapeCode, const CRect& padRect, int32_t x, int32_t y,
                              bool mirrored, int32_t angle, int32_t clearance) const
{
    if (IsFartherThan(x, y, PadMissDistance(padRect, clearance)))
        return false;
    CCopperShape other;
    other.SetPad(shapeCode, padRect, x, y, mirrored, angle, clearance);
    return TouchesOutline(other);
}

bool CCopperShape::TouchesOutline(const CCopperShape& other) const
{
    // Cheap rejection before any trigonometry; rectangles that only share an edge are apart.
    if (CRect::Intersection(m_bounds, other.m_bounds).IsRectEmpty())
        return false;
    switch (other.m_kind) {
    case Kind::Circle:
        return TouchesCircle(other.m_centre, other.m_radius);
    case Kind::Polygon:
        return TouchesPolygon(other.GetPolygon());
    case Kind::Track:
        return TouchesSegment(other.m_start.x, other.m_start.y, other.m_end.x, other.m_end.y,
                              other.m_radius);
    default:
        return false;
    }
}

bool CCopperShape::TouchesSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                  int32_t halfWidth) const
{
    const CPoint a(x1, y1);
    const CPoint b(x2, y2);
    switch (m_kind) {
    case Kind::Circle:
        return SegmentTouchesCircle(a, b, m_centre, halfWidth, m_radius);
    case Kind::Track:
        return SegmentsTouch(m_start, m_end, a, b, m_radius, halfWidth);
    case Kind::Point:
        return SegmentTouchesCircle(a, b, m_centre, 0, halfWidth);
    case Kind::Polygon:
        for (int32_t k = 1; k < m_pointCount; ++k) {
            if (SegmentsTouch(a, b, m_points[size_t(k - 1)], m_points[size_t(k)], halfWidth, 0))
                return true;
        }
        return false;
    default:
        return false;
    }
}

bool CCopperShape::TouchesCircle(CPoint centre, int32_t radius) const
{
    switch (m_kind) {
    case Kind::Circle:
        return CirclesTouch(m_centre, centre, m_radius, radius);
    case Kind::Polygon:
        return CircleTouchesPolygon(centre, radius, GetPolygon());
    case Kind::Track:
        return SegmentTouchesCircle(m_start, m_end, centre, m_radius, radius);
    case Kind::Point:
        // A point on the rim is outside.
        return Distance(m_centre.x, m_centre.y, centre.x, centre.y) < radius;
    default:
        return false;
    }
}

bool CCopperShape::TouchesPolygon(std::span<const CPoint> ring) const
{
    switch (m_kind) {
    case Kind::Circle:
        return CircleTouchesPolygon(m_centre, m_radius, ring);
    case Kind::Polygon:
        return PolygonsCross(GetPolygon(), ring);
    case Kind::Track:
        for (size_t k = 1; k < ring.size(); ++k) {
            if (SegmentsTouch(m_start, m_end, ring[k - 1], ring[k], m_radius, 0))
                return true;
        }
        return false;
    case Kind::Point:
        return PointInPolygon(m_centre, ring);
    default:
        return false;
    }
}
