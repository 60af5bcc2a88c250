#include "analysis/CNetConnectCheck.h"
#include "analysis/CPadPairsTried.h"
#include "analysis/CopperBoxes.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>

#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

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

struct CNetConnectCheck::Buffers {
    std::vector<CRect> pinBoxes;
    std::vector<CRect> vertexBoxes;
    std::vector<const LayerPads*> pinPads;
    std::vector<const LayerPads*> vertexPads;
    std::vector<uint8_t> pinReached;
    std::vector<uint8_t> vertexReached;
    std::vector<int32_t> pendingPins;
    std::vector<int32_t> pendingVertices;
    std::vector<uint32_t> pinCandidates;
    std::vector<uint32_t> vertexCandidates;
    CSpatialGrid pinGrid;
    CSpatialGrid vertexGrid;
    std::vector<std::unique_ptr<PadSet>> padSets;
    std::vector<int64_t> padSetKeys;
};

namespace {

// Lists grown by a very large net are let go rather than kept for the thread's next check.
constexpr size_t keptItems = 4096;

} // namespace

std::unique_ptr<CNetConnectCheck::Buffers>& CNetConnectCheck::SpareBuffers()
{
    // Opening a design checks every net, mostly of a handful of items; allocating and freeing
    // their lists per net cost more than the checks.
    thread_local std::unique_ptr<Buffers> spare;
    return spare;
}

CNetConnectCheck::CNetConnectCheck(CNetDocument& document, CNet& net, size_t scanLimit,
                                   const CCheckPadTable* padTable)
    : m_document(document), m_net(net), m_padStacks(document.GetPadStacks()),
      m_buffers(SpareBuffers() ? std::move(SpareBuffers()) : std::make_unique<Buffers>()),
      m_pinBoxes(m_buffers->pinBoxes), m_vertexBoxes(m_buffers->vertexBoxes),
      m_pinPads(m_buffers->pinPads), m_vertexPads(m_buffers->vertexPads),
      m_pinReached(m_buffers->pinReached), m_vertexReached(m_buffers->vertexReached),
      m_pendingPins(m_buffers->pendingPins), m_pendingVertices(m_buffers->pendingVertices),
      m_pinCandidates(m_buffers->pinCandidates), m_vertexCandidates(m_buffers->vertexCandidates),
      m_scanLimit(scanLimit), m_pinGrid(m_buffers->pinGrid), m_vertexGrid(m_buffers->vertexGrid),
      m_padTable(padTable), m_padSets(m_buffers->padSets), m_padSetKeys(m_buffers->padSetKeys)
{
    // The sets point into this design's padstacks: they never outlive the check.
    m_padSets.clear();
    m_padSetKeys.clear();
    if (m_padTable) {
        const auto& layers = m_padTable->LayersInUse();
        std::copy(layers.begin(), layers.end(), m_layerEnabled);
        m_layersKnown = true;
    }
}

CNetConnectCheck::~CNetConnectCheck()
{
    std::unique_ptr<Buffers>& spare = SpareBuffers();
    if (spare || m_pinBoxes.capacity() + m_vertexBoxes.capacity() > keptItems)
        return;
    m_padSets.clear();
    m_padSetKeys.clear();
    spare = std::move(m_buffers);
}

int32_t CNetConnectCheck::Check(const CClusterHints* hints)
{
    ClearClusters();
    // The hinted pairs are pairs the full flood would follow too: when they reach every item
    // from the first pin, so would it, stamping each with cluster 1.
    CClusterHints::NetLinks links;
    if (hints && m_net.GetPinCount() > 0 && hints->Find(m_net, links) &&
        links.items == m_net.GetPinCount() + m_net.GetVertexCount()) {
        if (FloodAlong(links))
            return m_clusterCount;
        ClearClusters();
    }
    KnowLayers();
    ComputeBoxes();
    IndexItems();
    FloodAll();
    return m_clusterCount;
}

void CNetConnectCheck::KnowLayers()
{
    if (m_layersKnown)
        return;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        m_layerEnabled[layer] = m_document.IsLayerEnabled(layer);
    m_layersKnown = true;
}

void CNetConnectCheck::ClearClusters()
{
    const int32_t pinCount = m_net.GetPinCount();
    const int32_t vertexCount = m_net.GetVertexCount();
    for (int32_t i = 0; i < pinCount; ++i)
        m_net.SetPinCluster(i, 0);
    for (int32_t i = 0; i < vertexCount; ++i)
        m_net.SetVertexCluster(i, 0);
    m_pinReached.assign(size_t(pinCount), 0);
    m_vertexReached.assign(size_t(vertexCount), 0);
    m_reachedCount = 0;
    m_clusterCount = 0;
}

void CNetConnectCheck::FloodAll()
{
    const int32_t pinCount = m_net.GetPinCount();
    for (int32_t i = 0; i < pinCount; ++i) {
        if (m_pinReached[size_t(i)])
            continue;
        ++m_clusterCount;
        m_pendingPins.clear();
        m_pendingVertices.clear();
        ReachPin(i);
        // Explicit stacks: long runs and pin chains must not deepen the call stack. Once every
        // item is reached the items still pending have nothing left to reach.
        while ((!m_pendingPins.empty() || !m_pendingVertices.empty()) &&
               m_reachedCount < m_pinReached.size() + m_vertexReached.size()) {
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
}

bool CNetConnectCheck::FloodAlong(const CClusterHints::NetLinks& links)
{
    const int32_t pinCount = m_net.GetPinCount();
    m_clusterCount = 1;
    m_pendingPins.clear();
    m_pendingVertices.clear();
    ReachPin(0);
    while (!m_pendingPins.empty() || !m_pendingVertices.empty()) {
        int32_t item = 0;
        if (!m_pendingPins.empty()) {
            item = m_pendingPins.back();
            m_pendingPins.pop_back();
        } else {
            item = pinCount + m_pendingVertices.back();
            m_pendingVertices.pop_back();
        }
        for (const int32_t next : links.Of(item)) {
            if (next < pinCount) {
                ReachPin(next);
                continue;
            }
            const int32_t vertex = next - pinCount;
            if (m_vertexReached[size_t(vertex)])
                continue;
            if (m_net.IsPadVertex(vertex)) {
                ReachVertex(vertex);
            } else {
                ReachRun(vertex);
            }
        }
    }
    return std::find(m_pinReached.begin(), m_pinReached.end(), 0) == m_pinReached.end() &&
           std::find(m_vertexReached.begin(), m_vertexReached.end(), 0) == m_vertexReached.end();
}

CRect CNetConnectCheck::VertexBox(int32_t vertex)
{
    const TrackRec& rec = m_net.GetVertex(vertex);
    if (rec.IsPad())
        return BoxAround(rec.x, rec.y, ReachOf(rec.GetPadStack()));
    // A run start has no copper of its own.
    if (!rec.IsDrawn() || vertex == 0)
        return NoCopperBox();
    const TrackRec& prev = m_net.GetVertex(vertex - 1);
    return BoxAlong(prev.x, prev.y, rec.x, rec.y, m_net.GetVertexWidth(vertex));
}

void CNetConnectCheck::ComputeBoxes()
{
    const int32_t pinCount = m_net.GetPinCount();
    const int32_t vertexCount = m_net.GetVertexCount();
    m_pinBoxes.resize(size_t(pinCount));
    m_pinPads.resize(size_t(pinCount));
    for (int32_t i = 0; i < pinCount; ++i) {
        const NetPinRec& pin = m_net.GetPin(i);
        m_pinBoxes[size_t(i)] = BoxAround(pin.x, pin.y, ReachOf(pin.padStack));
        m_pinPads[size_t(i)] = &PadsOf(pin.padStack, pin.side != 0);
    }
    m_vertexBoxes.resize(size_t(vertexCount));
    m_vertexPads.assign(size_t(vertexCount), nullptr);
    for (int32_t i = 0; i < vertexCount; ++i) {
        m_vertexBoxes[size_t(i)] = VertexBox(i);
        const TrackRec& rec = m_net.GetVertex(i);
        if (rec.IsPad())
            m_vertexPads[size_t(i)] = &PadsOf(rec.GetPadStack(), rec.IsMirrored());
    }
}

void CNetConnectCheck::IndexItems()
{
    m_indexed = m_pinBoxes.size() + m_vertexBoxes.size() > m_scanLimit;
    if (!m_indexed)
        return;
    BoxExtent extent;
    extent.Add(m_pinBoxes);
    extent.Add(m_vertexBoxes);
    m_originX = extent.IsEmpty() ? 0 : extent.left;
    m_originY = extent.IsEmpty() ? 0 : extent.top;
    const auto fill = [this, &extent](CSpatialGrid& grid, const std::vector<CRect>& boxes,
                                      int32_t kind) {
        grid.Reset(SaturateToInt(extent.right - m_originX),
                   SaturateToInt(extent.bottom - m_originY), kind);
        AddBoxesToGrid(grid, boxes, m_originX, m_originY);
    };
    fill(m_pinGrid, m_pinBoxes, CSpatialGrid::itemsPins);
    fill(m_vertexGrid, m_vertexBoxes, CSpatialGrid::itemsVertices);
}

void CNetConnectCheck::FindCandidates(const CRect& box)
{
    m_pinCandidates.clear();
    m_vertexCandidates.clear();
    if (IsEmptyBox(box))
        return;
    const auto keep = [&box](std::vector<uint32_t>& out, const std::vector<CRect>& boxes,
                             const std::vector<uint8_t>& reached, uint32_t item) {
        if (!reached[item] && !IsEmptyBox(boxes[item]) && BoxesMeet(box, boxes[item]))
            out.push_back(item);
    };
    if (!m_indexed) {
        for (uint32_t i = 0; i < m_pinBoxes.size(); ++i)
            keep(m_pinCandidates, m_pinBoxes, m_pinReached, i);
        for (uint32_t i = 0; i < m_vertexBoxes.size(); ++i)
            keep(m_vertexCandidates, m_vertexBoxes, m_vertexReached, i);
        return;
    }
    const int32_t x1 = SaturateToInt(box.left - m_originX);
    const int32_t y1 = SaturateToInt(box.top - m_originY);
    const int32_t x2 = SaturateToInt(box.right - m_originX);
    const int32_t y2 = SaturateToInt(box.bottom - m_originY);
    for (uint32_t i : m_pinGrid.Query(x1, y1, x2, y2))
        keep(m_pinCandidates, m_pinBoxes, m_pinReached, i);
    for (uint32_t i : m_vertexGrid.Query(x1, y1, x2, y2))
        keep(m_vertexCandidates, m_vertexBoxes, m_vertexReached, i);
}

bool CNetConnectCheck::IsCopperLayerInUse(int32_t layer) const
{
    return layer >= LAYER_TOP && layer <= LAYER_INNER_12 && m_layerEnabled[layer];
}

bool CNetConnectCheck::IsLayerInUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT && m_layerEnabled[layer];
}

// ---- Pads as placed -----------------------------------------------------------------------------

const CNetConnectCheck::PadSet& CNetConnectCheck::PadSetOf(int32_t padStack, bool mirrored)
{
    if (m_padTable) {
        if (const PadSet* shared = m_padTable->Find(padStack, mirrored))
            return *shared;
    }
    const int64_t key = int64_t(padStack) * 2 + (mirrored ? 1 : 0);
    const auto known = std::find(m_padSetKeys.begin(), m_padSetKeys.end(), key);
    if (known != m_padSetKeys.end())
        return *m_padSets[size_t(known - m_padSetKeys.begin())];
    m_padSetKeys.push_back(key);
    PadSet& set = *m_padSets.emplace_back(std::make_unique<PadSet>());
    set.padStack = padStack;
    set.mirrored = mirrored;
    CCheckPadTable::Fill(set, m_padStacks.GetPadStack(padStack));
    return set;
}

CNetConnectCheck::PadItem CNetConnectCheck::PinItem(int32_t pin)
{
    const NetPinRec& rec = m_net.GetPin(pin);
    return {rec.x, rec.y, rec.angle, rec.side != 0, m_pinPads[size_t(pin)]};
}

CNetConnectCheck::PadItem CNetConnectCheck::VertexItem(int32_t vertex)
{
    const TrackRec& rec = m_net.GetVertex(vertex);
    return {rec.x, rec.y, rec.GetRotation(), rec.IsMirrored(), m_vertexPads[size_t(vertex)]};
}

void CNetConnectCheck::SetPadOutline(CCopperShape& outline, const PadItem& item,
                                     const CPad& pad) const
{
    // The pad turns with its item and by its own rotation, as it is drawn.
    const int32_t angle = int32_t((int64_t(item.angle) + pad.GetRotation()) % FULL_TURN);
    outline.SetPad(pad.GetShape(), pad.GetRect(), item.x, item.y, item.mirrored, angle, 0);
}

const CCopperShape& CNetConnectCheck::OwnOutline(const PadItem& own, const CPad& pad)
{
    if (&pad != m_outlinedPad) {
        SetPadOutline(m_outline, own, pad);
        m_outlinedPad = &pad;
    }
    return m_outline;
}

bool CNetConnectCheck::Touches(const CCopperShape& outline, const PadItem& item,
                               const CPad& pad) const
{
    CCopperShape other;
    SetPadOutline(other, item, pad);
    if (CRect::Intersection(outline.GetBounds(), other.GetBounds()).IsRectEmpty())
        return false;
    if (outline.TouchesOutline(other))
        return true;
    return LiesInside(outline, other) || LiesInside(other, outline);
}

bool CNetConnectCheck::PadsTouch(const PadItem& own, const PadItem& other)
{
    CPadPairsTried tried;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (!IsCopperLayerInUse(layer))
            continue;
        const CPad* ownPad = (*own.pads)[size_t(layer)];
        const CPad* otherPad = (*other.pads)[size_t(layer)];
        if (!ownPad || !otherPad)
            continue;
        if (!tried.Add(ownPad, otherPad))
            continue;
        if (Touches(OwnOutline(own, *ownPad), other, *otherPad))
            return true;
    }
    return false;
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

// ---- Flood --------------------------------------------------------------------------------------

void CNetConnectCheck::FloodFromPin(int32_t pin)
{
    FindCandidates(m_pinBoxes[size_t(pin)]);
    const PadItem own = PinItem(pin);
    m_outlinedPad = nullptr;
    for (uint32_t j : m_pinCandidates) {
        if (!m_pinReached[j] && PadsTouch(own, PinItem(int32_t(j))))
            ReachPin(int32_t(j));
    }
    for (uint32_t k : m_vertexCandidates) {
        const TrackRec& rec = m_net.GetVertex(int32_t(k));
        if (m_vertexReached[k] || !rec.IsDrawn() || k == 0 || !IsLayerInUse(rec.GetLayer()))
            continue;
        const CPad* ownPad = (*own.pads)[size_t(rec.GetLayer())];
        if (!ownPad)
            continue;
        if (TouchesSegment(OwnOutline(own, *ownPad), int32_t(k)))
            ReachRun(int32_t(k));
    }
    for (uint32_t k : m_vertexCandidates) {
        if (!m_vertexReached[k] && m_net.IsPadVertex(int32_t(k)) &&
            PadsTouch(own, VertexItem(int32_t(k))))
            ReachVertex(int32_t(k));
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
    FindCandidates(m_vertexBoxes[size_t(vertex)]);

    for (uint32_t j : m_pinCandidates) {
        if (m_pinReached[j])
            continue;
        const PadItem other = PinItem(int32_t(j));
        const CPad* pad = (*other.pads)[size_t(layer)];
        if (pad && Touches(track, other, *pad))
            ReachPin(int32_t(j));
    }
    for (uint32_t k : m_vertexCandidates) {
        if (m_vertexReached[k])
            continue;
        const TrackRec& rec = m_net.GetVertex(int32_t(k));
        if (rec.IsPad()) {
            const PadItem other = VertexItem(int32_t(k));
            const CPad* pad = (*other.pads)[size_t(layer)];
            if (pad && Touches(track, other, *pad))
                ReachVertex(int32_t(k));
        } else if (rec.IsDrawn() && k > 0 && rec.GetLayer() == layer &&
                   TouchesSegment(track, int32_t(k))) {
            ReachRun(int32_t(k));
        }
    }
}

void CNetConnectCheck::FloodFromVia(int32_t vertex)
{
    FindCandidates(m_vertexBoxes[size_t(vertex)]);
    const PadItem own = VertexItem(vertex);
    m_outlinedPad = nullptr;
    for (uint32_t j : m_pinCandidates) {
        if (!m_pinReached[j] && PadsTouch(own, PinItem(int32_t(j))))
            ReachPin(int32_t(j));
    }
    for (uint32_t k : m_vertexCandidates) {
        if (m_vertexReached[k])
            continue;
        const TrackRec& rec = m_net.GetVertex(int32_t(k));
        if (rec.IsPad()) {
            if (PadsTouch(own, VertexItem(int32_t(k))))
                ReachVertex(int32_t(k));
            continue;
        }
        const int32_t layer = rec.GetLayer();
        if (!rec.IsDrawn() || k == 0 || !IsCopperLayerInUse(layer))
            continue;
        const CPad* ownPad = (*own.pads)[size_t(layer)];
        if (!ownPad)
            continue;
        if (TouchesSegment(OwnOutline(own, *ownPad), int32_t(k)))
            ReachRun(int32_t(k));
    }
}

// ---- Stamps -------------------------------------------------------------------------------------

void CNetConnectCheck::ReachPin(int32_t pin)
{
    if (m_pinReached[size_t(pin)])
        return;
    m_pinReached[size_t(pin)] = 1;
    ++m_reachedCount;
    m_net.SetPinCluster(pin, m_clusterCount);
    m_pendingPins.push_back(pin);
}

void CNetConnectCheck::ReachVertex(int32_t vertex)
{
    if (m_vertexReached[size_t(vertex)])
        return;
    m_vertexReached[size_t(vertex)] = 1;
    ++m_reachedCount;
    m_net.SetVertexCluster(vertex, m_clusterCount);
    m_pendingVertices.push_back(vertex);
}

void CNetConnectCheck::ReachRun(int32_t vertex)
{
    int32_t start = vertex;
    while (start > 0 && m_net.GetVertex(start).IsDrawn())
        --start;
    // A pad or via the run starts at is no part of it: the two meet only where the pad has
    // copper on the run's layer, which the flood tests from either side.
    if (m_net.IsPadVertex(start))
        ++start;
    int32_t end = vertex;
    while (end + 1 < m_net.GetVertexCount() && m_net.GetVertex(end + 1).IsDrawn())
        ++end;
    for (int32_t k = start; k <= end; ++k)
        ReachVertex(k);
}
