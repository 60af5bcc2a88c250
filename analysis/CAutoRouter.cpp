#include "analysis/CAutoRouter.h"

#include <algorithm>

#include "analysis/CAutoRouterDocument.h"
#include "analysis/CCopperContact.h"
#include "analysis/CopperBoxes.h"
#include "analysis/TextStrokes.h"
#include "framework/Numeric.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CWevraText.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "model/RatsLine.h"

namespace {

CRect Grown(const CRect& box, int64_t by)
{
    return CRect(SaturateToInt(box.left - by), SaturateToInt(box.top - by),
                 SaturateToInt(box.right + by), SaturateToInt(box.bottom + by));
}

bool SegmentReaches(const CRect& window, CPoint a, CPoint b, int64_t half)
{
    const CRect reach = Grown(window, half);
    return SegmentTouchesRect(reach.left, reach.top, reach.right, reach.bottom, a.x, a.y, b.x, b.y);
}

CCopperShape TrackOutline(CPoint a, CPoint b, int32_t width)
{
    CCopperShape track;
    track.SetTrack(a.x, a.y, b.x, b.y, width / 2);
    return track;
}

} // namespace

CAutoRouter::CAutoRouter(CAutoRouterDocument& document) : m_document(document) {}

size_t CAutoRouter::GetShapeObstacleCount() const
{
    return m_circles.size() + m_rects.size() + m_polygons.size();
}

bool CAutoRouter::CanRouteOn(int32_t layer) const
{
    return layer >= LAYER_TOP && layer <= LAYER_INNER_12 && m_document.IsLayerEnabled(layer);
}

// ---- Passes -------------------------------------------------------------------------------------

bool CAutoRouter::RouteAllDefaultLayer()
{
    const int32_t layer = m_document.GetWorkLayer();
    if (!CanRouteOn(layer))
        return false;
    // Straight lines of the layer's own direction first, then those leaning its way, then all.
    RoutePass(layer, [layer](const RatsLine& line) {
        return (layer & 2) != 0 ? line.y1 == line.y2 : line.x1 == line.x2;
    });
    FinishPass();
    RoutePass(layer, [layer](const RatsLine& line) {
        const int64_t dx = int64_t(line.x2) - line.x1;
        const int64_t dy = int64_t(line.y2) - line.y1;
        return (layer & 1) != 0 ? dy < dx : dy > dx;
    });
    FinishPass();
    RoutePass(layer, [](const RatsLine&) { return true; });
    FinishPass();
    return true;
}

bool CAutoRouter::RouteAllTopBottom()
{
    // The toolbar keeps showing the user's layer: the tools must go on working on it.
    const int32_t workLayer = m_document.GetWorkLayer();
    for (int32_t layer : {LAYER_BOTTOM, LAYER_TOP}) {
        if (!CanRouteOn(layer))
            continue;
        m_document.ApplyWorkLayerToTool(layer);
        RoutePass(layer, [](const RatsLine&) { return true; });
        FinishPass();
    }
    if (m_document.GetWorkLayer() != workLayer)
        m_document.ApplyWorkLayerToTool(workLayer);
    return true;
}

void CAutoRouter::RoutePass(int32_t layer, const std::function<bool(const RatsLine&)>& wanted)
{
    CNetArray& nets = m_document.GetNets();
    for (int32_t i = 1; i < nets.GetCount(); ++i) {
        CNet& net = *nets.GetNet(i);
        if (net.GetRatsLineCount() == 0)
            continue;
        nets.SetCurrentNet(i);
        // Routing marks the ratsnest for recomputing, but leaves the lines until the pass ends.
        std::vector<RatsLine> lines;
        for (int32_t r = 0; r < net.GetRatsLineCount(); ++r)
            lines.push_back(net.GetRatsLine(r));
        for (const RatsLine& line : lines) {
            if (wanted(line) && RouteConnection(i, layer, line.x1, line.y1, line.x2, line.y2))
                net.CalcBoundingBox(m_document.GetNetDocument());
        }
    }
}

void CAutoRouter::FinishPass()
{
    m_document.GetNets().RecalcDirtyRatsnest();
    m_document.RedrawBoard();
}

// ---- One connection -----------------------------------------------------------------------------

bool CAutoRouter::RouteConnection(int32_t netIndex, int32_t layer, int32_t x1, int32_t y1,
                                  int32_t x2, int32_t y2)
{
    CNet* net = m_document.GetNets().GetNet(netIndex);
    if (!net || !CanRouteOn(layer) || net->GetCurrentPen() < 1 ||
        !EndsHavePads(netIndex, layer, CPoint(x1, y1), CPoint(x2, y2)) ||
        !TryPatterns(netIndex, layer, x1, y1, x2, y2))
        return false;
    const int32_t pen = net->GetCurrentPen();
    net->AppendSegment(m_path[0].x, m_path[0].y, m_path[1].x, m_path[1].y, layer, pen, true);
    for (size_t k = 2; k < m_path.size(); ++k)
        net->AppendTrackVertex(m_path[k].x, m_path[k].y, layer, pen);
    return true;
}

bool CAutoRouter::EndsHavePads(int32_t netIndex, int32_t layer, CPoint a, CPoint b) const
{
    const CNet& net = *m_document.GetNets().GetNet(netIndex);
    const CPadStackArray& padStacks = m_document.GetPadStacks();
    for (CPoint end : {a, b}) {
        bool atPin = false;
        bool hasPad = false;
        for (int32_t i = 0; i < net.GetPinCount(); ++i) {
            const NetPinRec& pin = net.GetPin(i);
            if (pin.x != end.x || pin.y != end.y)
                continue;
            atPin = true;
            hasPad =
                hasPad || padStacks.GetPad(pin.padStack, pin.side ? OppositeLayer(layer) : layer);
        }
        if (atPin && !hasPad)
            return false;
    }
    return true;
}

bool CAutoRouter::TryPatterns(int32_t net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                              int32_t y2)
{
    const CRect box(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    GatherObstacles(net, layer, Grown(box, windowMargin));
    const CNet* routed = m_document.GetNets().GetNet(net);
    m_routeWidth = routed ? routed->GetCurrentPenWidth() : initialRouteWidth;

    const CRoutePatterns patterns(CPoint(x1, y1), CPoint(x2, y2), m_routeWidth);
    m_hits.clear();
    for (CRoutePatterns::Pattern pattern : patterns.Sequence()) {
        // The straight path, tried first, left the pad it hit first in the hit list.
        for (const CRoutePatterns::Path& path : patterns.Tries(pattern, FirstHitCentre())) {
            m_path = path;
            if (TestPath())
                return true;
        }
    }
    m_path.clear();
    return false;
}

std::optional<CPoint> CAutoRouter::FirstHitCentre() const
{
    if (m_hits.empty())
        return std::nullopt;
    const Hit& hit = m_hits.front();
    const std::vector<ShapeObstacle>& list = hit.kind == hitCircle ? m_circles
                                             : hit.kind == hitRect ? m_rects
                                                                   : m_polygons;
    return list[size_t(hit.index)].centre;
}

bool CAutoRouter::TestPath()
{
    for (size_t k = 1; k < m_path.size(); ++k) {
        if (FindShapeHit(m_path[k - 1], m_path[k], m_routeWidth)) {
            m_path.clear();
            return false;
        }
    }
    for (size_t k = 1; k < m_path.size(); ++k) {
        const CCopperShape track = TrackOutline(m_path[k - 1], m_path[k], m_routeWidth);
        for (const CCopperShape& segment : m_segments) {
            if (CCopperContact::OutlinesTouch(track, segment)) {
                m_path.clear();
                return false;
            }
        }
    }
    return true;
}

bool CAutoRouter::FindShapeHit(CPoint a, CPoint b, int32_t width)
{
    const CCopperShape track = TrackOutline(a, b, width);
    const std::pair<int32_t, const std::vector<ShapeObstacle>*> lists[] = {
        {hitCircle, &m_circles}, {hitRect, &m_rects}, {hitPolygon, &m_polygons}};
    for (const auto& [kind, list] : lists) {
        for (size_t i = 0; i < list->size(); ++i) {
            if (CCopperContact::OutlinesTouch(track, (*list)[i].outline)) {
                m_hits.push_back(Hit{kind, int32_t(i)});
                return true;
            }
        }
    }
    return false;
}

// ---- Obstacles ----------------------------------------------------------------------------------

void CAutoRouter::ClearObstacles()
{
    m_circles.clear();
    m_rects.clear();
    m_polygons.clear();
    m_segments.clear();
}

void CAutoRouter::GatherObstacles(int32_t net, int32_t layer, const CRect& window)
{
    ClearObstacles();
    m_window = window;
    CNetArray& nets = m_document.GetNets();
    const CNet* routed = nets.GetNet(net);
    if (net < 0 || !routed)
        return;
    AddEdges(CRect(0, 0, m_document.GetBoardWidth(), m_document.GetBoardHeight()));
    AddEdges(window);
    // Texts are copper of no net: they keep net 0's clearance.
    AddTextObstacles(layer, std::max(routed->GetClearance(), nets.GetNet(0)->GetClearance()));
    for (int32_t k = 0; k < nets.GetCount(); ++k) {
        const CNet& other = *nets.GetNet(k);
        if (k == net || !other.IntersectsRect(window))
            continue;
        AddNetObstacles(k, layer, std::max(routed->GetClearance(), other.GetClearance()));
    }
}

void CAutoRouter::AddEdges(const CRect& box)
{
    const CPoint leftTop(box.left, box.top), rightTop(box.right, box.top);
    const CPoint leftBottom(box.left, box.bottom), rightBottom(box.right, box.bottom);
    AddSegment(leftBottom, rightBottom, edgeWidth / 2);
    AddSegment(rightBottom, rightTop, edgeWidth / 2);
    AddSegment(rightTop, leftTop, edgeWidth / 2);
    AddSegment(leftTop, leftBottom, edgeWidth / 2);
}

void CAutoRouter::AddSegment(CPoint a, CPoint b, int64_t half)
{
    CCopperShape segment;
    segment.SetTrack(a.x, a.y, b.x, b.y, SaturateToInt(half));
    m_segments.push_back(segment);
}

void CAutoRouter::AddNetObstacles(int32_t netIndex, int32_t layer, int32_t clearance)
{
    const CNet& net = *m_document.GetNets().GetNet(netIndex);
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        const TrackRec& rec = net.GetVertex(i);
        if (rec.IsPad()) {
            AddPad(rec.GetPadStack(), rec.x, rec.y, rec.IsMirrored(), rec.GetRotation(), layer,
                   clearance);
            continue;
        }
        if (i == 0 || rec.GetLayer() != layer || rec.GetPen() <= 0)
            continue;
        const TrackRec& prev = net.GetVertex(i - 1);
        const int64_t half = int64_t(net.GetVertexWidth(i) / 2) + clearance;
        const CPoint a(prev.x, prev.y), b(rec.x, rec.y);
        if (SegmentReaches(m_window, a, b, half))
            AddSegment(a, b, half);
    }
    for (int32_t i = 0; i < net.GetPinCount(); ++i) {
        const NetPinRec& pin = net.GetPin(i);
        AddPad(pin.padStack, pin.x, pin.y, pin.side != 0, pin.angle, layer, clearance);
    }
}

void CAutoRouter::AddPad(int32_t padStack, int32_t x, int32_t y, bool mirrored, int32_t angle,
                         int32_t layer, int32_t clearance)
{
    const CPad* pad =
        m_document.GetPadStacks().GetPad(padStack, mirrored ? OppositeLayer(layer) : layer);
    if (!pad)
        return;
    const int32_t turn = int32_t((int64_t(angle) + pad->GetRotation()) % FULL_TURN);
    ShapeObstacle obstacle;
    obstacle.outline.SetPad(pad->GetShape(), pad->GetRect(), x, y, mirrored, turn, clearance);
    if (obstacle.outline.GetKind() == CCopperShape::Kind::None ||
        !BoxesMeet(obstacle.outline.GetBounds(), m_window))
        return;
    const CRect bounds = obstacle.outline.GetBounds();
    // A detour bends around the pad's own centre, whatever its shape.
    obstacle.centre = CPoint(SaturateToInt((int64_t(bounds.left) + bounds.right) / 2),
                             SaturateToInt((int64_t(bounds.top) + bounds.bottom) / 2));
    switch (pad->GetShape()) {
    case PAD_ROUND:
        obstacle.centre = obstacle.outline.GetCentre();
        m_circles.push_back(obstacle);
        break;
    case PAD_SQUARE:
    case PAD_RECTANGLE:
        m_rects.push_back(obstacle);
        break;
    default:
        m_polygons.push_back(obstacle);
        break;
    }
}

void CAutoRouter::AddTextObstacles(int32_t layer, int32_t clearance)
{
    for (int32_t t = 0; t < m_document.GetTextCount(); ++t) {
        const CWevraText& text = m_document.GetText(t);
        if (text.GetLayer() != layer)
            continue;
        const int64_t half = int64_t(text.GetLineWidth() / 2) + clearance;
        ForEachTextStroke(text, m_document.GetFont(), [&](CPoint from, CPoint to) {
            if (SegmentReaches(m_window, from, to, half))
                AddSegment(from, to, half);
        });
    }
}
