#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/CPoint.h"

// Rectangle in the stored order left, top, right, bottom. Right and bottom are exclusive: a
// point is inside when left <= x < right and top <= y < bottom, and a rectangle with
// left >= right or top >= bottom is empty.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }

    constexpr bool operator==(const CRect&) const = default;

    constexpr int64_t Width() const { return int64_t(right) - left; }
    constexpr int64_t Height() const { return int64_t(bottom) - top; }
    constexpr bool IsRectEmpty() const { return left >= right || top >= bottom; }
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Swaps the coordinates so that left <= right and top <= bottom.
    constexpr void NormalizeRect()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    // The common part of two rectangles; empty (all zero) when they do not overlap.
    static constexpr CRect Intersection(const CRect& a, const CRect& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        return r.IsRectEmpty() ? CRect() : r;
    }
};
