#include "analysis/CCopperContact.h"

#include <bit>
#include <span>

#include "framework/CRect.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

using Kind = CCopperShape::Kind;

bool TrackTouchesRing(const CCopperShape& track, const CCopperShape& ring)
{
    // Most tracks start or end at a pad's centre: the start inside answers before the edges.
    const std::span<const CPoint> points = ring.GetPolygon();
    if (PointInPolygon(track.GetStart(), points))
        return true;
    for (size_t k = 1; k < points.size(); ++k) {
        if (SegmentsTouch(track.GetStart(), track.GetEnd(), points[k - 1], points[k],
                          track.GetRadius(), 0))
            return true;
    }
    return false;
}

bool RingsTouch(const CCopperShape& a, const CCopperShape& b)
{
    return PolygonsCross(a.GetPolygon(), b.GetPolygon()) ||
           PointInPolygon(a.GetPolygon()[0], b.GetPolygon()) ||
           PointInPolygon(b.GetPolygon()[0], a.GetPolygon());
}

} // namespace

CCopperContact::CCopperContact(const CPadStackArray& padStacks, uint32_t layersInUse)
    : m_padStacks(padStacks), m_layers(layersInUse)
{
}

bool CCopperContact::IsLayerInUse(int32_t layer) const
{
    return layer >= LAYER_TOP && layer <= LAYER_INNER_12 && (m_layers & LayerBit(layer)) != 0;
}

uint32_t CCopperContact::PadLayers(const CopperPad& pad) const
{
    uint32_t layers = 0;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (IsLayerInUse(layer) &&
            m_padStacks.GetPad(pad.padStack, pad.mirrored ? OppositeLayer(layer) : layer))
            layers |= LayerBit(layer);
    }
    return layers;
}

bool CCopperContact::PadOutline(const CopperPad& pad, int32_t layer, CCopperShape& outline) const
{
    const CPad* found =
        m_padStacks.GetPad(pad.padStack, pad.mirrored ? OppositeLayer(layer) : layer);
    if (!found)
        return false;
    // The pad turns with its item and by its own rotation, as it is drawn.
    const int32_t angle = int32_t((int64_t(pad.angle) + found->GetRotation()) % FULL_TURN);
    outline.SetPad(found->GetShape(), found->GetRect(), pad.x, pad.y, pad.mirrored, angle, 0);
    return outline.GetKind() != Kind::None;
}

bool CCopperContact::PadsTouch(const CopperPad& a, const CopperPad& b) const
{
    uint32_t common = PadLayers(a) & PadLayers(b);
    CCopperShape outlineA;
    CCopperShape outlineB;
    while (common != 0) {
        const int32_t layer = std::countr_zero(common) + 1;
        common &= common - 1;
        if (PadOutline(a, layer, outlineA) && PadOutline(b, layer, outlineB) &&
            OutlinesTouch(outlineA, outlineB))
            return true;
    }
    return false;
}

bool CCopperContact::PadTouchesSegment(const CopperPad& pad, const CopperSegment& segment) const
{
    CCopperShape outline;
    if (!IsLayerInUse(segment.layer) || !PadOutline(pad, segment.layer, outline))
        return false;
    CCopperShape track;
    track.SetTrack(segment.from.x, segment.from.y, segment.to.x, segment.to.y, segment.halfWidth);
    return OutlinesTouch(outline, track);
}

bool CCopperContact::SegmentsTouch(const CopperSegment& a, const CopperSegment& b) const
{
    if (a.layer != b.layer || !IsLayerInUse(a.layer))
        return false;
    CCopperShape trackA;
    CCopperShape trackB;
    trackA.SetTrack(a.from.x, a.from.y, a.to.x, a.to.y, a.halfWidth);
    trackB.SetTrack(b.from.x, b.from.y, b.to.x, b.to.y, b.halfWidth);
    return OutlinesTouch(trackA, trackB);
}

bool CCopperContact::OutlinesTouch(const CCopperShape& a, const CCopperShape& b)
{
    if (a.GetKind() == Kind::None || b.GetKind() == Kind::None)
        return false;
    if (CRect::Intersection(a.GetBounds(), b.GetBounds()).IsRectEmpty())
        return false;
    // One order of the kinds for every pair keeps the answer the same both ways round.
    const bool inOrder = a.GetKind() <= b.GetKind();
    const CCopperShape& p = inOrder ? a : b;
    const CCopperShape& q = inOrder ? b : a;
    switch (p.GetKind()) {
    case Kind::Circle:
        switch (q.GetKind()) {
        case Kind::Circle:
            return CirclesTouch(p.GetCentre(), q.GetCentre(), p.GetRadius(), q.GetRadius());
        case Kind::Polygon:
            return CircleTouchesPolygon(p.GetCentre(), p.GetRadius(), q.GetPolygon());
        case Kind::Track:
            return SegmentTouchesCircle(q.GetStart(), q.GetEnd(), p.GetCentre(), q.GetRadius(),
                                        p.GetRadius());
        default:
            return CirclesTouch(p.GetCentre(), q.GetCentre(), p.GetRadius(), 0);
        }
    case Kind::Polygon:
        switch (q.GetKind()) {
        case Kind::Polygon:
            return RingsTouch(p, q);
        case Kind::Track:
            return TrackTouchesRing(q, p);
        default:
            return PointInPolygon(q.GetCentre(), p.GetPolygon());
        }
    case Kind::Track:
        if (q.GetKind() == Kind::Track)
            return ::SegmentsTouch(p.GetStart(), p.GetEnd(), q.GetStart(), q.GetEnd(),
                                   p.GetRadius(), q.GetRadius());
        return SegmentTouchesCircle(p.GetStart(), p.GetEnd(), q.GetCentre(), p.GetRadius(), 0);
    default:
        return p.GetCentre() == q.GetCentre();
    }
}
