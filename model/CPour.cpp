#include "model/CPour.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <span>

#include "framework/CArchive.h"
#include "framework/CBrush.h"
#include "framework/CDeviceContext.h"
#include "framework/CPen.h"
#include "framework/CResString.h"
#include "model/CCopperShape.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"
#include "model/SegmentIntersection.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CPour, "CPour", 0)

namespace {

constexpr COLORREF errorMarkColor = RGB(255, 200, 200);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr int32_t errorMarkHalf = 32;

CPoint Offset(CPoint p, int32_t dx, int32_t dy)
{
    return {SaturateToInt(int64_t(p.x) + dx), SaturateToInt(int64_t(p.y) + dy)};
}

// A 64-bit digest of the values a drawing depends on, with the box of the points among them.
// It is made on every repaint over many thousands of fill points: the points go through four
// independent chains of multiplications and the box is kept in locals, so that neither the
// latency of one chain nor stores and reloads of the box set the pace.
class CPictureKey {
public:
    void Add(int64_t v) { m_hash = Mix(m_hash, uint64_t(v)); }

    // Adds pointAt(0) .. pointAt(count - 1).
    template <class PointAt> void AddPoints(size_t count, const PointAt& pointAt)
    {
        if (count == 0)
            return;
        if (m_points == 0) {
            m_low = m_high = pointAt(0);
        }
        int32_t lowX = m_low.x, lowY = m_low.y, highX = m_high.x, highY = m_high.y;
        uint64_t lanes[4] = {m_hash, 0x84222325CBF29CE4ull, 0x2545F4914F6CDD1Dull,
                             0x9E3779B97F4A7C15ull};
        const auto take = [&](uint64_t& lane, CPoint p) {
            lane = Mix(lane, uint64_t(uint32_t(p.x)) << 32 | uint32_t(p.y));
            lowX = std::min(lowX, p.x);
            lowY = std::min(lowY, p.y);
            highX = std::max(highX, p.x);
            highY = std::max(highY, p.y);
        };
        size_t k = 0;
        for (; k + 4 <= count; k += 4) {
            take(lanes[0], pointAt(k));
            take(lanes[1], pointAt(k + 1));
            take(lanes[2], pointAt(k + 2));
            take(lanes[3], pointAt(k + 3));
        }
        for (; k < count; ++k)
            take(lanes[0], pointAt(k));
        m_hash = Mix(Mix(Mix(lanes[0], lanes[1]), lanes[2]), lanes[3]);
        m_points += int64_t(count);
        m_low = CPoint(lowX, lowY);
        m_high = CPoint(highX, highY);
    }
    bool HasPoints() const { return m_points > 0; }
    CPoint Low() const { return m_low; }
    CPoint High() const { return m_high; }
    uint64_t Value() const { return m_hash; }

private:
    static uint64_t Mix(uint64_t hash, uint64_t v)
    {
        hash = (hash ^ v) * 0x9E3779B97F4A7C15ull;
        return hash ^ (hash >> 29);
    }

    uint64_t m_hash = 0xCBF29CE484222325ull;
    int64_t m_points = 0;
    CPoint m_low, m_high;
};

CPoint RotateAbout(CPoint p, int32_t cx, int32_t cy, int32_t angle)
{
    const CPoint turned =
        RotatePoint(SaturateToInt(int64_t(p.x) - cx), SaturateToInt(int64_t(p.y) - cy), angle);
    return Offset(turned, cx, cy);
}

CPoint ToScreen(CPoint p, int32_t offsetX, int32_t offsetY, int32_t zoom)
{
    const int32_t z = std::max(zoom, 1);
    return {SaturateToInt((int64_t(p.x) + offsetX) / z),
            SaturateToInt((int64_t(p.y) + offsetY) / z)};
}

std::span<const CPoint> Points(const CPointArray& points)
{
    return {points.GetData(), size_t(points.GetSize())};
}

void InsertPoint(CPointArray& points, int32_t at, CPoint p)
{
    const int32_t n = points.GetSize();
    points.SetSize(n + 1);
    for (int32_t k = n; k > at; --k)
        points[k] = points[k - 1];
    points[at] = p;
}

void RemovePoint(CPointArray& points, int32_t at)
{
    const int32_t n = points.GetSize();
    for (int32_t k = at; k + 1 < n; ++k)
        points[k] = points[k + 1];
    points.SetSize(n - 1);
}

void ForEachPoint(CPointArray& points, auto change)
{
    for (int32_t k = 0; k < points.GetSize(); ++k)
        points[k] = change(points[k]);
}

} // namespace

CPour::CPour() = default;

CPour::CPour(int32_t net, int32_t layer, int32_t seedX, int32_t seedY, int32_t style,
             int32_t penWidth, int32_t hatchGrid, int32_t hatchRotation)
    : m_net(net), m_layer(layer), m_seed(seedX, seedY), m_style(style), m_penWidth(penWidth),
      m_hatchGrid(hatchGrid), m_hatchRotation(hatchRotation)
{
    ClampParams();
}

CPour::CPour(const CPour& other, const std::string& name, bool selected)
    : CObject(other), m_name(name), m_minSpace(other.m_minSpace),
      m_secondParam(other.m_secondParam), m_net(other.m_net), m_layer(other.m_layer),
      m_seed(other.m_seed), m_outline(other.m_outline), m_outlineBackup(other.m_outlineBackup),
      m_style(other.m_style), m_penWidth(other.m_penWidth), m_hatchGrid(other.m_hatchGrid),
      m_hatchRotation(other.m_hatchRotation), m_flags(other.m_flags),
      m_currentVertex(other.m_currentVertex), m_savedCurrentVertex(other.m_savedCurrentVertex),
      m_errorMark(other.m_errorMark), m_errorSegment(other.m_errorSegment),
      m_fillErrorCount(other.m_fillErrorCount)
{
    SetSelected(selected);
}

void CPour::ClampParams()
{
    m_penWidth = std::clamp(m_penWidth, minPenWidth, maxPenWidth);
    m_hatchGrid = std::clamp(m_hatchGrid, m_penWidth, maxHatchGrid);
}

void CPour::SetDisplayMode(int32_t mode)
{
    m_flags = (m_flags & ~displayModeMask) | (uint32_t(mode) & displayModeMask);
}

void CPour::SetSelected(bool on)
{
    m_flags &= ~flagSelected;
    if (on)
        m_flags |= flagSelected;
}

void CPour::FillChanged()
{
    static std::atomic<uint64_t> versions{0};
    m_fillVersion = ++versions;
}

void CPour::ReturnFill()
{
    m_fillLent = false;
    FillChanged();
}

void CPour::DeleteFill()
{
    m_fillPolylines.clear();
    m_fillStrokes.RemoveAll();
    FillChanged();
}

bool CPour::HasSameFillInputs(const CPour& other) const
{
    if (m_layer != other.m_layer || m_seed != other.m_seed || m_style != other.m_style ||
        m_penWidth != other.m_penWidth || m_hatchGrid != other.m_hatchGrid ||
        m_hatchRotation != other.m_hatchRotation || m_minSpace != other.m_minSpace ||
        m_secondParam != other.m_secondParam || PointCount() != other.PointCount())
        return false;
    for (int32_t i = 0; i < PointCount(); ++i) {
        if (m_outline[i] != other.m_outline[i])
            return false;
    }
    return true;
}

CRect CPour::GetOutlineRect() const
{
    if (PointCount() < 3)
        return CRect(0, 0, 1, 1);
    CRect box(m_outline[0].x, m_outline[0].y, m_outline[0].x, m_outline[0].y);
    for (const CPoint& p : Points(m_outline)) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

bool CPour::ContainsPoint(int32_t x, int32_t y, int32_t layer) const
{
    return layer == m_layer && PointInPolygon(CPoint(x, y), Points(m_outline));
}

int32_t CPour::SelectInRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                            int32_t /*mode*/, uint32_t layerMask)
{
    if ((LayerBit(m_layer) & layerMask) == 0)
        return 0;
    CRect rect(left, top, right, bottom);
    rect.NormalizeRect();
    const CRect box = GetOutlineRect();
    if (rect.left > box.right || rect.right < box.left || rect.top > box.bottom ||
        rect.bottom < box.top)
        return 0;

    const std::span<const CPoint> ring = Points(m_outline);
    const std::array<CPoint, 4> corners{CPoint(rect.left, rect.top), CPoint(rect.right, rect.top),
                                        CPoint(rect.right, rect.bottom),
                                        CPoint(rect.left, rect.bottom)};
    bool hit = std::any_of(ring.begin(), ring.end(), [&](CPoint p) { return rect.PtInRect(p); });
    for (size_t e = 0; e < corners.size() && !hit; ++e) {
        const CPoint a = corners[e];
        const CPoint b = corners[(e + 1) % corners.size()];
        for (size_t k = 1; k < ring.size() && !hit; ++k) {
            CPoint crossing;
            hit = IntersectSegments(a.x, a.y, b.x, b.y, ring[k - 1].x, ring[k - 1].y, ring[k].x,
                                    ring[k].y, crossing);
        }
    }
    for (size_t c = 0; c < corners.size() && !hit && ring.size() >= 3; ++c)
        hit = PointInPolygon(corners[c], ring);
    if (!hit)
        return 0;
    SetSelected(true);
    return 1;
}

void CPour::Move(int32_t dx, int32_t dy)
{
    auto move = [dx, dy](CPoint p) { return Offset(p, dx, dy); };
    m_seed = move(m_seed);
    m_errorMark = move(m_errorMark);
    ForEachPoint(m_outline, move);
    for (FillStroke& stroke : m_fillStrokes) {
        const CPoint a = move(CPoint(stroke.x1, stroke.y1));
        const CPoint b = move(CPoint(stroke.x2, stroke.y2));
        stroke = FillStroke{a.x, a.y, b.x, b.y};
    }
    for (const auto& polyline : m_fillPolylines)
        ForEachPoint(*polyline, move);
    FillChanged();
}

void CPour::Rotate(int32_t cx, int32_t cy, int32_t angle)
{
    auto turn = [cx, cy, angle](CPoint p) { return RotateAbout(p, cx, cy, angle); };
    ForEachPoint(m_outline, turn);
    m_seed = turn(m_seed);
    for (FillStroke& stroke : m_fillStrokes) {
        const CPoint a = turn(CPoint(stroke.x1, stroke.y1));
        const CPoint b = turn(CPoint(stroke.x2, stroke.y2));
        stroke = FillStroke{a.x, a.y, b.x, b.y};
    }
    for (const auto& polyline : m_fillPolylines)
        ForEachPoint(*polyline, turn);
    FillChanged();
}

// ---- Outline editing
// -----------------------------------------------------------------------------

void CPour::SetCurrentVertex(int32_t i)
{
    m_currentVertex = PointCount() == 0 ? 0 : std::clamp(i, 0, PointCount() - 1);
}

bool CPour::IsClosed() const
{
    return PointCount() >= 2 && m_outline[0] == m_outline[PointCount() - 1];
}

int32_t CPour::HitOutline(CPoint point, int32_t layer)
{
    if (layer != m_layer)
        return -1;
    CCopperShape probe;
    probe.SetTrack(point.x, point.y, point.x, point.y, probeWidth / 2);
    for (int32_t i = 1; i < PointCount(); ++i) {
        const CPoint a = m_outline[i - 1];
        const CPoint b = m_outline[i];
        if (!probe.TouchesSegment(a.x, a.y, b.x, b.y, 0))
            continue;
        CPoint foot;
        PointToSegmentDistance(a, b, point, foot);
        if (InsertVertexAt(i, foot.x, foot.y))
            return i;
        return DistanceDouble(point.x, point.y, b.x, b.y) <=
                       DistanceDouble(point.x, point.y, a.x, a.y)
                   ? i
                   : i - 1;
    }
    return -1;
}

bool CPour::InsertVertexAt(int32_t i, int32_t x, int32_t y)
{
    if (i < 1 || i >= PointCount())
        return false;
    const CPoint a = m_outline[i - 1];
    const CPoint b = m_outline[i];
    const int32_t length = Distance(a.x, a.y, b.x, b.y);
    if (length * MM_PER_UNIT <= 1.0)
        return false;
    const int32_t keepOff = std::min(length / 4, maxInsertEndDistance);
    if (Distance(x, y, a.x, a.y) < keepOff || Distance(x, y, b.x, b.y) < keepOff)
        return false;
    InsertPoint(m_outline, i, CPoint(x, y));
    return true;
}

bool CPour::InsertVertex()
{
    if (PointCount() == 0)
        return false;
    SetCurrentVertex(m_currentVertex);
    InsertPoint(m_outline, m_currentVertex + 1, m_outline[m_currentVertex]);
    ++m_currentVertex;
    return true;
}

bool CPour::DeleteVertex(int32_t i)
{
    const int32_t n = PointCount();
    if (n < 4 || i < 0 || i >= n)
        return false;
    if (IsClosed() && (i == 0 || i == n - 1)) {
        // Both copies of the corner go, and the ring closes on the next corner.
        RemovePoint(m_outline, n - 1);
        RemovePoint(m_outline, 0);
        m_outline.SetAtGrow(n - 2, m_outline[0].x, m_outline[0].y);
    } else {
        RemovePoint(m_outline, i);
    }
    SetCurrentVertex(m_currentVertex);
    return true;
}

void CPour::MergeOutline(int32_t i)
{
    const int32_t n = PointCount();
    if (n < 4 || !IsClosed() || i < 0 || i >= n)
        return;
    std::vector<CPoint> corners(m_outline.GetData(), m_outline.GetData() + (n - 1));
    size_t at = size_t(i) % corners.size();
    bool changed = true;
    while (changed && corners.size() > 3) {
        changed = false;
        const size_t m = corners.size();
        for (size_t d = 0; d < 3 && !changed; ++d) {
            const size_t k = (at + m - 1 + d) % m;
            const CPoint prev = corners[(k + m - 1) % m];
            const CPoint here = corners[k];
            const CPoint next = corners[(k + 1) % m];
            if (here == prev || here == next ||
                GeomLineAngleMilli(prev.x, prev.y, here.x, here.y) ==
                    GeomLineAngleMilli(here.x, here.y, next.x, next.y)) {
                corners.erase(corners.begin() + ptrdiff_t(k));
                if (k < at)
                    --at;
                at %= corners.size();
                changed = true;
            }
        }
    }
    m_outline.SetSize(int32_t(corners.size()) + 1);
    for (size_t k = 0; k < corners.size(); ++k)
        m_outline[int32_t(k)] = corners[k];
    m_outline[int32_t(corners.size())] = corners[0];
    SetCurrentVertex(m_currentVertex);
}

bool CPour::IsNearOtherVertex(int32_t i) const
{
    const int32_t n = PointCount();
    if (i < 0 || i >= n)
        return false;
    const bool closed = IsClosed();
    const CPoint p = m_outline[i];
    for (int32_t j = 0; j < n; ++j) {
        if (j == i || (closed && ((i == 0 && j == n - 1) || (i == n - 1 && j == 0))))
            continue;
        const CPoint q = m_outline[j];
        if (std::abs(int64_t(q.x) - p.x) <= nearVertexDistance &&
            std::abs(int64_t(q.y) - p.y) <= nearVertexDistance)
            return true;
    }
    return false;
}

void CPour::CloseOutline()
{
    if (PointCount() == 0)
        return;
    if (!(m_outline[PointCount() - 1] == m_outline[0]))
        m_outline.SetAtGrow(PointCount(), m_outline[0].x, m_outline[0].y);
    m_currentVertex = PointCount() - 1;
    MergeOutline(m_currentVertex);
}

void CPour::MoveVertex(int32_t x, int32_t y, int32_t boardWidth, int32_t boardHeight, bool keepOpen)
{
    const int32_t n = PointCount();
    if (n == 0)
        return;
    SetCurrentVertex(m_currentVertex);
    const CPoint p(std::clamp(x, 0, std::max(boardWidth, 0)),
                   std::clamp(y, 0, std::max(boardHeight, 0)));
    m_outline[m_currentVertex] = p;
    if (m_currentVertex == 0)
        m_outline[n - 1] = p;
    else if (m_currentVertex == n - 1 && !keepOpen)
        m_outline[0] = p;
}

void CPour::SaveOutline()
{
    m_outlineBackup = m_outline;
    m_savedCurrentVertex = m_currentVertex;
}

void CPour::RestoreOutline()
{
    m_outline = m_outlineBackup;
    SetCurrentVertex(m_savedCurrentVertex);
}

void CPour::StartSquareAtCursor(int32_t layer, CPoint cursor)
{
    m_layer = layer;
    const int32_t half = squareSide / 2;
    const std::array<CPoint, 5> square{Offset(cursor, -half, -half), Offset(cursor, -half, half),
                                       Offset(cursor, half, half), Offset(cursor, half, -half),
                                       Offset(cursor, -half, -half)};
    for (const CPoint& p : square)
        m_outline.SetAtGrow(PointCount(), p.x, p.y);
    m_currentVertex = 1;
}

// ---- Drawing
// -------------------------------------------------------------------------------------

void CPour::Draw(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom,
                 COLORREF color) const
{
    const int32_t mode = GetDisplayMode();
    if (mode == displayHidden || PointCount() < 3)
        return;
    if (mode == displayHatch) {
        std::vector<CPoint> screen;
        screen.reserve(size_t(PointCount()));
        for (const CPoint& p : Points(m_outline))
            screen.push_back(ToScreen(p, offsetX, offsetY, zoom));
        const CPen oldPen = dc.SelectPen(CPen(CPen::Style::Solid, 1, color));
        const CBrush oldBrush = dc.SelectBrush(CBrush(CBrush::Hatch::BackwardDiagonal, color));
        dc.Polygon(screen);
        dc.SelectBrush(oldBrush);
        dc.SelectPen(oldPen);
    } else if (mode == displayWysiwyg) {
        DrawFill(dc, offsetX, offsetY, zoom, color);
    }
    DrawErrorMark(dc, offsetX, offsetY, zoom);
}

void CPour::DrawFill(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom,
                     COLORREF color) const
{
    const int32_t penPixels = m_penWidth / std::max(zoom, 1);
    // A fill holds many thousands of strokes and most repaints show it unchanged: the device
    // may keep the picture under a key made of everything the drawing depends on. A lent fill
    // may have changed anywhere, so its key is a digest of every point; otherwise its change
    // count stands for them.
    CPictureKey key;
    for (const int64_t v :
         {int64_t(offsetX), int64_t(offsetY), int64_t(zoom), int64_t(color), int64_t(penPixels),
          int64_t(m_fillStrokes.GetSize()), int64_t(m_fillPolylines.size()), int64_t(m_fillLent)})
        key.Add(v);
    if (m_fillLent || m_boxVersion != m_fillVersion) {
        CPictureKey points;
        const auto strokes = m_fillStrokes.begin();
        points.AddPoints(2 * size_t(m_fillStrokes.GetSize()), [strokes](size_t k) {
            const FillStroke& stroke = strokes[ptrdiff_t(k / 2)];
            return k % 2 == 0 ? CPoint(stroke.x1, stroke.y1) : CPoint(stroke.x2, stroke.y2);
        });
        for (const auto& polyline : m_fillPolylines) {
            points.Add(int64_t(polyline->GetSize()));
            const std::span<const CPoint> ring = Points(*polyline);
            points.AddPoints(ring.size(), [ring](size_t k) { return ring[k]; });
        }
        m_boxEmpty = !points.HasPoints();
        m_boxLow = points.Low();
        m_boxHigh = points.High();
        m_boxVersion = m_fillLent ? 0 : m_fillVersion;
        key.Add(int64_t(m_fillLent ? points.Value() : m_fillVersion));
    } else {
        key.Add(int64_t(m_fillVersion));
    }
    if (m_boxEmpty)
        return;
    const CPoint low = ToScreen(m_boxLow, offsetX, offsetY, zoom);
    const CPoint high = ToScreen(m_boxHigh, offsetX, offsetY, zoom);
    // Wide pens reach beyond the points by half their width, and round that outwards.
    const int64_t reach = int64_t(penPixels) + 2;
    const CRect bounds(SaturateToInt(low.x - reach), SaturateToInt(low.y - reach),
                       SaturateToInt(high.x + reach + 1), SaturateToInt(high.y + reach + 1));

    dc.DrawCached(m_picture, key.Value(), bounds, [&](CDeviceContext& target) {
        const CPen oldPen = target.SelectPen(CPen(CPen::Style::Solid, penPixels, color));
        for (const FillStroke& stroke : m_fillStrokes) {
            target.MoveTo(ToScreen(CPoint(stroke.x1, stroke.y1), offsetX, offsetY, zoom));
            target.LineTo(ToScreen(CPoint(stroke.x2, stroke.y2), offsetX, offsetY, zoom));
        }
        for (const auto& polyline : m_fillPolylines) {
            const std::span<const CPoint> points = Points(*polyline);
            for (size_t k = 0; k < points.size(); ++k) {
                const CPoint p = ToScreen(points[k], offsetX, offsetY, zoom);
                if (k == 0)
                    target.MoveTo(p);
                else
                    target.LineTo(p);
            }
        }
        target.SelectPen(oldPen);
    });
}

void CPour::DrawErrorMark(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const
{
    if (m_fillErrorCount == 0 || GetDisplayMode() == displayHidden)
        return;
    const CPoint c = ToScreen(m_errorMark, offsetX, offsetY, zoom);
    const int32_t l = c.x - errorMarkHalf;
    const int32_t t = c.y - errorMarkHalf;
    const int32_t r = c.x + errorMarkHalf;
    const int32_t b = c.y + errorMarkHalf;
    const CPen oldPen = dc.SelectPen(CPen(CPen::Style::Solid, 1, errorMarkColor));
    dc.MoveTo(CPoint(l, t));
    dc.LineTo(CPoint(r, t));
    dc.LineTo(CPoint(r, b));
    dc.LineTo(CPoint(l, b));
    dc.LineTo(CPoint(l, t));
    dc.LineTo(CPoint(r, b));
    dc.MoveTo(CPoint(r, t));
    dc.LineTo(CPoint(l, b));
    dc.SelectPen(oldPen);
}

void CPour::DrawSeedPoint(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const
{
    if (GetDisplayMode() == displayHidden)
        return;
    const CPoint s = ToScreen(m_seed, offsetX, offsetY, zoom);
    const CPen oldPen = dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
    const CBrush oldBrush = dc.SelectBrush(CBrush::Null());
    dc.Ellipse(CRect(s.x - 4, s.y - 4, s.x + 5, s.y + 5));
    dc.MoveTo(CPoint(s.x, s.y - 8));
    dc.LineTo(CPoint(s.x, s.y + 8));
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CPour::DrawOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const
{
    DrawOutlineWith(dc, false, offsetX, offsetY, zoom);
}

void CPour::DrawStaleOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY,
                             int32_t zoom) const
{
    DrawOutlineWith(dc, true, offsetX, offsetY, zoom);
}

void CPour::DrawOutlineWith(CDeviceContext& dc, bool dashed, int32_t offsetX, int32_t offsetY,
                            int32_t zoom) const
{
    if (PointCount() < 2)
        return;
    std::vector<CPoint> screen;
    screen.reserve(size_t(PointCount()));
    for (const CPoint& p : Points(m_outline))
        screen.push_back(ToScreen(p, offsetX, offsetY, zoom));
    const CPen oldPen =
        dc.SelectPen(CPen(dashed ? CPen::Style::Dash : CPen::Style::Solid, 1, white));
    // The gaps of the dashes show the board; an opaque background would close them.
    const CDeviceContext::BkMode oldMode = dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    dc.Polyline(screen);
    dc.SetBkMode(oldMode);
    dc.SelectPen(oldPen);
}

// ---- Persistence
// ---------------------------------------------------------------------------------

void CPour::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void CPour::Store(CArchive& ar)
{
    ar << recordVersion;
    ar.WriteString(m_name);
    ar << m_minSpace << m_secondParam << m_net << m_layer << m_seed.x << m_seed.y << m_style
       << m_penWidth << m_hatchGrid << m_hatchRotation << m_flags;
    m_outline.Serialize(ar);
}

void CPour::Load(CArchive& ar)
{
    const uint32_t version = ar.ReadDWord();
    std::string name = m_name;
    int32_t minSpace = m_minSpace;
    int32_t secondParam = m_secondParam;
    if (version >= firstNamedVersion) {
        name = ar.ReadString();
        ar >> minSpace >> secondParam;
    }
    int32_t net = 0;
    int32_t layer = 0;
    CPoint seed;
    int32_t style = 0;
    int32_t penWidth = 0;
    int32_t hatchGrid = 0;
    int32_t hatchRotation = 0;
    uint32_t flags = 0;
    ar >> net >> layer >> seed.x >> seed.y >> style >> penWidth >> hatchGrid >> hatchRotation >>
        flags;
    CPointArray outline;
    outline.Serialize(ar);
    if (version < firstSpacingVersion) {
        minSpace = 0;
        secondParam = 0;
    }

    m_name = std::move(name);
    m_minSpace = minSpace;
    m_secondParam = secondParam;
    m_net = net;
    m_layer = layer;
    m_seed = seed;
    m_style = style;
    m_penWidth = penWidth;
    m_hatchGrid = hatchGrid;
    m_hatchRotation = hatchRotation;
    m_flags = flags;
    m_outline = std::move(outline);
    m_outlineBackup.SetSize(0);
    m_currentVertex = 0;
    m_savedCurrentVertex = 0;
    DeleteFill();

    ClampParams();
    bool repaired = m_penWidth != penWidth || m_hatchGrid != hatchGrid;
    // Layer colours and pad tables are looked up by the plane's layer.
    if (m_layer < 0 || m_layer > maxLayer) {
        m_layer = defaultLayer;
        repaired = true;
    }
    if (repaired)
        ar.AddLoadWarning(CResString::Load(IDS_PLANE_PARAMS_REPAIRED));
}
