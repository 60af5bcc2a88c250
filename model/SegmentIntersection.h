#pragma once

#include <cstdint>

#include "framework/CPoint.h"

// Whether two segments meet, and where (in board units). Axis-parallel segments, which make up
// most outlines and fill lines, take exact dedicated routes; only two sloped segments go through
// slope and intercept arithmetic. Collinear overlaps report the first end of the first segment
// that lies within the second (or, for two vertical segments, the reverse), so the answer may
// depend on the order of the two segments.
bool IntersectSegments(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                       int32_t bx2, int32_t by2, CPoint& out);

// The dedicated routes, for segments already ordered by x (x1 <= x2 on both).

// Sloped (s1-s2, s1x < s2x) against the vertical segment at x from y1 to y2.
bool VerticalMeetsSloped(int32_t s1x, int32_t s1y, int32_t s2x, int32_t s2y, int32_t x, int32_t y1,
                         int32_t y2, CPoint& out);
// Sloped (s1-s2, s1x < s2x, s1y != s2y) against the horizontal segment from x1 to x2 at y.
bool SlopedMeetsHorizontal(int32_t s1x, int32_t s1y, int32_t s2x, int32_t s2y, int32_t x1,
                           int32_t x2, int32_t y, CPoint& out);
// Two horizontal segments: true at the first end of a that lies within b.
bool HorizontalOverlap(int32_t ax1, int32_t ay, int32_t ax2, int32_t bx1, int32_t by, int32_t bx2,
                       CPoint& out);
// Two vertical segments: true at the first end of b that lies within a.
bool VerticalOverlap(int32_t ax, int32_t ay1, int32_t ay2, int32_t bx, int32_t by1, int32_t by2,
                     CPoint& out);
