#include "analysis/CNetConnectCheck.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>

#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/CSpatialGrid.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

// Around a point: a little more than the reach, so that boxes of touching copper always meet.
CRect BoxAround(int32_t x, int32_t y, int64_t reach)
{
    reach += 2;
    return CRect(SaturateToInt(x - reach), SaturateToInt(y - reach), SaturateToInt(x + reach),
                 SaturateToInt(y + reach));
}

// The edge tests of the outlines see no contact when one outline lies wholly inside a ring
// without meeting its edges; then any point of the inner one lies inside the ring.
bool LiesInside(const CCopperShape& inner, const CCopperShape& outer)
{
    if (outer.GetKind() != CCopperShape::Kind::Polygon)
        return false;
    switch (inner.GetKind()) {
    case CCopperShape::Kind::Polygon:
        return PointInPolygon(inner.GetPolygon()[0], outer.GetPolygon());
    case CCopperShape::Kind::Track:
        return PointInPolygon(inner.GetStart(), outer.GetPolygon());
    default:
        return false;
    }
}

} // namespace

CNetConnectCheck::CNetConnectCheck(CNetDocument& document, CNet& net)
    : m_document(document), m_net(net), m_padStacks(document.GetPadStacks())
{
}

int32_t CNetConnectCheck::Check()
{
    if (!m_net.GetVertexGrid() || !m_net.GetPinGrid())
        m_net.PrepareClusters(m_document);
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        m_layerEnabled[layer] = m_document.IsLayerEnabled(layer);
    ComputeBoxes();

    const int32_t pinCount = m_net.GetPinCount();
    const int32_t vertexCount = m_net.GetVertexCount();
    for (int32_t i = 0; i < pinCount; ++i)
        m_net.SetPinCluster(i, 0);
    for (int32_t i = 0; i < vertexCount; ++i)
        m_net.SetVertexCluster(i, 0);
    m_pinReached.assign(size_t(pinCount), false);
    m_vertexReached.assign(size_t(vertexCount), false);
    m_clusterCount = 0;

    for (int32_t i = 0; i < pinCount; ++i) {
        if (m_pinReached[size_t(i)])
            continue;
        ++m_clusterCount;
        m_pendingPins.clear();
        m_pendingVertices.clear();
        ReachPin(i);
        // Explicit stacks: long runs and pin chains must not deepen the call stack.
        while (!m_pendingPins.empty() || !m_pendingVertices.empty()) {
            if (!m_pendingPins.empty()) {
                const int32_t pin = m_pendingPins.back();
                m_pendingPins.pop_back();
                FloodFromPin(pin);
            } else {
                const int32_t vertex = m_pendingVertices.back();
                m_pendingVertices.pop_back();
                FloodFromVertex(vertex);
            }
        }
    }
    return m_clusterCount;
}

void CNetConnectCheck::ComputeBoxes()
{
    CPadStackReaches reaches(m_padStacks);
    m_pinBoxes.clear();
    for (int32_t i = 0; i < m_net.GetPinCount(); ++i) {
        const NetPinRec& pin = m_net.GetPin(i);
        m_pinBoxes.push_back(BoxAround(pin.x, pin.y, reaches.Of(pin.padStack)));
    }
    m_vertexBoxes.clear();
    for (int32_t i = 0; i < m_net.GetVertexCount(); ++i) {
        const TrackRec& rec = m_net.GetVertex(i);
        if (rec.IsPad()) {
            m_vertexBoxes.push_back(BoxAround(rec.x, rec.y, reaches.Of(rec.GetPadStack())));
        } else if (rec.IsDrawn() && i > 0) {
            const TrackRec& prev = m_net.GetVertex(i - 1);
            const int64_t half = int64_t(m_net.GetVertexWidth(i) >> 1) + 2;
            m_vertexBoxes.push_back(CRect(SaturateToInt(std::min(prev.x, rec.x) - half),
                                          SaturateToInt(std::min(prev.y, rec.y) - half),
                                          SaturateToInt(std::max(prev.x, rec.x) + half),
                                          SaturateToInt(std::max(prev.y, rec.y) + half)));
        } else {
            // A run start has no copper of its own.
            m_vertexBoxes.push_back(CRect(1, 1, 0, 0));
        }
    }
}

bool CNetConnectCheck::BoxesMeet(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

std::vector<uint32_t> CNetConnectCheck::Candidates(CSpatialGrid& grid, const CRect& box,
                                                   const std::vector<CRect>& boxes) const
{
    std::vector<uint32_t> found;
    if (box.left > box.right)
        return found;
    for (uint32_t item : grid.Query(box.left, box.top, box.right, box.bottom)) {
        if (item < boxes.size() && BoxesMeet(box, boxes[item]))
            found.push_back(item);
    }
    return found;
}

bool CNetConnectCheck::IsCopperLayerInUse(int32_t layer) const
{
    return layer >= LAYER_TOP && layer <= LAYER_INNER_12 && m_layerEnabled[layer];
}

bool CNetConnectCheck::IsLayerInUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT && m_layerEnabled[layer];
}

CNetConnectCheck::PadPlace CNetConnectCheck::Place(int32_t padStack, int32_t layer, bool mirrored,
                                                   int32_t x, int32_t y, int32_t angle) const
{
    PadPlace place;
    place.pad = m_padStacks.GetPad(padStack, mirrored ? OppositeLayer(layer) : layer);
    if (!place.pad)
        return place;
    place.x = x;
    place.y = y;
    place.mirrored = mirrored;
    // The pad turns with its item and by its own rotation, as it is drawn.
    place.angle = int32_t((int64_t(angle) + place.pad->GetRotation()) % FULL_TURN);
    return place;
}

CNetConnectCheck::PadPlace CNetConnectCheck::PinPad(int32_t pin, int32_t layer) const
{
    const NetPinRec& rec = m_net.GetPin(pin);
    return Place(rec.padStack, layer, rec.side != 0, rec.x, rec.y, rec.angle);
}

CNetConnectCheck::PadPlace CNetConnectCheck::VertexPad(int32_t vertex, int32_t layer) const
{
    const TrackRec& rec = m_net.GetVertex(vertex);
    return Place(rec.GetPadStack(), layer, rec.IsMirrored(), rec.x, rec.y, rec.GetRotation());
}

void CNetConnectCheck::SetPadOutline(const PadPlace& place)
{
    m_outline.SetPad(place.pad->GetShape(), place.pad->GetRect(), place.x, place.y, place.mirrored,
                     place.angle, 0);
}

bool CNetConnectCheck::Touches(const CCopperShape& outline, const PadPlace& place) const
{
    CCopperShape other;
    other.SetPad(place.pad->GetShape(), place.pad->GetRect(), place.x, place.y, place.mirrored,
                 place.angle, 0);
    if (CRect::Intersection(outline.GetBounds(), other.GetBounds()).IsRectEmpty())
        return false;
    if (outline.TouchesPad(place.pad->GetShape(), place.pad->GetRect(), place.x, place.y,
                           place.mirrored, place.angle, 0))
        return true;
    return LiesInside(outline, other) || LiesInside(other, outline);
}

bool CNetConnectCheck::TouchesSegment(const CCopperShape& outline, int32_t vertex) const
{
    const TrackRec& from = m_net.GetVertex(vertex - 1);
    const TrackRec& to = m_net.GetVertex(vertex);
    const int32_t half = m_net.GetVertexWidth(vertex) >> 1;
    if (outline.TouchesSegment(from.x, from.y, to.x, to.y, half))
        return true;
    return outline.GetKind() == CCopperShape::Kind::Polygon &&
           PointInPolygon(CPoint(from.x, from.y), outline.GetPolygon());
}

void CNetConnectCheck::FloodFromPin(int32_t pin)
{
    const CRect& box = m_pinBoxes[size_t(pin)];
    for (uint32_t j : Candidates(*m_net.GetPinGrid(), box, m_pinBoxes)) {
        if (m_pinReached[j])
            continue;
        for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
            if (!IsCopperLayerInUse(layer))
                continue;
            const PadPlace own = PinPad(pin, layer);
            const PadPlace other = PinPad(int32_t(j), layer);
            if (!own.pad || !other.pad)
                continue;
            SetPadOutline(own);
            if (Touches(m_outline, other)) {
                ReachPin(int32_t(j));
                break;
            }
        }
    }

    const std::vector<uint32_t> vertices = Candidates(*m_net.GetVertexGrid(), box, m_vertexBoxes);
    for (uint32_t k : vertices) {
        const TrackRec& rec = m_net.GetVertex(int32_t(k));
        if (m_vertexReached[k] || !rec.IsDrawn() || k == 0 || !IsLayerInUse(rec.GetLayer()))
            continue;
        const PadPlace own = PinPad(pin, rec.GetLayer());
        if (!own.pad)
            continue;
        SetPadOutline(own);
        if (TouchesSegment(m_outline, int32_t(k)))
            ReachRun(int32_t(k));
    }
    for (uint32_t k : vertices) {
        if (m_vertexReached[k] || !m_net.IsPadVertex(int32_t(k)))
            continue;
        for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
            if (!IsCopperLayerInUse(layer))
                continue;
            const PadPlace own = PinPad(pin, layer);
            const PadPlace other = VertexPad(int32_t(k), layer);
            if (!own.pad || !other.pad)
                continue;
            SetPadOutline(own);
            if (Touches(m_outline, other)) {
                ReachVertex(int32_t(k));
                break;
            }
        }
    }
}

void CNetConnectCheck::FloodFromVertex(int32_t vertex)
{
    const TrackRec& rec = m_net.GetVertex(vertex);
    if (rec.IsPad())
        FloodFromVia(vertex);
    else if (rec.IsDrawn() && vertex > 0 && IsLayerInUse(rec.GetLayer()))
        FloodFromSegment(vertex);
}

void CNetConnectCheck::FloodFromSegment(int32_t vertex)
{
    const TrackRec& from = m_net.GetVertex(vertex - 1);
    const TrackRec& to = m_net.GetVertex(vertex);
    const int32_t layer = to.GetLayer();
    CCopperShape track;
    track.SetTrack(from.x, from.y, to.x, to.y, m_net.GetVertexWidth(vertex) >> 1);
    const CRect& box = m_vertexBoxes[size_t(vertex)];

    for (uint32_t j : Candidates(*m_net.GetPinGrid(), box, m_pinBoxes)) {
        if (m_pinReached[j])
            continue;
        const PadPlace other = PinPad(int32_t(j), layer);
        if (other.pad && Touches(track, other))
            ReachPin(int32_t(j));
    }
    for (uint32_t k : Candidates(*m_net.GetVertexGrid(), box, m_vertexBoxes)) {
        if (m_vertexReached[k])
            continue;
        const TrackRec& rec = m_net.GetVertex(int32_t(k));
        if (rec.IsPad()) {
            const PadPlace other = VertexPad(int32_t(k), layer);
            if (other.pad && Touches(track, other))
                ReachVertex(int32_t(k));
        } else if (rec.IsDrawn() && k > 0 && rec.GetLayer() == layer &&
                   TouchesSegment(track, int32_t(k))) {
            ReachRun(int32_t(k));
        }
    }
}

void CNetConnectCheck::FloodFromVia(int32_t vertex)
{
    const CRect& box = m_vertexBoxes[size_t(vertex)];
    const std::vector<uint32_t> pins = Candidates(*m_net.GetPinGrid(), box, m_pinBoxes);
    const std::vector<uint32_t> vertices = Candidates(*m_net.GetVertexGrid(), box, m_vertexBoxes);

    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (!IsCopperLayerInUse(layer))
            continue;
        const PadPlace own = VertexPad(vertex, layer);
        if (!own.pad)
            continue;
        SetPadOutline(own);
        for (uint32_t j : pins) {
            if (m_pinReached[j])
                continue;
            const PadPlace other = PinPad(int32_t(j), layer);
            if (other.pad && Touches(m_outline, other))
                ReachPin(int32_t(j));
        }
        for (uint32_t k : vertices) {
            if (m_vertexReached[k])
                continue;
            const TrackRec& rec = m_net.GetVertex(int32_t(k));
            if (rec.IsPad()) {
                const PadPlace other = VertexPad(int32_t(k), layer);
                if (other.pad && Touches(m_outline, other))
                    ReachVertex(int32_t(k));
            } else if (rec.IsDrawn() && k > 0 && rec.GetLayer() == layer &&
                       TouchesSegment(m_outline, int32_t(k))) {
                ReachRun(int32_t(k));
            }
        }
    }
}

void CNetConnectCheck::ReachPin(int32_t pin)
{
    if (m_pinReached[size_t(pin)])
        return;
    m_pinReached[size_t(pin)] = true;
    m_net.SetPinCluster(pin, m_clusterCount);
    m_pendingPins.push_back(pin);
}

void CNetConnectCheck::ReachVertex(int32_t vertex)
{
    if (m_vertexReached[size_t(vertex)])
        return;
    m_vertexReached[size_t(vertex)] = true;
    m_net.SetVertexCluster(vertex, m_clusterCount);
    m_pendingVertices.push_back(vertex);
}

void CNetConnectCheck::ReachRun(int32_t vertex)
{
    int32_t start = vertex;
    while (start > 0 && m_net.GetVertex(start).IsDrawn())
        --start;
    int32_t end = vertex;
    while (end + 1 < m_net.GetVertexCount() && m_net.GetVertex(end + 1).IsDrawn())
        ++end;
    for (int32_t k = start; k <= end; ++k)
        ReachVertex(k);
}
