// Editing of a net's vertex list: deleting, runs, the track editor's primitives, copies and
// the shapes of track.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"

namespace {

// The middle vertex between a and b that keeps both of its segments at 45 degrees or straight:
// a diagonal from a toward b, as long as the shorter of the two distances.
CPoint Bend45(const TrackRec& a, const TrackRec& b)
{
    const int64_t dx = int64_t(b.x) - a.x;
    const int64_t dy = int64_t(b.y) - a.y;
    const int64_t d = std::min(std::abs(dx), std::abs(dy));
    return CPoint(SaturateToInt(a.x + (dx > 0 ? d : -d)), SaturateToInt(a.y + (dy > 0 ? d : -d)));
}

bool SamePoint(const TrackRec& a, const TrackRec& b)
{
    return a.x == b.x && a.y == b.y;
}

// The smallest whole divisor of 360 degrees not below the step the size asks for.
int32_t EllipseStep(int64_t a, int64_t b)
{
    const int64_t larger = std::max(a, b);
    const int32_t wanted = int32_t(std::clamp<int64_t>(45000 / larger, 1, 90));
    int32_t step = wanted;
    while (360 % step != 0)
        ++step;
    return std::clamp(step, 2, 90);
}

} // namespace

// ---- Deleting -----------------------------------------------------------------------------------

void CNet::RemoveVertices(int32_t first, int32_t count)
{
    first = std::max(first, 0);
    count = std::min(count, GetVertexCount() - first);
    if (count <= 0)
        return;
    for (int32_t i = first; i < first + count; ++i)
        SelectVertex(i, false);
    m_vertices.RemoveAt(first, count);
    ClampCurrentVertex();
    MarkChanged();
}

void CNet::DeleteSelected()
{
    for (int32_t i = GetVertexCount() - 1; i >= 0; --i) {
        if (i >= GetVertexCount() || !IsVertexSelected(i))
            continue;
        if (IsPadVertex(i)) {
            DeleteVertex(i);
            continue;
        }
        const int32_t start = GetRunStart(i);
        const int32_t length = GetRunLength(i);
        if (length >= 3) {
            const bool wasStart = i == start;
            DeleteVertex(i);
            if (wasStart)
                SetVertexPen(i, 0);
        } else if (length == 2) {
            // The partner may lie before i: go on below the run, not below i.
            RemoveVertices(start, 2);
            i = start;
        } else {
            DeleteVertex(i);
        }
    }
}

bool CNet::DeleteSegment(int32_t i)
{
    if (!IsIndex(i) || !m_vertices[i].IsDrawn())
        return false;
    const int32_t start = GetRunStart(i);
    const int32_t end = GetRunEnd(i);
    if (end - start + 1 <= 2) {
        RemoveVertices(start, end - start + 1);
    } else if (i == start + 1) {
        DeleteVertex(start);
        SetVertexPen(start, 0);
    } else if (i == end) {
        DeleteVertex(i);
    } else {
        SetVertexPen(i, 0);
        MarkChanged();
    }
    return true;
}

void CNet::DeleteCurrentRun()
{
    if (m_vertices.IsEmpty())
        return;
    const int32_t start = GetRunStart(m_currentVertex);
    RemoveVertices(start, GetRunLength(m_currentVertex));
}

void CNet::Unroute(CNetDocument& document)
{
    SelectAllVertices(false);
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        if (IsVertexAutorouted(i))
            SelectVertex(i, true);
    }
    DeleteSelected();
    CalcRatsnest(document);
}

bool CNet::UnrouteRunAt(CNetDocument& document, int32_t x, int32_t y, int32_t layer)
{
    const int32_t left = SaturateToInt(int64_t(x) - unrouteReach);
    const int32_t top = SaturateToInt(int64_t(y) - unrouteReach);
    const int32_t right = SaturateToInt(int64_t(x) + unrouteReach);
    const int32_t bottom = SaturateToInt(int64_t(y) + unrouteReach);
    for (int32_t i = GetVertexCount() - 1; i >= 1; --i) {
        const TrackRec& rec = m_vertices[i];
        if (!rec.IsDrawn() || rec.GetLayer() != layer || !IsVertexAutorouted(i))
            continue;
        const TrackRec& prev = m_vertices[i - 1];
        if (!SegmentTouchesRect(left, top, right, bottom, prev.x, prev.y, rec.x, rec.y))
            continue;
        if (GetRunLength(i) < 2)
            return false;
        RemoveVertices(GetRunStart(i), GetRunLength(i));
        CalcRatsnest(document);
        return true;
    }
    return false;
}

// ---- Runs ---------------------------------------------------------------------------------------

int32_t CNet::GetRunStart(int32_t i) const
{
    if (!IsIndex(i))
        return i;
    while (i > 0 && m_vertices[i].IsDrawn())
        --i;
    return i;
}

int32_t CNet::GetRunEnd(int32_t i) const
{
    if (m_vertices.IsEmpty())
        return -1;
    if (!IsIndex(i) || IsPadVertex(i))
        return i;
    while (i + 1 < GetVertexCount() && m_vertices[i + 1].IsDrawn())
        ++i;
    return i;
}

int32_t CNet::GetRunLength(int32_t i) const
{
    if (!IsIndex(i))
        return 0;
    return GetRunEnd(i) - GetRunStart(i) + 1;
}

int32_t CNet::SimplifyRun(int32_t i)
{
    if (!IsIndex(i) || IsPadVertex(i))
        return i;
    const int32_t start = GetRunStart(i);
    int32_t end = GetRunEnd(i);
    int32_t firstEnd = -1;
    for (;;) {
        int32_t removed = 0;
        for (int32_t j = start; j < end;) {
            while (j < end && SamePoint(m_vertices[j + 1], m_vertices[j])) {
                DeleteVertex(j + 1);
                --end;
                ++removed;
            }
            int32_t k = j + 1;
            while (end > k) {
                const TrackRec& a = m_vertices[j];
                const TrackRec& b = m_vertices[k];
                const TrackRec& c = m_vertices[k + 1];
                if (GeomLineAngleMilli(a.x, a.y, b.x, b.y) !=
                    GeomLineAngleMilli(b.x, b.y, c.x, c.y))
                    break;
                if (b.GetPen() != c.GetPen())
                    break;
                DeleteVertex(k);
                --end;
                ++removed;
            }
            j = k;
        }
        if (firstEnd < 0)
            firstEnd = end;
        if (end == start) {
            DeleteVertex(start);
            break;
        }
        if (removed == 0)
            break;
    }
    ClampCurrentVertex();
    return firstEnd;
}

void CNet::FinishRunEdit()
{
    SimplifyRun(m_currentVertex);
    SelectAllVertices(false);
    if (m_inverted)
        InvertRunDirection();
}

bool CNet::InvertRunDirection()
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex))
        return false;
    const int32_t start = GetRunStart(m_currentVertex);
    const int32_t end = GetRunEnd(m_currentVertex);
    for (int32_t a = start, b = end; a < b; ++a, --b)
        SwapVertices(a, b);
    // The pen belongs to the segment, which now ends at the vertex after its old end.
    for (int32_t k = end; k > start; --k)
        SetVertexPen(k, GetVertexPen(k - 1));
    SetVertexPen(start, 0);
    m_currentVertex = end - (m_currentVertex - start);
    m_inverted = !m_inverted;
    return true;
}

bool CNet::SetRunLayer(int32_t layer)
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex) || !IsUsableLayer(layer) ||
        GetVertexLayer(m_currentVertex) == layer)
        return false;
    const int32_t end = GetRunEnd(m_currentVertex);
    for (int32_t k = GetRunStart(m_currentVertex); k <= end; ++k)
        SetVertexLayer(k, layer);
    MarkChanged();
    return true;
}

bool CNet::SetRunPen(int32_t pen)
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex) || pen < 1 || !IsUsablePen(pen))
        return false;
    const int32_t end = GetRunEnd(m_currentVertex);
    for (int32_t k = GetRunStart(m_currentVertex) + 1; k <= end; ++k)
        SetVertexPen(k, pen);
    MarkChanged();
    return true;
}

bool CNet::ChangeRunWidth(int32_t width)
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex))
        return false;
    if (width < m_minWidth || width > m_maxWidth)
        return false;
    const int32_t pen = SelectPenByWidth(width);
    if (GetPenWidth(pen) != width)
        return false;
    return SetRunPen(pen);
}

bool CNet::StepCurrentVertex(bool forward)
{
    if (m_vertices.IsEmpty())
        return false;
    if (m_inverted)
        forward = !forward;
    const int32_t before = m_currentVertex;
    SetCurrentVertex(m_currentVertex + (forward ? 1 : -1));
    return m_currentVertex != before;
}

int32_t CNet::SelectRun(bool on)
{
    if (m_vertices.IsEmpty())
        return 0;
    int32_t changed = 0;
    const int32_t end = GetRunEnd(m_currentVertex);
    for (int32_t k = GetRunStart(m_currentVertex); k <= end; ++k)
        changed += SelectVertex(k, on);
    return changed;
}

// ---- Track editor -------------------------------------------------------------------------------

bool CNet::StartTrack(int32_t x, int32_t y, int32_t layer, bool mode45)
{
    if (m_currentPen < 1 || !IsUsablePen(m_currentPen) || !IsUsableLayer(layer))
        return false;
    m_mode45 = mode45;
    AppendSegment(x, y, x, y, layer, m_currentPen, false);
    if (mode45)
        AppendVertex(x, y, layer, m_currentPen);
    m_inverted = false;
    SetEditAnchors();
    return true;
}

void CNet::BeginRunEdit(bool mode45)
{
    m_inverted = false;
    m_mode45 = mode45;
    SetEditAnchors();
}

void CNet::SetEditAnchors()
{
    if (m_vertices.IsEmpty()) {
        m_editFirst = m_editLast = m_currentVertex = 0;
        return;
    }
    int32_t start = 0;
    int32_t end = 0;
    auto take = [&] {
        m_editFirst = m_editLast = m_currentVertex;
        start = GetRunStart(m_currentVertex);
        end = GetRunEnd(m_currentVertex);
    };
    take();
    if (IsPadVertex(m_currentVertex))
        return;

    if (m_mode45) {
        if (m_currentVertex > start) {
            const CPoint cur = GetVertexPoint(m_currentVertex);
            const CPoint prev = GetVertexPoint(m_currentVertex - 1);
            // A diagonal segment before the vertex stays: the bends are made at the other end.
            if (cur.x != prev.x && cur.y != prev.y) {
                InvertRunDirection();
                take();
            }
        }
        if (GetVertexPen(m_currentVertex) == 0) {
            InvertRunDirection();
            take();
        }
        bool needsBend = m_currentVertex == start + 1;
        if (!needsBend && m_currentVertex - 2 >= start) {
            const TrackRec& a = m_vertices[m_currentVertex - 2];
            const TrackRec& b = m_vertices[m_currentVertex - 1];
            needsBend = (a.x == b.x || a.y == b.y) && !SamePoint(a, b);
        }
        if (needsBend) {
            --m_currentVertex;
            const CPoint p = GetVertexPoint(m_currentVertex);
            InsertVertexAfterCurrent(p.x, p.y);
            ++m_currentVertex;
            take();
        }
        if (m_currentVertex == end - 1) {
            const int32_t kept = m_currentVertex;
            const CPoint p = GetVertexPoint(end);
            InsertVertexAfterCurrent(p.x, p.y);
            m_currentVertex = kept;
            take();
        }
        for (int32_t k = start; k <= end; ++k)
            SelectVertex(k, false);
        if (m_editFirst > start)
            SelectVertex(--m_editFirst, true);
        if (m_editLast < end) {
            SelectVertex(++m_editLast, true);
            if (m_editLast < end)
                ++m_editLast;
        }
    } else {
        if (GetVertexPen(m_currentVertex) == 0) {
            InvertRunDirection();
            take();
        }
        for (int32_t k = start; k <= end; ++k)
            SelectVertex(k, false);
        SelectVertex(m_currentVertex, true);
        if (m_editLast < end)
            ++m_editLast;
    }
    for (int32_t k = start; k <= end; ++k)
        SetVertexCluster(k, m_activeCluster);
}

bool CNet::MoveCurrentVertex(CNetDocument& document)
{
    if (m_vertices.IsEmpty())
        return false;
    const CPoint cursor = document.GetCursor();
    const int32_t cur = m_currentVertex;
    SetVertexPoint(cur, cursor.x, cursor.y);
    if (GetRunLength(cur) < 2)
        return false;
    const int32_t start = GetRunStart(cur);
    const int32_t end = GetRunEnd(cur);
    for (int32_t k = start; k <= end; ++k)
        SetVertexChangeMark(k, true);
    if (m_mode45) {
        if (cur >= start + 2) {
            const CPoint p = Bend45(m_vertices[cur - 2], m_vertices[cur]);
            SetVertexPoint(cur - 1, p.x, p.y);
        }
        if (cur + 1 < end) {
            const CPoint p = Bend45(m_vertices[cur], m_vertices[cur + 2]);
            SetVertexPoint(cur + 1, p.x, p.y);
        }
    }
    for (int32_t k = start; k <= end; ++k) {
        const int32_t width =
            GetVertexPen(k) == 0 && k < end ? GetVertexWidth(k + 1) : GetVertexWidth(k);
        const int64_t half = width / 2;
        const TrackRec& rec = m_vertices[k];
        GrowBox(SaturateToInt(rec.x - half), SaturateToInt(rec.y - half));
        GrowBox(SaturateToInt(rec.x + half), SaturateToInt(rec.y + half));
    }
    return true;
}

bool CNet::EditTrackInsert(CNetDocument& document)
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex))
        return false;
    CPoint point = GetCurrentVertexPoint();
    const int32_t layer = GetVertexLayer(m_currentVertex);
    const uint32_t mask = LayerBit(layer);

    if (m_currentVertex > 1 && m_vertices[m_currentVertex - 1].IsDrawn() &&
        document.GetCursor() == GetVertexPoint(m_currentVertex - 1))
        return false;

    if (HitTestPin(document, point, 0, mask) >= 0 || HitTestVia(document, point, 0, mask) >= 0 ||
        HitTestPad(document, point, 0, mask) >= 0) {
        document.SetCursor(point);
        MoveCurrentVertex(document);
        return false;
    }

    const int32_t pen = GetVertexPen(m_currentVertex);
    if (pen == 0) {
        CServices::Messages().MessageBox("CNet::EditTrackInsert with pen 0 (invertdirection)!!", "",
                                         MB_OK, MB_ICONWARNING);
        return false;
    }
    if (!InsertVertexAt(m_currentVertex + 1, point.x, point.y, layer, pen))
        return false;
    ++m_currentVertex;
    SetEditAnchors();
    return true;
}

bool CNet::InsertVertexOnSegment(const CNetDocument& document, int32_t i, CPoint point)
{
    if (i < 1 || !IsIndex(i) || !m_vertices[i].IsDrawn())
        return false;
    const TrackRec from = m_vertices[i - 1];
    const TrackRec to = m_vertices[i];
    const int32_t length = Distance(from.x, from.y, to.x, to.y);
    if (double(length) * MM_PER_UNIT < minInsertSegmentMm)
        return false;
    const int32_t reach = std::min(length / 4, maxInsertEndDistance);
    if (Distance(point.x, point.y, from.x, from.y) < reach ||
        Distance(point.x, point.y, to.x, to.y) < reach)
        return false;
    const int32_t layer = to.GetLayer();
    const int32_t pen = to.GetPen();
    if (!InsertVertexAt(i, point.x, point.y, layer, pen))
        return false;
    if (document.IsMode45())
        InsertVertexAt(i, point.x, point.y, layer, pen);
    return true;
}

int32_t CNet::TrimRunEnd()
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex))
        return 0;
    const int32_t start = GetRunStart(m_currentVertex);
    const int32_t end = GetRunEnd(m_currentVertex);
    m_editFirst = start;
    m_editLast = end;
    if (m_currentVertex != end)
        return 0;

    const CPoint endPoint = GetVertexPoint(end);
    auto isNear = [this](CPoint p) {
        const CPoint q = GetVertexPoint(m_currentVertex);
        return std::abs(int64_t(q.x) - p.x) <= trimReach &&
               std::abs(int64_t(q.y) - p.y) <= trimReach;
    };
    auto dropCurrent = [this] {
        const int32_t cur = m_currentVertex;
        DeleteVertex(cur);
        m_currentVertex = cur - 1;
    };
    while (m_currentVertex != start && isNear(endPoint))
        dropCurrent();
    while (m_currentVertex > start && GetVertexPen(m_currentVertex - 1) == 0 &&
           isNear(GetVertexPoint(m_currentVertex - 1)))
        dropCurrent();
    m_editLast = m_currentVertex;
    if (m_currentVertex != start)
        return 1;
    DeleteVertex(start);
    m_currentVertex = std::max(start - 1, 0);
    ClampCurrentVertex();
    m_editFirst = m_editLast = m_currentVertex;
    SelectAllVertices(false);
    return -1;
}

int32_t CNet::AppendSelectedCopy(TrackRec record)
{
    record.flags &= ~TrackRec::flagSelected;
    const int32_t at = GetVertexCount();
    InsertRecords(at, {record});
    SelectVertex(at, true);
    return at;
}

void CNet::DuplicateSelectedVertices()
{
    // Only the vertices there before: the copies must not be copied again.
    const int32_t count = GetVertexCount();
    for (int32_t i = 0; i < count; ++i) {
        if (!IsVertexSelected(i))
            continue;
        AppendSelectedCopy(m_vertices[i]);
        SelectVertex(i, false);
    }
}

void CNet::CopySelectedInto(CNet& target)
{
    // Only the vertices there before: when the target is this net the copies land behind
    // them. Records are copied by value, as appending may move the list.
    const int32_t count = GetVertexCount();
    // Another net numbers its pens its own way: a copy takes the target's pen of its width.
    auto inTarget = [this, &target](TrackRec rec) {
        if (&target == this || !rec.IsDrawn())
            return rec;
        const int32_t width = GetPenWidth(rec.GetPen());
        int32_t pen = target.FindPen(width);
        if (pen < 1)
            pen = target.AddPen(width);
        if (pen < 1)
            pen = target.GetCurrentPen();
        rec.penLayer = uint16_t((rec.penLayer & ~TrackRec::penMask) | uint32_t(pen));
        return rec;
    };
    int32_t i = 0;
    while (i < count) {
        const TrackRec rec = m_vertices[i];
        if (!rec.IsSelected()) {
            ++i;
            continue;
        }
        if (rec.IsPad()) {
            TrackRec copy = rec;
            copy.cluster = 0;
            target.AppendSelectedCopy(copy);
            ++i;
            continue;
        }
        int32_t next = i;
        TrackRec runStart = rec;
        if (rec.IsDrawn() && i > 0) {
            // The copy starts where the first selected segment comes from.
            const TrackRec& from = m_vertices[i - 1];
            runStart = from.IsPad() ? MakeTrackVertex(from.x, from.y, rec.GetLayer(), 0) : from;
        } else {
            ++next;
        }
        runStart.penLayer = uint16_t(runStart.penLayer & ~TrackRec::penMask);
        target.AppendSelectedCopy(runStart);
        while (next < count && m_vertices[next].IsSelected() && m_vertices[next].IsDrawn())
            target.AppendSelectedCopy(inTarget(m_vertices[next++]));
        if (next < count && m_vertices[next].IsDrawn())
            target.AppendSelectedCopy(inTarget(m_vertices[next++]));
        i = next;
    }
    for (int32_t k = 0; k < count; ++k)
        SelectVertex(k, false);
}

bool CNet::SwapVertices(int32_t a, int32_t b)
{
    if (!IsIndex(a) || !IsIndex(b))
        return false;
    TrackRec& ra = m_vertices[a];
    TrackRec& rb = m_vertices[b];
    std::swap(ra.x, rb.x);
    std::swap(ra.y, rb.y);
    std::swap(ra.penLayer, rb.penLayer);
    std::swap(ra.cluster, rb.cluster);
    std::swap(ra.flags, rb.flags);
    MarkChanged();
    return true;
}

bool CNet::SwapWithPadVertex(int32_t i, int32_t n)
{
    if (!IsIndex(i) || n < 1)
        return false;
    int32_t seen = 0;
    for (int32_t k = 0; k < GetVertexCount(); ++k) {
        if (IsPadVertex(k) && ++seen == n)
            return SwapVertices(i, k);
    }
    return false;
}

bool CNet::FindPadVertex(CPoint point, int32_t padStack, bool mirrored) const
{
    return std::any_of(m_vertices.begin(), m_vertices.end(), [&](const TrackRec& rec) {
        return rec.IsPad() && rec.GetPadStack() == padStack && rec.x == point.x &&
               rec.y == point.y && rec.IsMirrored() == mirrored;
    });
}

// ---- Shapes of track ----------------------------------------------------------------------------

bool CNet::AppendClosedRun(const std::vector<CPoint>& points, int32_t layer)
{
    if (points.size() < 2 || m_currentPen < 1 || !IsUsablePen(m_currentPen) ||
        !IsUsableLayer(layer))
        return false;
    const int32_t first = GetVertexCount();
    for (size_t k = 0; k < points.size(); ++k)
        AppendVertex(points[k].x, points[k].y, layer, k == 0 ? 0 : m_currentPen);
    for (int32_t k = first; k < GetVertexCount(); ++k)
        SelectVertex(k, true);
    m_currentVertex = GetVertexCount() - 1;
    return true;
}

bool CNet::AddEllipseTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer)
{
    const int64_t a = (int64_t(x2) - x1) / 2;
    const int64_t b = (int64_t(y2) - y1) / 2;
    if (a < minEllipseHalfAxis || b < minEllipseHalfAxis)
        return false;
    const int32_t step = EllipseStep(a, b);
    const int64_t cx = x1 + a;
    const int64_t cy = y1 + b;
    std::vector<CPoint> points{CPoint(SaturateToInt(cx), SaturateToInt(y1 + 2 * b))};
    for (int32_t t = 0; t <= 360; t += step) {
        const double radians = t * DEG_TO_RAD;
        points.emplace_back(SaturateToInt(cx + int64_t(std::sin(radians) * double(a))),
                            SaturateToInt(cy + int64_t(std::cos(radians) * double(b))));
    }
    return AppendClosedRun(points, layer);
}

bool CNet::AddRectangleTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer)
{
    return AppendClosedRun(
        {CPoint(x1, y1), CPoint(x2, y1), CPoint(x2, y2), CPoint(x1, y2), CPoint(x1, y1)}, layer);
}
