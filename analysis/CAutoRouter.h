#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/CRoutePatterns.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CCopperShape.h"

class CAutoRouterDocument;
struct RatsLine;

// The pattern autorouter: turns ratsnest connections into tracks on one copper layer. For each
// connection it gathers the copper of the other nets around it (pads and vias with their real
// outline grown by the clearance, track segments, free texts, the board edges and the edges of a
// window around the connection), tries the fixed candidate paths of CRoutePatterns in order and
// appends the first free one to the net as a run whose vertices carry the autorouted mark, so
// that the unroute commands find them. A connection with no free candidate stays unrouted.
//
// Routing is refused on a layer that is not an enabled signal layer, and for a connection that
// ends on a pin with no pad on that layer: such a track would connect nothing.
class CAutoRouter {
public:
    // The route width before the first connection.
    static constexpr int32_t initialRouteWidth = 2015;
    // The window reaches this far beyond the connection's box on every side.
    static constexpr int32_t windowMargin = 256000;
    // Board and window edges are obstacles of this width.
    static constexpr int32_t edgeWidth = 10;
    // Kinds of the shape obstacles in the hit list.
    static constexpr int32_t hitCircle = 1;
    static constexpr int32_t hitRect = 2;
    static constexpr int32_t hitPolygon = 3;

    struct Hit {
        int32_t kind = 0;
        int32_t index = 0;
        bool operator==(const Hit&) const = default;
    };

    explicit CAutoRouter(CAutoRouterDocument& document);

    // Three passes over every net's ratsnest on the work layer: first the straight lines of the
    // layer's own direction (horizontal where the layer number has bit 1 set), then the lines
    // leaning its way, then all. False, routing nothing, on a layer that cannot route.
    bool RouteAllDefaultLayer();
    // Everything on the bottom layer, then what is left on the top layer.
    bool RouteAllTopBottom();
    // Appends a free path for the connection to the net as an autorouted run with the net's
    // current pen, and makes its last vertex current. False when no candidate is free or the
    // routing is refused.
    bool RouteConnection(int32_t net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                         int32_t y2);
    // Finds the first free candidate; it stands in GetPath.
    bool TryPatterns(int32_t net, int32_t layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void GatherObstacles(int32_t net, int32_t layer, const CRect& window);
    // Whether the path is free of every obstacle at the route width; a blocked path is emptied.
    bool TestPath();
    // Whether the segment at the width hits a pad obstacle; the first hit joins the hit list.
    bool FindShapeHit(CPoint a, CPoint b, int32_t width);

    const std::vector<CPoint>& GetPath() const { return m_path; }
    const std::vector<Hit>& GetHits() const { return m_hits; }
    int32_t GetRouteWidth() const { return m_routeWidth; }
    void SetRouteWidth(int32_t width) { m_routeWidth = width; }
    const CRect& GetWindow() const { return m_window; }
    size_t GetShapeObstacleCount() const;
    size_t GetSegmentObstacleCount() const { return m_segments.size(); }

private:
    struct ShapeObstacle {
        CCopperShape outline;
        CPoint centre;
    };

    bool CanRouteOn(int32_t layer) const;
    // Whether each end that lies on a pin of the net lies on one with a pad on the layer.
    bool EndsHavePads(int32_t net, int32_t layer, CPoint a, CPoint b) const;
    void RoutePass(int32_t layer, const std::function<bool(const RatsLine&)>& wanted);
    void FinishPass();

    void AddEdges(const CRect& box);
    void AddSegment(CPoint a, CPoint b, int64_t width);
    void AddPad(int32_t padStack, int32_t x, int32_t y, bool mirrored, int32_t angle, int32_t layer,
                int32_t clearance);
    void AddNetObstacles(int32_t net, int32_t layer, int32_t clearance);
    void AddTextObstacles(int32_t layer, int32_t clearance);
    void ClearObstacles();
    // The centre of the first pad the straight path hit, if it hit one.
    std::optional<CPoint> FirstHitCentre() const;

    CAutoRouterDocument& m_document;
    int32_t m_routeWidth = initialRouteWidth;
    std::vector<Hit> m_hits;
    CRect m_window;
    std::vector<CPoint> m_path;
    std::vector<ShapeObstacle> m_circles;
    std::vector<ShapeObstacle> m_rects;
    std::vector<ShapeObstacle> m_polygons;
    std::vector<CCopperShape> m_segments;
};
