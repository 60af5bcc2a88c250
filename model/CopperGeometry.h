#pragma once

#include <cstdint>
#include <span>

#include "framework/CPoint.h"

class CPointArray;

// Contact tests between the forms copper takes: circles, closed polygons (rings whose last point
// repeats the first) and segments with a half width. They measure in a segment's own frame (u
// along the segment from its start, v across it) with distances truncated to whole units, so
// "touching" means exactly what the pad, track and clearance checks have always meant by it.

// Whether two circles touch: the truncated distance of the centres is at most r1 + r2.
bool CirclesTouch(CPoint c1, CPoint c2, int32_t r1, int32_t r2);

// Whether the segment a-b of half width w meets the circle (centre, r): the centre lies within
// w + r of it, the boundary included.
bool SegmentTouchesCircle(CPoint a, CPoint b, CPoint centre, int32_t w, int32_t r);

// Distance from p to the segment a-b, and the segment's point nearest to p. Beside the segment
// the result is the signed distance across it (callers compare its absolute value); beyond an
// end it is the distance to that end.
int32_t PointToSegmentDistance(CPoint a, CPoint b, CPoint p, CPoint& nearest);

// Whether segment a meets segment b; touching ends and collinear overlaps count.
bool SegmentsCross(CPoint a1, CPoint a2, CPoint b1, CPoint b2);

// Whether segments of half widths wa and wb touch: an end of one lies nearer than wa + wb to the
// other, or they cross.
bool SegmentsTouch(CPoint a1, CPoint a2, CPoint b1, CPoint b2, int32_t wa, int32_t wb);

// Whether the circle meets an edge of the ring or lies inside it.
bool CircleTouchesPolygon(CPoint centre, int32_t r, std::span<const CPoint> ring);

// Whether an edge of one ring crosses an edge of the other. A ring wholly inside the other does
// not count.
bool PolygonsCross(std::span<const CPoint> a, std::span<const CPoint> b);

// Whether p lies inside the ring, judged by the direction of the nearest edge to its right once
// the ring winds the program's way. The ring itself is not changed.
bool PointInPolygon(CPoint p, std::span<const CPoint> ring);

// Makes a ring of 3 or more points wind the program's one way (the way a positive rotation angle
// turns), reversing it in place when it winds the other way.
void NormalizeWinding(std::span<CPoint> ring);
void NormalizeWinding(CPointArray& ring);
