#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"

// The pixel arithmetic behind the Qt device context: which pixels a one-pixel line, a filled
// polygon or an ellipse covers. Pixel (x, y) has its centre at the integer point
// (x, y). Computing the pixels ourselves, rather than leaving it to the painter, keeps line
// ends, outlines and fills from overlapping, so that every pixel of a shape is painted once.
// All results are limited to a bounds rectangle (the clip box), so far-off coordinates cost
// nothing.
class CPixelRaster {
public:
    // A run of pixels in one row, right exclusive.
    struct Span {
        int32_t y = 0;
        int32_t left = 0;
        int32_t right = 0;
    };

    // Coordinates are clamped to +-limit before any arithmetic: far outside every device, and
    // small enough that products of coordinate differences fit in 64 bits.
    static constexpr int32_t coordinateLimit = 1 << 29;

    // The pixels of the line from `from` toward `to`, in drawing order, `to` itself excluded;
    // only those inside `bounds` are appended. Each appended pixel comes with its step number
    // along the line (0 for `from`) so that callers can lay dash patterns over it.
    static void AppendLine(CPoint from, CPoint to, const CRect& bounds, std::vector<CPoint>& pixels,
                           std::vector<int64_t>* steps = nullptr);

    // The order of pixel lists: by row, then column.
    static bool RowMajorLess(const CPoint& a, const CPoint& b)
    {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    }
    // Sorts pixels in row-major order and drops repeated ones.
    static void SortPixels(std::vector<CPoint>& pixels);

    // The inside of the polygon by the even-odd rule, in row order: a pixel whose centre lies
    // on a left or top edge is inside, on a right or bottom edge outside, so polygons sharing
    // an edge never share a pixel and a rectangle (l, t), (r, t), (r, b), (l, b) fills exactly
    // l..r-1 by t..b-1.
    static std::vector<Span> FillSpans(std::span<const CPoint> polygon, const CRect& bounds);

    // Removes the given pixels (in row-major order) from the spans.
    static std::vector<Span> Subtract(const std::vector<Span>& spans,
                                      const std::vector<CPoint>& sortedPixels);

    // The ellipse that fits the rectangle's outer edges: the pixels (limited to `bounds`) whose
    // centres lie in it, split into its border (pixels with a neighbour above, below, left or
    // right outside the ellipse: a closed ring one pixel thin) and the inside within it. Both
    // are symmetric about the rectangle's centre lines; rect must be normalised.
    static void Ellipse(const CRect& rect, const CRect& bounds, std::vector<Span>& border,
                        std::vector<Span>& inside);
};
