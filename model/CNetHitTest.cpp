// Hit tests and rectangle selection of one net.

#include <algorithm>

#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

bool OnMaskLayer(const TrackRec& rec, uint32_t layerMask)
{
    return (LayerBit(rec.GetLayer()) & layerMask) != 0;
}

// A pad or via reaches a mask layer through its padstack; the whole mask takes every one.
bool PadOnMask(const CPadStackArray& padStacks, const TrackRec& rec, uint32_t layerMask)
{
    return layerMask == LAYER_MASK_ALL ||
           (padStacks.GetLayerMask(rec.GetPadStack(), rec.IsMirrored()) & layerMask) != 0;
}

CRect Normalized(const CRect& rect)
{
    CRect r = rect;
    r.NormalizeRect();
    return r;
}

} // namespace

// ---- Probing ------------------------------------------------------------------------------------

bool CNet::BoxContains(CPoint point) const
{
    return point.x >= m_box.left && point.x <= m_box.right && point.y >= m_box.top &&
           point.y <= m_box.bottom;
}

bool CNet::ProbeTouchesSegment(int32_t i, uint32_t layerMask) const
{
    if (i < 1 || !IsIndex(i))
        return false;
    const TrackRec& rec = m_vertices[i];
    if (!rec.IsDrawn() || !OnMaskLayer(rec, layerMask))
        return false;
    const TrackRec& prev = m_vertices[i - 1];
    return m_probe.TouchesSegment(prev.x, prev.y, rec.x, rec.y, GetVertexWidth(i) / 2);
}

bool CNet::ProbeTouchesPads(const CPadStackArray& padStacks, int32_t padStack, int32_t x, int32_t y,
                            int32_t angle, bool mirrored, uint32_t layerMask) const
{
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if ((LayerBit(layer) & layerMask) == 0)
            continue;
        const CPad* pad = padStacks.GetPad(padStack, mirrored ? OppositeLayer(layer) : layer);
        if (!pad)
            continue;
        // The pad turns with its item and by its own rotation, as it is drawn.
        const int32_t turn = int32_t((int64_t(angle) + pad->GetRotation()) % FULL_TURN);
        if (m_probe.TouchesPad(pad->GetShape(), pad->GetRect(), x, y, mirrored, turn, 0))
            return true;
    }
    return false;
}

int32_t CNet::FindPinAtProbe(const CNetDocument& document, uint32_t layerMask,
                             const std::vector<int64_t>* missDistances) const
{
    const CPadStackArray& padStacks = document.GetPadStacks();
    const size_t known = missDistances ? missDistances->size() : 0;
    for (int32_t i = 0; i < GetPinCount(); ++i) {
        const NetPinRec& pin = m_pins[i];
        if (pin.padStack < known &&
            m_probe.IsFartherThan(pin.x, pin.y, (*missDistances)[pin.padStack]))
            continue;
        if (ProbeTouchesPads(padStacks, pin.padStack, pin.x, pin.y, pin.angle, pin.side != 0,
                             layerMask))
            return i;
    }
    return -1;
}

int32_t CNet::FindPadVertexAtProbe(const CNetDocument& document, uint32_t layerMask,
                                   int32_t viaKind) const
{
    const CPadStackArray& padStacks = document.GetPadStacks();
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (!rec.IsPad())
            continue;
        if (viaKind >= 0 && padStacks.IsVia(rec.GetPadStack()) != (viaKind == 1))
            continue;
        if (ProbeTouchesPads(padStacks, rec.GetPadStack(), rec.x, rec.y, rec.GetRotation(),
                             rec.IsMirrored(), layerMask))
            return i;
    }
    return -1;
}

int32_t CNet::FindSegmentAtProbe(uint32_t layerMask) const
{
    for (int32_t i = 1; i < GetVertexCount(); ++i) {
        if (ProbeTouchesSegment(i, layerMask))
            return i;
    }
    return -1;
}

void CNet::ApplySelectMode(int32_t i, int32_t mode)
{
    if (mode & hitSelect)
        SelectVertex(i, true);
    else if (mode & hitToggle)
        SelectVertex(i, !IsVertexSelected(i));
}

void CNet::ApplyNetSelectMode(int32_t mode)
{
    if (mode & hitSelect)
        SelectAllVertices(true);
    else if (mode & hitToggle)
        SelectAllVertices(GetSelectedCount() == 0);
}

// ---- Hit tests ----------------------------------------------------------------------------------

int32_t CNet::HitTestPin(const CNetDocument& document, CPoint& point, int32_t /*mode*/,
                         uint32_t layerMask)
{
    m_probe.SetPoint(point.x, point.y);
    const int32_t pin = FindPinAtProbe(document, layerMask);
    if (pin < 0)
        return -1;
    point = CPoint(m_pins[pin].x, m_pins[pin].y);
    m_activeCluster = m_pins[pin].GetCluster();
    return pin;
}

bool CNet::HasPinAt(const CNetDocument& document, CPoint point, uint32_t layerMask,
                    const std::vector<int64_t>& missDistances) const
{
    m_probe.SetPoint(point.x, point.y);
    return FindPinAtProbe(document, layerMask, &missDistances) >= 0;
}

int32_t CNet::HitTestSegment(const CNetDocument& /*document*/, CPoint& point, int32_t mode,
                             uint32_t layerMask)
{
    if (!BoxContains(point))
        return -1;
    m_probe.SetPoint(point.x, point.y);
    const int32_t i = FindSegmentAtProbe(layerMask);
    if (i < 0)
        return -1;
    m_activeCluster = m_vertices[i].cluster;
    const CPoint from = GetVertexPoint(i - 1);
    const CPoint to = GetVertexPoint(i);
    CPoint nearest;
    PointToSegmentDistance(from, to, point, nearest);
    const int32_t r =
        Distance(nearest.x, nearest.y, from.x, from.y) < Distance(nearest.x, nearest.y, to.x, to.y)
            ? i - 1
            : i;
    if (mode & hitMakeCurrent)
        m_currentVertex = r;
    if (mode & hitSelect)
        SelectVertex(r, true);
    else if (mode & hitToggle)
        SelectVertex(i, !IsVertexSelected(i));
    point = nearest;
    return r;
}

int32_t CNet::HitTestVertex(const CNetDocument& document, CPoint& point, int32_t mode,
                            uint32_t layerMask)
{
    if (!BoxContains(point))
        return -1;
    m_probe.SetPoint(point.x, point.y);
    const int32_t i = FindSegmentAtProbe(layerMask);
    if (i < 0)
        return -1;
    if (mode & hitReport) {
        point = GetVertexPoint(i);
        return i;
    }
    m_activeCluster = m_vertices[i].cluster;
    const CPoint from = GetVertexPoint(i - 1);
    const CPoint to = GetVertexPoint(i);
    CPoint nearest;
    PointToSegmentDistance(from, to, point, nearest);
    int32_t r = -1;
    if ((mode & hitInsert) && InsertVertexOnSegment(document, i, nearest))
        r = i;
    else
        r = Distance(nearest.x, nearest.y, from.x, from.y) <
                    Distance(nearest.x, nearest.y, to.x, to.y)
                ? i - 1
                : i;
    if (mode & hitMakeCurrent)
        m_currentVertex = r;
    if (mode & hitSelect)
        SelectVertex(r, true);
    else if (mode & hitToggle)
        SelectVertex(i, !IsVertexSelected(i));
    point = GetVertexPoint(r);
    return r;
}

bool CNet::HitTestNet(const CNetDocument& document, CPoint& point, int32_t mode, uint32_t layerMask)
{
    m_probe.SetPoint(point.x, point.y);
    CPoint found;
    if (const int32_t pin = FindPinAtProbe(document, layerMask); pin >= 0) {
        found = CPoint(m_pins[pin].x, m_pins[pin].y);
        m_activeCluster = m_pins[pin].GetCluster();
    } else if (const int32_t pad = FindPadVertexAtProbe(document, layerMask, -1); pad >= 0) {
        found = GetVertexPoint(pad);
    } else if (const int32_t i = FindSegmentAtProbe(layerMask); i >= 0) {
        const CPoint from = GetVertexPoint(i - 1);
        const CPoint to = GetVertexPoint(i);
        CPoint nearest;
        PointToSegmentDistance(from, to, point, nearest);
        found = Distance(nearest.x, nearest.y, from.x, from.y) <
                        Distance(nearest.x, nearest.y, to.x, to.y)
                    ? from
                    : to;
    } else {
        return false;
    }
    ApplyNetSelectMode(mode);
    point = found;
    return true;
}

int32_t CNet::HitTestPad(const CNetDocument& document, CPoint& point, int32_t mode,
                         uint32_t layerMask)
{
    return HitTestPadVertex(document, point, mode, layerMask, 0);
}

int32_t CNet::HitTestVia(const CNetDocument& document, CPoint& point, int32_t mode,
                         uint32_t layerMask)
{
    return HitTestPadVertex(document, point, mode, layerMask, 1);
}

int32_t CNet::HitTestPadVertex(const CNetDocument& document, CPoint& point, int32_t mode,
                               uint32_t layerMask, int32_t viaKind)
{
    if (!BoxContains(point))
        return -1;
    m_probe.SetPoint(point.x, point.y);
    const int32_t i = FindPadVertexAtProbe(document, layerMask, viaKind);
    if (i < 0)
        return -1;
    if (mode & hitMakeCurrent)
        m_currentVertex = i;
    ApplySelectMode(i, mode);
    point = GetVertexPoint(i);
    return i;
}

int32_t CNet::HitTestRun(const CNetDocument& /*document*/, CPoint& point, int32_t mode,
                         uint32_t layerMask)
{
    if (!BoxContains(point))
        return -1;
    m_probe.SetPoint(point.x, point.y);
    for (int32_t i = GetVertexCount() - 1; i >= 1; --i) {
        if (!ProbeTouchesSegment(i, layerMask))
            continue;
        m_currentVertex = i;
        const int32_t start = GetRunStart(i);
        const int32_t end = GetRunEnd(i);
        for (int32_t k = start; k <= end; ++k)
            ApplySelectMode(k, mode);
        point = GetVertexPoint(start);
        if (mode & hitMakeCurrent)
            m_currentVertex = start;
        return start;
    }
    return -1;
}

// ---- Rectangle selection ------------------------------------------------------------------------

bool CNet::SelectIfPinsInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                              uint32_t layerMask)
{
    if (!IntersectsRect(rect))
        return false;
    const CRect r = Normalized(rect);
    const CPadStackArray& padStacks = document.GetPadStacks();
    const bool pinInside = std::any_of(m_pins.begin(), m_pins.end(), [&](const NetPinRec& pin) {
        return r.PtInRect(CPoint(pin.x, pin.y)) && (pin.layerMask & layerMask) != 0;
    });
    const bool vertexInside =
        pinInside || std::any_of(m_vertices.begin(), m_vertices.end(), [&](const TrackRec& rec) {
            if (!r.PtInRect(CPoint(rec.x, rec.y)))
                return false;
            if (rec.IsPad())
                return (padStacks.GetLayerMask(rec.GetPadStack(), rec.IsMirrored()) & layerMask) !=
                       0;
            return OnMaskLayer(rec, layerMask);
        });
    if (!vertexInside)
        return false;
    ApplyNetSelectMode(mode);
    return true;
}

bool CNet::SelectVerticesInRect(const CRect& rect, int32_t mode,
                                const std::function<bool(const TrackRec&)>& wanted)
{
    const CRect r = Normalized(rect);
    bool found = false;
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (r.PtInRect(CPoint(rec.x, rec.y)) && wanted(rec)) {
            ApplySelectMode(i, mode);
            found = true;
        }
    }
    return found;
}

bool CNet::SelectPadsInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                            uint32_t layerMask)
{
    const CPadStackArray& padStacks = document.GetPadStacks();
    return SelectVerticesInRect(rect, mode, [&](const TrackRec& rec) {
        return rec.IsPad() && padStacks.IsPadKind(rec.GetPadStack()) &&
               PadOnMask(padStacks, rec, layerMask);
    });
}

bool CNet::SelectTrackVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectVerticesInRect(rect, mode, [&](const TrackRec& rec) {
        return !rec.IsPad() && OnMaskLayer(rec, layerMask);
    });
}

bool CNet::SelectRunsInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    const CRect r = Normalized(rect);
    bool found = false;
    for (int32_t i = GetVertexCount() - 1; i >= 1; --i) {
        const TrackRec& rec = m_vertices[i];
        if (!rec.IsDrawn() || !OnMaskLayer(rec, layerMask))
            continue;
        const TrackRec& prev = m_vertices[i - 1];
        if (!SegmentTouchesRect(r.left, r.top, r.right, r.bottom, prev.x, prev.y, rec.x, rec.y))
            continue;
        const int32_t start = GetRunStart(i);
        const int32_t end = GetRunEnd(i);
        for (int32_t k = start; k <= end; ++k)
            ApplySelectMode(k, mode);
        found = true;
        // The scan goes on below this run.
        i = start;
    }
    return found;
}

bool CNet::SelectViasInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                            uint32_t layerMask)
{
    const CRect r = Normalized(rect);
    const CPadStackArray& padStacks = document.GetPadStacks();
    bool found = false;
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (rec.IsPad() && r.PtInRect(CPoint(rec.x, rec.y)) && padStacks.IsVia(rec.GetPadStack()) &&
            PadOnMask(padStacks, rec, layerMask)) {
            ApplySelectMode(i, mode);
            found = true;
        }
    }
    return found;
}
