#pragma once

#include <cstdint>
#include <vector>

#include "framework/CRect.h"

class CSpatialGrid;

// The boxes the connectivity checks put round copper items, and the grids laid over them. A box
// with left > right stands for an item that takes no part (no copper on any layer).

// A little more than the reach, so that the boxes of touching copper always meet.
CRect BoxAround(int32_t x, int32_t y, int64_t reach);
// The same margin round a track of the width from (x1, y1) to (x2, y2).
CRect BoxAlong(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
// The box of an item without copper, such as a run start.
inline CRect NoCopperBox()
{
    return CRect(1, 1, 0, 0);
}

// Both are asked for every pair of items the checks consider: inline.
inline bool IsEmptyBox(const CRect& box)
{
    return box.left > box.right;
}

// Boxes count with their edges: boxes that only share an edge or a corner meet.
inline bool BoxesMeet(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// The extent of a set of boxes, wide enough for boxes at the ends of the coordinate range.
struct BoxExtent {
    int64_t left = INT32_MAX;
    int64_t top = INT32_MAX;
    int64_t right = INT32_MIN;
    int64_t bottom = INT32_MIN;

    bool IsEmpty() const { return left > right; }
    void Add(const std::vector<CRect>& boxes);
};

// Adds every box that is not empty to `grid` under its index, moved by -origin so that a grid
// laid over the copper wherever it lies starts at 0.
void AddBoxesToGrid(CSpatialGrid& grid, const std::vector<CRect>& boxes, int64_t originX,
                    int64_t originY);
