#include "framework/qt/CPixelRaster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int64_t Clamped(int32_t value)
{
    return std::clamp<int64_t>(value, -CPixelRaster::coordinateLimit,
                               CPixelRaster::coordinateLimit);
}

int64_t FloorDiv(int64_t num, int64_t den) // den > 0
{
    int64_t q = num / den;
    return (num % den != 0 && num < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t num, int64_t den) // den > 0
{
    return -FloorDiv(-num, den);
}

struct Edge {
    int64_t top = 0;    // first row the edge crosses
    int64_t bottom = 0; // first row it no longer crosses
    int64_t x0 = 0;     // a point of the edge and its direction, with dy > 0
    int64_t y0 = 0;
    int64_t dx = 0;
    int64_t dy = 0;
};

} // namespace

void CPixelRaster::AppendLine(CPoint from, CPoint to, const CRect& bounds,
                              std::vector<CPoint>& pixels, std::vector<int64_t>* steps)
{
    const int64_t x0 = Clamped(from.x), y0 = Clamped(from.y);
    const int64_t dx = Clamped(to.x) - x0, dy = Clamped(to.y) - y0;
    const int64_t length = std::max(std::abs(dx), std::abs(dy));
    if (length == 0 || bounds.IsRectEmpty())
        return;
    // Walk the major axis one pixel per step; the minor coordinate is the exact line's,
    // rounded to the nearest pixel (halves downward on the screen, or to the right).
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int64_t minorDelta = xMajor ? dy : dx;
    const int64_t majorLow = xMajor ? bounds.left : bounds.top;
    const int64_t majorHigh = xMajor ? bounds.right : bounds.bottom;
    const int64_t minorLow = xMajor ? bounds.top : bounds.left;
    const int64_t minorHigh = xMajor ? bounds.bottom : bounds.right;

    int64_t first = 0, last = 0; // steps first..last-1 lie inside the bounds' major range
    if (majorStep > 0) {
        first = std::max<int64_t>(0, majorLow - major0);
        last = std::min(length, majorHigh - major0);
    } else {
        first = std::max<int64_t>(0, major0 - majorHigh + 1);
        last = std::min(length, major0 - majorLow + 1);
    }
    for (int64_t i = first; i < last; ++i) {
        int64_t minor = minor0 + FloorDiv(2 * i * minorDelta + length, 2 * length);
        if (minor < minorLow || minor >= minorHigh)
            continue;
        int64_t major = major0 + i * majorStep;
        pixels.push_back(xMajor ? CPoint(int32_t(major), int32_t(minor))
                                : CPoint(int32_t(minor), int32_t(major)));
        if (steps)
            steps->push_back(i);
    }
}

void CPixelRaster::SortPixels(std::vector<CPoint>& pixels)
{
    std::sort(pixels.begin(), pixels.end(), CPixelRaster::RowMajorLess);
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
}

std::vector<CPixelRaster::Span> CPixelRaster::FillSpans(std::span<const CPoint> polygon,
                                                        const CRect& bounds)
{
    std::vector<Span> spans;
    if (polygon.size() < 3 || bounds.IsRectEmpty())
        return spans;

    std::vector<Edge> edges;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const CPoint& a = polygon[i];
        const CPoint& b = polygon[(i + 1) % polygon.size()];
        int64_t ax = Clamped(a.x), ay = Clamped(a.y), bx = Clamped(b.x), by = Clamped(b.y);
        if (ay == by)
            continue; // horizontal edges cross no row centre
        if (ay > by) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        // Rows ay..by-1: the top end counts, the bottom end does not.
        int64_t top = std::max<int64_t>(ay, bounds.top);
        int64_t bottom = std::min<int64_t>(by, bounds.bottom);
        if (top < bottom)
            edges.push_back({top, bottom, ax, ay, bx - ax, by - ay});
    }
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.top < b.top; });
    if (edges.empty())
        return spans;

    std::vector<const Edge*> active;
    std::vector<int64_t> crossings;
    size_t next = 0;
    int64_t y = edges.front().top;
    while (next < edges.size() || !active.empty()) {
        if (active.empty())
            y = std::max(y, edges[next].top);
        while (next < edges.size() && edges[next].top <= y)
            active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* e) { return e->bottom <= y; });
        if (active.empty())
            continue;

        // A pixel is inside when its centre lies at or right of a left crossing and left of
        // the right one: the span runs from ceil(left) up to ceil(right), exclusive.
        crossings.clear();
        for (const Edge* e : active)
            crossings.push_back(CeilDiv(e->x0 * e->dy + (y - e->y0) * e->dx, e->dy));
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            int64_t left = std::max<int64_t>(crossings[i], bounds.left);
            int64_t right = std::min<int64_t>(crossings[i + 1], bounds.right);
            if (left < right)
                spans.push_back({int32_t(y), int32_t(left), int32_t(right)});
        }
        ++y;
    }
    return spans;
}

std::vector<CPixelRaster::Span> CPixelRaster::Subtract(const std::vector<Span>& spans,
                                                       const std::vector<CPoint>& sortedPixels)
{
    std::vector<Span> result;
    for (const Span& span : spans) {
        auto it = std::lower_bound(sortedPixels.begin(), sortedPixels.end(),
                                   CPoint(span.left, span.y), CPixelRaster::RowMajorLess);
        int32_t left = span.left;
        for (; it != sortedPixels.end() && it->y == span.y && it->x < span.right; ++it) {
            if (it->x > left)
                result.push_back({span.y, left, it->x});
            left = it->x + 1;
        }
        if (left < span.right)
            result.push_back({span.y, left, span.right});
    }
    return result;
}

void CPixelRaster::Ellipse(const CRect& rect, const CRect& bounds, std::vector<Span>& border,
                           std::vector<Span>& inside)
{
    if (rect.IsRectEmpty() || bounds.IsRectEmpty())
        return;
    // In pixel-centre coordinates the rectangle's outer edges lie half a pixel beyond its
    // outermost pixels.
    const double centreX = (double(rect.left) + rect.right - 1) / 2;
    const double centreY = (double(rect.top) + rect.bottom - 1) / 2;
    const double halfWidth = (double(rect.right) - rect.left) / 2;
    const double halfHeight = (double(rect.bottom) - rect.top) / 2;
    // The row's pixels inside, [left, right); empty outside the ellipse.
    auto row = [&](int64_t y) -> std::pair<int64_t, int64_t> {
        const double dy = (double(y) - centreY) / halfHeight;
        const double rest = 1.0 - dy * dy;
        if (y < rect.top || y >= rect.bottom || rest < 0.0)
            return {0, 0};
        const double half = halfWidth * std::sqrt(rest) + 1e-9;
        const int64_t left = std::max<int64_t>(int64_t(std::ceil(centreX - half)), rect.left);
        const int64_t right =
            std::min<int64_t>(int64_t(std::floor(centreX + half)) + 1, rect.right);
        return left < right ? std::pair{left, right} : std::pair<int64_t, int64_t>{0, 0};
    };
    auto add = [&](std::vector<Span>& spans, int64_t y, int64_t left, int64_t right) {
        left = std::max<int64_t>(left, bounds.left);
        right = std::min<int64_t>(right, bounds.right);
        if (left < right)
            spans.push_back({int32_t(y), int32_t(left), int32_t(right)});
    };
    const int64_t top = std::max(rect.top, bounds.top);
    const int64_t bottom = std::min(rect.bottom, bounds.bottom);
    for (int64_t y = top; y < bottom; ++y) {
        const auto [left, right] = row(y);
        if (left >= right)
            continue;
        const auto [upLeft, upRight] = row(y - 1);
        const auto [downLeft, downRight] = row(y + 1);
        int64_t innerLeft = std::max({left + 1, upLeft, downLeft});
        int64_t innerRight = std::min({right - 1, upRight, downRight});
        if (upLeft >= upRight || downLeft >= downRight || innerLeft >= innerRight) {
            add(border, y, left, right);
            continue;
        }
        add(border, y, left, innerLeft);
        add(inside, y, innerLeft, innerRight);
        add(border, y, innerRight, right);
    }
}
