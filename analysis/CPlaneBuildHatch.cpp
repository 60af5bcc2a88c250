#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/Geometry.h"
#include "model/SegmentIntersection.h"

namespace {

// The crossings of a set of edges with horizontal lines taken from top to bottom: an edge
// counts for y when min(y) <= y < max(y), so horizontal edges never count and a vertex counts
// once. The edges spanning the line are kept as y moves down instead of testing every edge
// for every line.
class EdgeSweep {
public:
    struct Crossing {
        int32_t x;
        int32_t edge;

        bool operator<(const Crossing& other) const { return x < other.x; }
    };

    void Add(CPoint a, CPoint b)
    {
        if (a.y != b.y)
            m_edges.push_back(Edge{a, b, std::min(a.y, b.y), std::max(a.y, b.y)});
    }

    void Start()
    {
        std::sort(m_edges.begin(), m_edges.end(),
                  [](const Edge& e, const Edge& f) { return e.low < f.low; });
        m_next = 0;
        m_active.clear();
    }

    CPoint From(int32_t edge) const { return m_edges[size_t(edge)].a; }
    CPoint To(int32_t edge) const { return m_edges[size_t(edge)].b; }

    // The crossings at y by x; y must not decrease from one call to the next.
    const std::vector<Crossing>& At(int64_t y)
    {
        while (m_next < m_edges.size() && m_edges[m_next].low <= y)
            m_active.push_back(int32_t(m_next++));
        std::erase_if(m_active, [&](int32_t e) { return m_edges[size_t(e)].high <= y; });
        m_crossings.clear();
        for (int32_t index : m_active) {
            const Edge& e = m_edges[size_t(index)];
            CPoint hit;
            if (IntersectSegments(e.a.x, e.a.y, e.b.x, e.b.y, std::numeric_limits<int32_t>::min(),
                                  int32_t(y), std::numeric_limits<int32_t>::max(), int32_t(y), hit))
                m_crossings.push_back(Crossing{hit.x, index});
        }
        if (m_crossings.size() >= 2)
            std::sort(m_crossings.begin(), m_crossings.end());
        return m_crossings;
    }

private:
    struct Edge {
        CPoint a;
        CPoint b;
        int32_t low;
        int32_t high;
    };

    std::vector<Edge> m_edges;
    std::vector<int32_t> m_active;
    std::vector<Crossing> m_crossings;
    size_t m_next = 0;
};

} // namespace

void CPlaneBuild::ScanLines(const std::vector<std::vector<CPoint>>& rings, int32_t firstY,
                            int32_t endY, int32_t step, const ScanLineSink& sink)
{
    EdgeSweep sweep;
    for (const auto& ring : rings) {
        for (size_t k = 1; k < ring.size(); ++k)
            sweep.Add(ring[k - 1], ring[k]);
    }
    sweep.Start();
    const int64_t stride = std::max(step, 1);
    std::vector<int32_t> xs;
    for (int64_t y = firstY; y < endY; y += stride) {
        xs.clear();
        for (const EdgeSweep::Crossing& c : sweep.At(y))
            xs.push_back(c.x);
        sink(int32_t(y), xs);
    }
}

bool CPlaneBuild::FillHatch()
{
    switch (m_plane.GetStyle()) {
    case CPour::styleSolid: {
        const int32_t grid = m_plane.GetHatchGrid();
        m_plane.SetHatchGrid(m_plane.GetPenWidth() - solidOverlap);
        const bool clear = Hatch(0);
        m_plane.SetHatchGrid(grid);
        return clear;
    }
    case CPour::styleLine:
        return Hatch(m_plane.GetHatchRotation());
    case CPour::styleCross:
        return Hatch(m_plane.GetHatchRotation()) && Hatch(m_plane.GetHatchRotation() + 90000);
    default:
        return true;
    }
}

bool CPlaneBuild::Hatch(int32_t angle)
{
    const auto turned = [angle](CPoint p) { return angle != 0 ? RotatePoint(p.x, p.y, angle) : p; };
    // The lines are found on turned copies: the polygons and the lines already made keep
    // their points exactly.
    EdgeSweep polygons;
    int32_t minY = std::numeric_limits<int32_t>::max();
    int32_t maxY = std::numeric_limits<int32_t>::min();
    for (const auto& polygon : m_plane.GetFillPolylines()) {
        CPoint previous;
        for (int32_t k = 0; k < polygon->GetSize(); ++k) {
            const CPoint p = turned((*polygon)[k]);
            if (k > 0)
                polygons.Add(previous, p);
            previous = p;
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    polygons.Start();
    // Every guide but those of thermal reliefs bounds other copper; none may pass through a
    // line.
    EdgeSweep guides;
    for (const DLine3& guide : m_guides) {
        if (!guide.IsThermal())
            guides.Add(turned(guide.Start()), turned(guide.End()));
    }
    guides.Start();

    if (m_plane.GetHatchGrid() < minHatchGrid)
        m_plane.SetHatchGrid(minHatchGrid);
    CRectArray& lines = m_plane.GetFillStrokes();
    for (int64_t y = minY; y < maxY; y += m_plane.GetHatchGrid()) {
        const std::vector<EdgeSweep::Crossing>& crossings = polygons.At(y);
        const std::vector<EdgeSweep::Crossing>& walls = guides.At(y);
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            CPoint a(crossings[k].x, int32_t(y));
            CPoint b(crossings[k + 1].x, int32_t(y));
            bool blocked = false;
            for (auto wall =
                     std::upper_bound(walls.begin(), walls.end(), EdgeSweep::Crossing{a.x, 0});
                 wall != walls.end() && wall->x < b.x && !blocked; ++wall)
                blocked = RunsIntoGuide(a, b, guides.From(wall->edge), guides.To(wall->edge));
            if (angle != 0) {
                a = RotatePoint(a.x, a.y, -angle);
                b = RotatePoint(b.x, b.y, -angle);
            }
            // A line that lies wholly inside copper crosses none of its guides.
            blocked = blocked || m_obstacles.Contains(CPoint(int32_t((int64_t(a.x) + b.x) / 2),
                                                             int32_t((int64_t(a.y) + b.y) / 2)));
            if (blocked) {
                MarkFillFault(a, b);
                return false;
            }
            lines.Add(FillStroke{a.x, a.y, b.x, b.y});
        }
    }
    return true;
}
