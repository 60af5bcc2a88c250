#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/PadShapes.h"

// The outline of one copper item, reduced to a circle, a closed polygon, a segment with a half
// width or a point, and the contact tests between outlines. Pad outlines are grown by a
// clearance, so the same tests answer "connected" (clearance 0) and "too close".
class CCopperShape {
public:
    // The form of the outline; None (no copper) touches nothing.
    enum class Kind : int32_t { None, Circle, Polygon, Track, Point };

    CCopperShape() = default;
    CCopperShape(const CCopperShape&) = default;
    CCopperShape& operator=(const CCopperShape&) = default;
    virtual ~CCopperShape() = default;

    // The outline of a pad whose rectangle (relative to its origin) is `padRect`, placed at
    // (x, y), mirrored in x first when `mirrored`, turned by `angle` (1/1000 degree) and grown by
    // `clearance` on every side. Round pads become circles, oval pads a segment along their long
    // axis with half the short side as half width, octagons 9-point rings and every other shape
    // with copper its 5-point rectangle ring. Code 0 and unknown codes give no outline.
    void SetPad(int32_t shapeCode, const CRect& padRect, int32_t x, int32_t y, bool mirrored,
                int32_t angle, int32_t clearance);
    void SetTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t halfWidth);
    void SetPoint(int32_t x, int32_t y);

    // Whether this outline touches the pad that SetPad with the same arguments would make. Pads
    // whose bounding rectangles do not overlap (right and bottom exclusive) never touch.
    bool TouchesPad(int32_t shapeCode, const CRect& padRect, int32_t x, int32_t y, bool mirrored,
                    int32_t angle, int32_t clearance) const;
    // How far from its origin a pad of the rectangle and clearance can reach at any turn and on
    // either side, generously: an outline whose bounds stay farther off misses it.
    static int64_t PadMissDistance(const CRect& padRect, int32_t clearance);
    // Whether the bounds stay farther than `distance` from (x, y) along either axis.
    bool IsFartherThan(int32_t x, int32_t y, int64_t distance) const;
    // The same for a pad outline already made.
    bool TouchesOutline(const CCopperShape& pad) const;
    // Whether this outline touches the segment of the given half width.
    bool TouchesSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t halfWidth) const;

    Kind GetKind() const { return m_kind; }
    // The closed ring of a polygon outline (last point repeats the first); empty otherwise.
    std::span<const CPoint> GetPolygon() const
    {
        return {m_points.data(), static_cast<size_t>(m_pointCount)};
    }
    // Centre of a circle or point outline.
    CPoint GetCentre() const { return m_centre; }
    // Radius of a circle outline, half width of a track outline.
    int32_t GetRadius() const { return m_radius; }
    CRect GetBounds() const { return m_bounds; }
    // End points of a track outline.
    CPoint GetStart() const { return m_start; }
    CPoint GetEnd() const { return m_end; }

private:
    // No outline: every field back to its initial value.
    void Reset();
    void SetCircle(int64_t l, int64_t t, int64_t r, int64_t b, int32_t x, int32_t y, int32_t angle);
    void SetStadium(int64_t l, int64_t t, int64_t r, int64_t b, int32_t x, int32_t y,
                    int32_t angle);
    void SetRing(int32_t shapeCode, int64_t l, int64_t t, int64_t r, int64_t b, int32_t x,
                 int32_t y, int32_t angle);

    bool TouchesCircle(CPoint centre, int32_t radius) const;
    bool TouchesPolygon(std::span<const CPoint> ring) const;

    Kind m_kind = Kind::None;
    // Room for the largest ring, the octagon's 9 points; m_pointCount of them are in use.
    std::array<CPoint, 10> m_points{};
    int32_t m_pointCount = 0;
    CPoint m_centre;
    int32_t m_radius = 0;
    CRect m_bounds;
    CPoint m_start;
    CPoint m_end;
};
