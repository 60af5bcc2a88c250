#include "model/CDrawRecArray.h"
#include "framework/Numeric.h"
#include "model/PenTable.h"

#include <algorithm>
#include <limits>
#include <string>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CMessageService.h"
#include "framework/CPen.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CCopperShape.h"
#include "model/CLineTool.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CDrawRecArray, "CDrawRecArray", 0)

namespace {

int32_t ToScreen(int32_t board, int32_t offset, int32_t zoom)
{
    return SaturateToInt((int64_t(board) + offset) / std::max(zoom, 1));
}

CPoint ToScreen(CPoint board, int32_t offsetX, int32_t offsetY, int32_t zoom)
{
    return {ToScreen(board.x, offsetX, zoom), ToScreen(board.y, offsetY, zoom)};
}

// Both ends beyond the same side: the segment cannot reach the area.
bool OutsideSameSide(CPoint a, CPoint b, const CRect& clip)
{
    return (a.x < clip.left && b.x < clip.left) || (a.x > clip.right && b.x > clip.right) ||
           (a.y < clip.top && b.y < clip.top) || (a.y > clip.bottom && b.y > clip.bottom);
}

} // namespace

CDrawRecArray::CDrawRecArray() : m_pens{0, 1007, 1209, 1511, 1814, 2015, 3023} {}

CDrawRecArray::CDrawRecArray(const CDrawRecArray& other) : CObject(other)
{
    CopyFrom(other);
}

CDrawRecArray::~CDrawRecArray() = default;

CLineTool& CDrawRecArray::GetLineTool()
{
    if (!m_lineTool)
        m_lineTool = std::make_unique<CLineTool>(*this);
    return *m_lineTool;
}

CDrawRecArray& CDrawRecArray::operator=(const CDrawRecArray& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

void CDrawRecArray::CopyFrom(const CDrawRecArray& other)
{
    m_vertices = other.m_vertices;
    m_pens = other.m_pens;
    m_currentVertex = other.m_currentVertex;
    m_modeWord = other.m_modeWord;
    m_currentPen = other.m_currentPen;
    m_layerCounts = other.m_layerCounts;
    m_layerBlock2 = other.m_layerBlock2;
    // The copy has no selected vertex, so its counters must say so too.
    for (DrawRec& rec : m_vertices)
        rec.flags &= ~DrawRec::flagSelected;
    m_selectedFirst = 0;
    m_selectedSecond = 0;
}

// ---- Vertices
// ------------------------------------------------------------------------------------

bool CDrawRecArray::AddVertex(int32_t x, int32_t y, int32_t layer, int32_t pen, uint16_t tag)
{
    return InsertVertex(GetCount(), x, y, layer, pen, tag);
}

bool CDrawRecArray::AddSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                               int32_t pen, uint16_t tag)
{
    if (layer < 0 || layer > maxLayer)
        return false;
    AddVertex(x1, y1, layer, 0, tag);
    AddVertex(x2, y2, layer, pen, tag);
    m_currentVertex = GetCount() - 1;
    return true;
}

bool CDrawRecArray::InsertVertex(int32_t i, int32_t x, int32_t y, int32_t layer, int32_t pen,
                                 uint16_t tag)
{
    if (i < 0 || i > GetCount() || layer < 0 || layer > maxLayer)
        return false;
    DrawRec rec;
    rec.tag = tag;
    rec.x = x;
    rec.y = y;
    rec.SetPen(pen);
    rec.SetLayer(layer);
    m_vertices.InsertAt(i, rec);
    return true;
}

bool CDrawRecArray::DeleteVertex(int32_t i)
{
    if (!IsValidIndex(i))
        return false;
    SetSelected(i, false);
    m_vertices.RemoveAt(i);
    ClampCurrentVertex();
    return true;
}

void CDrawRecArray::RemoveRange(int32_t first, int32_t last)
{
    for (int32_t k = first; k <= last; ++k)
        SetSelected(k, false);
    m_vertices.RemoveAt(first, last - first + 1);
    ClampCurrentVertex();
}

CPoint CDrawRecArray::GetPoint(int32_t i) const
{
    return IsValidIndex(i) ? CPoint(m_vertices[i].x, m_vertices[i].y) : CPoint();
}

int32_t CDrawRecArray::GetLayer(int32_t i) const
{
    return IsValidIndex(i) ? m_vertices[i].GetLayer() : -1;
}

int32_t CDrawRecArray::GetPen(int32_t i) const
{
    return IsValidIndex(i) ? m_vertices[i].GetPen() : -1;
}

int32_t CDrawRecArray::GetTag(int32_t i) const
{
    return IsValidIndex(i) ? int32_t(m_vertices[i].tag) : -1;
}

bool CDrawRecArray::IsSelected(int32_t i) const
{
    return IsValidIndex(i) && m_vertices[i].IsSelected();
}

bool CDrawRecArray::SetPoint(int32_t i, int32_t x, int32_t y)
{
    if (!IsValidIndex(i))
        return false;
    m_vertices[i].x = x;
    m_vertices[i].y = y;
    return true;
}

bool CDrawRecArray::SetLayer(int32_t i, int32_t layer)
{
    if (!IsValidIndex(i) || layer < 0 || layer > maxLayer)
        return false;
    m_vertices[i].SetLayer(layer);
    return true;
}

bool CDrawRecArray::SetPen(int32_t i, int32_t pen)
{
    if (!IsValidIndex(i))
        return false;
    m_vertices[i].SetPen(pen);
    return true;
}

bool CDrawRecArray::SetTag(int32_t i, uint16_t tag)
{
    if (!IsValidIndex(i))
        return false;
    m_vertices[i].tag = tag;
    return true;
}

int32_t CDrawRecArray::GetVertexWidth(int32_t i) const
{
    const int32_t pen = GetPen(i);
    return pen >= 1 ? GetPenWidth(pen) : 0;
}

void CDrawRecArray::SetCurrentVertex(int32_t i)
{
    m_currentVertex = i;
    ClampCurrentVertex();
}

void CDrawRecArray::ClampCurrentVertex()
{
    m_currentVertex = GetCount() == 0 ? 0 : std::clamp(m_currentVertex, 0, GetCount() - 1);
}

CPoint CDrawRecArray::GetCurrentPoint() const
{
    return GetPoint(m_currentVertex);
}

bool CDrawRecArray::StepCurrentVertex(bool forward)
{
    const int32_t next = m_currentVertex + (forward ? 1 : -1);
    if (!IsValidIndex(next))
        return false;
    m_currentVertex = next;
    return true;
}

int32_t CDrawRecArray::PolylineStart(int32_t i) const
{
    if (GetCount() == 0)
        return 0;
    int32_t k = std::clamp(i, 0, GetCount() - 1);
    while (k > 0 && m_vertices[k].IsDrawn())
        --k;
    return k;
}

int32_t CDrawRecArray::PolylineEnd(int32_t i) const
{
    if (GetCount() == 0)
        return -1;
    int32_t k = std::clamp(i, 0, GetCount() - 1);
    while (k + 1 < GetCount() && m_vertices[k + 1].IsDrawn())
        ++k;
    return k;
}

bool CDrawRecArray::IsSegment(int32_t i) const
{
    return i >= 1 && i < GetCount() && m_vertices[i].IsDrawn() && m_vertices[i - 1].HasPen();
}

// ---- Pens
// ----------------------------------------------------------------------------------------

int32_t CDrawRecArray::GetPenWidth(int32_t pen) const
{
    return pen >= 0 && pen < GetPenCount() ? int32_t(m_pens[size_t(pen)]) : 0;
}

int32_t CDrawRecArray::FindPen(int32_t width) const
{
    return FindPenWidth(m_pens, width);
}

int32_t CDrawRecArray::FindOrAddPen(int32_t width)
{
    return AddPenWidth(m_pens, width, IDS_LINE_PEN_TABLE_FULL);
}

int32_t CDrawRecArray::CountPenUse(int32_t pen) const
{
    if (pen < 0)
        return 0;
    return int32_t(std::count_if(m_vertices.begin(), m_vertices.end(),
                                 [pen](const DrawRec& rec) { return rec.GetPen() == pen; }));
}

void CDrawRecArray::SetCurrentPen(int32_t pen)
{
    if (pen >= 1 && pen < std::min(GetPenCount(), maxPenCount))
        m_currentPen = pen;
}

void CDrawRecArray::SortPens()
{
    RebuildPens(0);
}

bool CDrawRecArray::RemovePen(int32_t pen)
{
    if (pen < 1 || pen >= GetPenCount() || CountPenUse(pen) > 0)
        return false;
    RebuildPens(pen);
    return true;
}

int32_t CDrawRecArray::RebuildPens(int32_t removed)
{
    const int32_t oldCount = GetPenCount();
    std::vector<bool> used(size_t(std::max(oldCount, 1)), false);
    int32_t repaired = 0;
    for (const DrawRec& rec : m_vertices) {
        const int32_t pen = rec.GetPen();
        if (pen < 1)
            continue;
        if (pen >= oldCount)
            ++repaired;
        else
            used[size_t(pen)] = true;
    }

    auto build = [&](bool onlyUsed) {
        std::vector<uint16_t> table{0};
        for (int32_t k = 1; k < oldCount; ++k) {
            if (k == removed || (onlyUsed && !used[size_t(k)]))
                continue;
            if (std::find(table.begin() + 1, table.end(), m_pens[size_t(k)]) == table.end())
                table.push_back(m_pens[size_t(k)]);
        }
        return table;
    };
    std::vector<uint16_t> table = build(false);
    // Entries past 15 could never be named by a vertex; only the used widths stay then.
    if (int32_t(table.size()) > maxPenCount) {
        table = build(true);
        ++repaired;
    }
    std::sort(table.begin() + 1, table.end());

    std::vector<int32_t> newIndex(size_t(std::max(oldCount, 1)), 0);
    for (int32_t k = 1; k < oldCount; ++k) {
        const auto found = std::find(table.begin() + 1, table.end(), m_pens[size_t(k)]);
        if (k != removed && found != table.end())
            newIndex[size_t(k)] = int32_t(found - table.begin());
    }
    if (table.size() < 2)
        table.push_back(uint16_t(removed > 0 ? removeFallbackWidth : sortFallbackWidth));
    // A vertex naming a pen beyond the table takes the last (widest) pen.
    const int32_t lastPen = int32_t(table.size()) - 1;

    for (DrawRec& rec : m_vertices) {
        const int32_t pen = rec.GetPen();
        if (pen >= 1)
            rec.SetPen(pen < oldCount ? newIndex[size_t(pen)] : lastPen);
    }
    m_pens = std::move(table);
    m_currentPen = std::clamp(m_currentPen, 1, std::min(GetPenCount(), maxPenCount) - 1);
    return repaired;
}

// ---- Selection
// -----------------------------------------------------------------------------------

int32_t CDrawRecArray::SetSelected(int32_t i, bool on)
{
    if (!IsValidIndex(i) || m_vertices[i].IsSelected() == on)
        return 0;
    if (on)
        m_vertices[i].flags |= DrawRec::flagSelected;
    else
        m_vertices[i].flags &= ~DrawRec::flagSelected;
    m_selectedSecond += on ? 1 : -1;
    return 1;
}

int32_t CDrawRecArray::SelectAll(bool on)
{
    for (int32_t i = 0; i < GetCount(); ++i)
        SetSelected(i, on);
    if (GetCount() == 0 || !on) {
        m_selectedFirst = 0;
        m_selectedSecond = 0;
    }
    return GetSelectedCount();
}

int32_t CDrawRecArray::SelectCurrentPolyline(bool on)
{
    int32_t changed = 0;
    const int32_t end = PolylineEnd(m_currentVertex);
    for (int32_t k = PolylineStart(m_currentVertex); k <= end; ++k)
        changed += SetSelected(k, on);
    return changed;
}

void CDrawRecArray::ApplyMode(int32_t i, int32_t mode)
{
    if (mode & hitSelect)
        SetSelected(i, true);
    else if (mode & hitToggle)
        SetSelected(i, !IsSelected(i));
}

bool CDrawRecArray::SelectVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    CRect box = rect;
    box.NormalizeRect();
    bool any = false;
    for (int32_t i = 0; i < GetCount(); ++i) {
        const DrawRec& rec = m_vertices[i];
        if (!rec.HasPen() || (LayerBit(rec.GetLayer()) & layerMask) == 0 ||
            !box.PtInRect(CPoint(rec.x, rec.y)))
            continue;
        ApplyMode(i, mode);
        any = true;
    }
    return any;
}

bool CDrawRecArray::SelectSegmentsInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    CRect box = rect;
    box.NormalizeRect();
    bool any = false;
    for (int32_t start = 0; start < GetCount();) {
        const int32_t end = PolylineEnd(start);
        bool hit = false;
        for (int32_t k = start + 1; k <= end && !hit; ++k) {
            if (!IsSegment(k) || (LayerBit(m_vertices[k].GetLayer()) & layerMask) == 0)
                continue;
            const CPoint a = GetPoint(k - 1);
            const CPoint b = GetPoint(k);
            hit = SegmentTouchesRect(box.left, box.top, box.right, box.bottom, a.x, a.y, b.x, b.y);
        }
        if (hit) {
            for (int32_t k = start; k <= end; ++k)
                ApplyMode(k, mode);
            any = true;
        }
        start = end + 1;
    }
    return any;
}

// ---- Editing
// -------------------------------------------------------------------------------------

void CDrawRecArray::OffsetAll(int32_t dx, int32_t dy)
{
    for (DrawRec& rec : m_vertices) {
        rec.x = SaturateToInt(int64_t(rec.x) + dx);
        rec.y = SaturateToInt(int64_t(rec.y) + dy);
    }
}

void CDrawRecArray::OffsetSelected(int32_t dx, int32_t dy)
{
    for (DrawRec& rec : m_vertices) {
        if (!rec.IsSelected())
            continue;
        rec.x = SaturateToInt(int64_t(rec.x) + dx);
        rec.y = SaturateToInt(int64_t(rec.y) + dy);
    }
}

void CDrawRecArray::RotateSelected(int32_t cx, int32_t cy, int32_t angle)
{
    for (DrawRec& rec : m_vertices) {
        if (!rec.IsSelected())
            continue;
        const CPoint turned = RotatePoint(SaturateToInt(int64_t(rec.x) - cx),
                                          SaturateToInt(int64_t(rec.y) - cy), angle);
        rec.x = SaturateToInt(int64_t(turned.x) + cx);
        rec.y = SaturateToInt(int64_t(turned.y) + cy);
    }
}

void CDrawRecArray::ChangeLayerOnSelection(int32_t layer)
{
    if (layer < 0 || layer > maxLayer)
        return;
    for (DrawRec& rec : m_vertices) {
        if (rec.IsSelected() && rec.HasPen())
            rec.SetLayer(layer);
    }
}

void CDrawRecArray::SetPenWidthOnSelection(int32_t width)
{
    // Width 0 finds the move-to entry, which would cut every selected segment away.
    const int32_t pen = FindOrAddPen(width);
    if (pen < 1)
        return;
    for (DrawRec& rec : m_vertices) {
        if (rec.IsSelected() && rec.IsDrawn())
            rec.SetPen(pen);
    }
}

void CDrawRecArray::SetCurrentPolylineLayer(int32_t layer)
{
    if (layer < 0 || layer > maxLayer)
        return;
    const int32_t end = PolylineEnd(m_currentVertex);
    for (int32_t k = PolylineStart(m_currentVertex); k <= end; ++k) {
        if (m_vertices[k].HasPen())
            m_vertices[k].SetLayer(layer);
    }
}

void CDrawRecArray::SetCurrentPolylinePen(int32_t pen)
{
    if (pen < 1 || pen >= std::min(GetPenCount(), maxPenCount))
        return;
    const int32_t end = PolylineEnd(m_currentVertex);
    for (int32_t k = PolylineStart(m_currentVertex) + 1; k <= end; ++k)
        m_vertices[k].SetPen(pen);
}

void CDrawRecArray::AppendCopy(CPoint point, int32_t layer, int32_t pen)
{
    DrawRec rec;
    rec.x = point.x;
    rec.y = point.y;
    rec.SetPen(pen);
    rec.SetLayer(layer);
    m_vertices.Add(rec);
    SetSelected(GetCount() - 1, true);
}

void CDrawRecArray::DuplicateSelected()
{
    const int32_t original = GetCount();
    int32_t i = 0;
    while (i < original) {
        const DrawRec rec = m_vertices[i];
        if (!rec.IsSelected() || !rec.HasPen()) {
            ++i;
            continue;
        }
        if (IsSegment(i)) {
            // A run that begins inside a polyline gets a move-to of its own.
            AppendCopy(GetPoint(i - 1), m_vertices[i - 1].GetLayer(), 0);
        } else {
            AppendCopy(GetPoint(i), rec.GetLayer(), 0);
            ++i;
        }
        while (i < original && m_vertices[i].IsSelected() && m_vertices[i].IsDrawn()) {
            AppendCopy(GetPoint(i), m_vertices[i].GetLayer(), m_vertices[i].GetPen());
            ++i;
        }
        if (i < original && !m_vertices[i].IsSelected() && m_vertices[i].IsDrawn())
            AppendCopy(GetPoint(i), m_vertices[i].GetLayer(), m_vertices[i].GetPen());
    }
    for (int32_t k = 0; k < original; ++k)
        SetSelected(k, false);
}

void CDrawRecArray::DeleteSelected()
{
    for (int32_t i = GetCount() - 1; i >= 0; --i) {
        if (i >= GetCount() || !m_vertices[i].IsSelected())
            continue;
        if (!m_vertices[i].HasPen()) {
            DeleteVertex(i);
            continue;
        }
        const int32_t start = PolylineStart(i);
        const int32_t end = PolylineEnd(i);
        if (end - start + 1 >= 3) {
            const bool wasMoveTo = !m_vertices[i].IsDrawn();
            DeleteVertex(i);
            if (wasMoveTo)
                m_vertices[i].SetPen(0);
        } else {
            RemoveRange(start, end);
            i = start;
        }
    }
    ClampCurrentVertex();
}

bool CDrawRecArray::DeleteSegment(int32_t i)
{
    if (!IsSegment(i))
        return false;
    const int32_t start = PolylineStart(i);
    const int32_t end = PolylineEnd(i);
    if (end - start + 1 < 3) {
        RemoveRange(start, end);
    } else if (i == start + 1) {
        DeleteVertex(start);
        m_vertices[start].SetPen(0);
    } else if (i == end) {
        DeleteVertex(end);
    } else {
        m_vertices[i].SetPen(0);
    }
    return true;
}

int32_t CDrawRecArray::MergeCurrentVertex()
{
    ClampCurrentVertex();
    const int32_t c = m_currentVertex;
    if (!IsValidIndex(c) || !m_vertices[c].HasPen())
        return 0;
    const int32_t start = PolylineStart(c);
    const int32_t end = PolylineEnd(c);
    const CPoint at = GetPoint(c);
    if (c == start) {
        if (c == end || GetPoint(c + 1) != at)
            return 0;
        DeleteVertex(c);
        m_vertices[c].SetPen(0);
        if (PolylineEnd(c) == c) {
            DeleteVertex(c);
            return -1;
        }
        return 1;
    }
    if (GetPoint(c - 1) == at) {
        DeleteVertex(c);
        if (c == end && c - 1 == start) {
            DeleteVertex(start);
            return -1;
        }
        SetCurrentVertex(c - 1);
        return 1;
    }
    if (c < end && GetPoint(c + 1) == at) {
        DeleteVertex(c);
        return 1;
    }
    return 0;
}

bool CDrawRecArray::ContainsPolyline(const CDrawRecArray& other, int32_t i) const
{
    if (!other.IsValidIndex(i))
        return false;
    const int32_t length = other.PolylineEnd(i) - i + 1;
    for (int32_t start = 0; start < GetCount();) {
        const int32_t end = PolylineEnd(start);
        if (end - start + 1 == length) {
            bool same = true;
            for (int32_t k = 0; k < length && same; ++k) {
                // Pens by width: the two tables number their widths each in its own way.
                same = GetPoint(start + k) == other.GetPoint(i + k) &&
                       (GetPen(start + k) == 0) == (other.GetPen(i + k) == 0) &&
                       GetVertexWidth(start + k) == other.GetVertexWidth(i + k);
            }
            if (same)
                return true;
        }
        start = end + 1;
    }
    return false;
}

void CDrawRecArray::CountPerLayer()
{
    m_layerCounts.fill(0);
    for (const DrawRec& rec : m_vertices) {
        const int32_t layer = rec.GetLayer();
        if (layer >= 0 && layer <= maxLayer)
            ++m_layerCounts[size_t(layer)];
    }
}

int32_t CDrawRecArray::GetLayerCount(int32_t layer) const
{
    return layer >= 0 && layer <= maxLayer ? m_layerCounts[size_t(layer)] : 0;
}

// ---- Hit tests
// -----------------------------------------------------------------------------------

bool CDrawRecArray::TouchesProbe(int32_t i, const CCopperShape& probe) const
{
    const CPoint a = GetPoint(i - 1);
    const CPoint b = GetPoint(i);
    return probe.TouchesSegment(a.x, a.y, b.x, b.y, GetVertexWidth(i) / 2);
}

int32_t CDrawRecArray::NearerEnd(int32_t i, CPoint point) const
{
    const CPoint a = GetPoint(i - 1);
    const CPoint b = GetPoint(i);
    return DistanceDouble(point.x, point.y, b.x, b.y) <= DistanceDouble(point.x, point.y, a.x, a.y)
               ? i
               : i - 1;
}

int32_t CDrawRecArray::HitTest(CPoint& point, int32_t mode, uint32_t layerMask)
{
    CCopperShape probe;
    probe.SetTrack(point.x, point.y, point.x, point.y, probeWidth / 2);
    for (int32_t i = 1; i < GetCount(); ++i) {
        if (!IsSegment(i) || (LayerBit(m_vertices[i].GetLayer()) & layerMask) == 0 ||
            !TouchesProbe(i, probe))
            continue;
        CPoint foot;
        PointToSegmentDistance(GetPoint(i - 1), GetPoint(i), point, foot);
        const int32_t hit = SplitSegmentAt(i, foot.x, foot.y) ? i : NearerEnd(i, point);
        ApplyMode(hit, mode);
        point = GetPoint(hit);
        return hit;
    }
    return -1;
}

int32_t CDrawRecArray::HitSegment(CPoint point, int32_t layer) const
{
    CCopperShape probe;
    probe.SetPoint(point.x, point.y);
    for (int32_t i = 1; i < GetCount(); ++i) {
        if (IsSegment(i) && m_vertices[i].GetLayer() == layer && TouchesProbe(i, probe))
            return i;
    }
    return -1;
}

int32_t CDrawRecArray::HitSegmentNearestEnd(CPoint point, int32_t layer) const
{
    const int32_t hit = HitSegment(point, layer);
    return hit < 0 ? -1 : NearerEnd(hit, point);
}

bool CDrawRecArray::SplitSegmentAt(int32_t i, int32_t x, int32_t y)
{
    if (!IsSegment(i))
        return false;
    const CPoint a = GetPoint(i - 1);
    const CPoint b = GetPoint(i);
    const int32_t length = Distance(a.x, a.y, b.x, b.y);
    if (length * MM_PER_UNIT <= 1.0)
        return false;
    const int32_t keepOff = std::min(length / 4, maxSplitEndDistance);
    if (Distance(x, y, a.x, a.y) < keepOff || Distance(x, y, b.x, b.y) < keepOff)
        return false;
    const DrawRec& end = m_vertices[i];
    return InsertVertex(i, x, y, end.GetLayer(), end.GetPen(), end.tag);
}

// ---- Drawing
// -------------------------------------------------------------------------------------

void CDrawRecArray::DrawLayer(CDeviceContext& dc, int32_t layer, const CRect& clip, COLORREF color,
                              int32_t offsetX, int32_t offsetY, int32_t zoom) const
{
    bool penSelected = false;
    CPen previous;
    int32_t pen = -1;
    int32_t lastEnd = -1;
    for (int32_t i = 1; i < GetCount(); ++i) {
        const DrawRec& rec = m_vertices[i];
        if (!IsSegment(i) || rec.IsSelected() || rec.GetLayer() != layer)
            continue;
        const CPoint a = GetPoint(i - 1);
        const CPoint b = GetPoint(i);
        if (OutsideSameSide(a, b, clip))
            continue;
        if (!penSelected || rec.GetPen() != pen) {
            pen = rec.GetPen();
            const CPen old =
                dc.SelectPen(CPen(CPen::Style::Solid, GetPenWidth(pen) / std::max(zoom, 1), color));
            if (!penSelected)
                previous = old;
            penSelected = true;
        }
        if (lastEnd != i - 1)
            dc.MoveTo(ToScreen(a, offsetX, offsetY, zoom));
        dc.LineTo(ToScreen(b, offsetX, offsetY, zoom));
        lastEnd = i;
    }
    if (penSelected)
        dc.SelectPen(previous);
}

void CDrawRecArray::DrawSelected(CDeviceContext& dc, std::span<const COLORREF> highlightColors,
                                 int32_t offsetX, int32_t offsetY, int32_t zoom,
                                 uint32_t shownLayers) const
{
    bool penSelected = false;
    CPen previous;
    CPen current;
    int32_t lastEnd = -1;
    for (int32_t i = 1; i < GetCount(); ++i) {
        const DrawRec& rec = m_vertices[i];
        const int32_t layer = rec.GetLayer();
        if (!IsSegment(i) || !rec.IsSelected() || size_t(layer) >= highlightColors.size() ||
            !IsLayerShown(shownLayers, layer))
            continue;
        const CPen wanted(CPen::Style::Solid, GetPenWidth(rec.GetPen()) / std::max(zoom, 1),
                          highlightColors[size_t(layer)]);
        if (!penSelected || !(wanted == current)) {
            const CPen old = dc.SelectPen(wanted);
            if (!penSelected)
                previous = old;
            penSelected = true;
            current = wanted;
        }
        if (lastEnd != i - 1)
            dc.MoveTo(ToScreen(GetPoint(i - 1), offsetX, offsetY, zoom));
        dc.LineTo(ToScreen(GetPoint(i), offsetX, offsetY, zoom));
        lastEnd = i;
    }
    if (penSelected)
        dc.SelectPen(previous);
}

CRect CDrawRecArray::GetCurrentSegmentRect(int32_t offsetX, int32_t offsetY, int32_t zoom) const
{
    if (GetCount() < 2)
        return CRect(0, 0, 1, 1);
    const int32_t c = std::clamp(m_currentVertex, 0, GetCount() - 1);
    const int32_t first = std::max(PolylineStart(c), c - 1);
    const int32_t last = std::min(PolylineEnd(c), c + 1);
    CPoint low = ToScreen(GetPoint(c), offsetX, offsetY, zoom);
    CPoint high = low;
    int32_t width = 0;
    for (int32_t k = first; k <= last; ++k) {
        const CPoint p = ToScreen(GetPoint(k), offsetX, offsetY, zoom);
        low = CPoint(std::min(low.x, p.x), std::min(low.y, p.y));
        high = CPoint(std::max(high.x, p.x), std::max(high.y, p.y));
        if (k > first)
            width = std::max(width, GetVertexWidth(k));
    }
    const int64_t half = width / std::max(zoom, 1) / 2;
    return CRect(SaturateToInt(low.x - half), SaturateToInt(low.y - half),
                 SaturateToInt(high.x + half + 2), SaturateToInt(high.y + half + 2));
}

// ---- Persistence
// ---------------------------------------------------------------------------------

void CDrawRecArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void CDrawRecArray::Store(CArchive& ar) const
{
    ar << m_currentVertex << m_modeWord << m_selectedFirst << m_selectedSecond
       << static_cast<uint32_t>(m_vertices.GetSize());
    for (const DrawRec& rec : m_vertices)
        rec.Write(ar);
    ar << m_currentPen;
    ar.WriteWordArray(m_pens);
}

void CDrawRecArray::Load(CArchive& ar)
{
    int32_t current = 0;
    int32_t mode = 0;
    int32_t selectedFirst = 0;
    int32_t selectedSecond = 0;
    uint32_t count = 0;
    ar >> current >> mode >> selectedFirst >> selectedSecond >> count;
    if (count > ar.GetRemaining() / DrawRec::recordSize)
        CArchive::Fail(CArchiveException::badCount, "Line vertex count " + std::to_string(count) +
                                                        " exceeds the rest of the file.");
    CDrawRecList vertices;
    vertices.SetSize(int32_t(count));
    bool layerRepaired = false;
    for (DrawRec& rec : vertices) {
        rec.Read(ar);
        // The record has room for a layer 31, which a design does not have.
        if (rec.GetLayer() > maxLayer) {
            rec.SetLayer(LAYER_DRAWING_1);
            layerRepaired = true;
        }
    }
    if (layerRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_LAYER_REPAIRED));
    int32_t currentPen = 0;
    ar >> currentPen;
    std::vector<uint16_t> pens = ar.ReadWordArray();

    m_vertices = std::move(vertices);
    m_pens = std::move(pens);
    m_currentVertex = current;
    m_modeWord = mode;
    m_currentPen = currentPen;
    // Counters that disagree with the selected bits would let the selection count drift.
    const int64_t selected = std::count_if(m_vertices.begin(), m_vertices.end(),
                                           [](const DrawRec& rec) { return rec.IsSelected(); });
    if (int64_t(selectedFirst) + selectedSecond == selected) {
        m_selectedFirst = selectedFirst;
        m_selectedSecond = selectedSecond;
    } else {
        m_selectedFirst = 0;
        m_selectedSecond = int32_t(selected);
    }
    if (RebuildPens(0) > 0)
        ar.AddLoadWarning(CResString::Load(IDS_LINE_PENS_REPAIRED));
    RemoveStrayVertices();
    ClampCurrentVertex();
}

void CDrawRecArray::RemoveStrayVertices()
{
    // A list must start with a move-to.
    while (GetCount() > 0 && m_vertices[0].IsDrawn())
        DeleteVertex(0);
    for (int32_t start = 0; start < GetCount();) {
        if (PolylineEnd(start) > start)
            start = MergeCollinear(start) + 1;
        else if (m_vertices[start].HasPen())
            DeleteVertex(start);
        else
            ++start; // a vertex without pen is kept as it is
    }
}

int32_t CDrawRecArray::MergeCollinear(int32_t i)
{
    if (GetCount() == 0)
        return -1;
    const int32_t start = PolylineStart(i);
    bool removed = true;
    while (removed) {
        removed = false;
        int32_t end = PolylineEnd(start);
        for (int32_t k = start; k < end; ++k) {
            if (GetPoint(k) == GetPoint(k + 1)) {
                DeleteVertex(k + 1);
                --end;
                removed = true;
                continue;
            }
            while (k + 2 <= end) {
                const CPoint a = GetPoint(k);
                const CPoint b = GetPoint(k + 1);
                const CPoint c = GetPoint(k + 2);
                if (GeomLineAngleMilli(a.x, a.y, b.x, b.y) !=
                        GeomLineAngleMilli(b.x, b.y, c.x, c.y) ||
                    GetPen(k + 1) != GetPen(k + 2))
                    break;
                DeleteVertex(k + 1);
                --end;
                removed = true;
            }
        }
        if (end == start) {
            if (!m_vertices[start].HasPen())
                return start;
            DeleteVertex(start);
            return start - 1;
        }
    }
    ClampCurrentVertex();
    return PolylineEnd(start);
}
