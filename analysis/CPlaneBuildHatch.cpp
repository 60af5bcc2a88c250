#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <limits>
#include <span>
#include <utility>

#include "framework/CUnsetAllocator.h"
#include "framework/CWorkPool.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/Geometry.h"
#include "model/SegmentIntersection.h"

namespace {

// Bands of scan lines per thread of work: enough that uneven bands still share the work out.
constexpr int64_t bandsPerThread = 4;
// Fewer edges than this are sorted by line on one thread: the pieces' line counts would cost more.
constexpr size_t edgesPerPiece = size_t(1) << 16;

// The crossings of a set of edges with evenly spaced horizontal lines taken from top to
// bottom: an edge counts for y when min(y) <= y < max(y), so horizontal edges never count and a
// vertex counts once. The edges spanning the line are kept as y moves down instead of testing
// every edge for every line.
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
            m_edges.push_back(Edge{a, b});
    }

    // The ends alone: a big board's sweeps hold millions of edges.
    struct Edge {
        CPoint a;
        CPoint b;

        int32_t Low() const { return std::min(a.y, b.y); }
        int32_t High() const { return std::max(a.y, b.y); }
    };

    // Room for `count` more edges, which the caller fills, on several threads if it likes (a
    // big board's sweeps take millions): DropFlat then takes the horizontal ones out, keeping
    // the order, as Add leaves them out.
    std::span<Edge> Extend(size_t count)
    {
        const size_t first = m_edges.size();
        m_edges.resize(first + count);
        return std::span<Edge>(m_edges).subspan(first);
    }
    void DropFlat()
    {
        std::erase_if(m_edges, [](const Edge& e) { return e.a.y == e.b.y; });
    }

    // The lines are y = firstY + k * step below endY. `cursorLines` (ascending) are the lines
    // at which cursors will start: the edges that count there are noted for them in the same
    // pass, or each cursor would pass all the edges above its line again.
    void Start(int64_t firstY, int64_t endY, int64_t step,
               std::span<const int64_t> cursorLines = {})
    {
        m_firstY = firstY;
        m_step = std::max<int64_t>(step, 1);
        const int64_t lines = endY > firstY ? (endY - firstY + m_step - 1) / m_step : 0;
        m_cursorLines.assign(cursorLines.begin(), cursorLines.end());
        // Each edge waits for the first line at or below its top, lines counted out by a
        // counting sort; an edge that ends before that line, or starts below the last one, is
        // never crossed. Each piece of edges counts its own, and a line's places go to the
        // pieces in order, so the edges of a line stay in the order they were added.
        const size_t pieces =
            std::clamp<size_t>(m_edges.size() / edgesPerPiece, 1, size_t(CWorkPool::ThreadCount()));
        const auto first = [&](size_t p) { return m_edges.size() * p / pieces; };
        struct Piece {
            std::vector<uint32_t> start;
            size_t crossings = 0;
            std::vector<std::vector<int32_t>> cursorEdges;
        };
        std::vector<Piece> piece(pieces);
        CUnsetVector<int32_t> lineOf(m_edges.size());
        CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
            Piece& mine = piece[p];
            mine.start.assign(size_t(lines), 0);
            mine.cursorEdges.assign(m_cursorLines.size(), {});
            for (size_t e = first(p); e < first(p + 1); ++e) {
                const int32_t low = m_edges[e].Low();
                const int32_t high = m_edges[e].High();
                const int64_t line =
                    low <= firstY ? 0 : (int64_t(low) - firstY + m_step - 1) / m_step;
                lineOf[e] = -1;
                if (line < lines && firstY + line * m_step < high) {
                    lineOf[e] = int32_t(line);
                    ++mine.start[size_t(line)];
                    // The edge counts at lines line .. end - 1.
                    const int64_t end =
                        std::min(lines, (int64_t(high) - firstY + m_step - 1) / m_step);
                    mine.crossings += size_t(end - line);
                    for (auto c =
                             std::lower_bound(m_cursorLines.begin(), m_cursorLines.end(), line);
                         c != m_cursorLines.end() && *c < end; ++c)
                        mine.cursorEdges[size_t(c - m_cursorLines.begin())].push_back(int32_t(e));
                }
            }
        });
        m_crossingTotal = 0;
        for (const Piece& mine : piece)
            m_crossingTotal += mine.crossings;
        m_lineStart.assign(size_t(lines) + 1, 0);
        uint32_t total = 0;
        for (size_t k = 0; k < size_t(lines); ++k) {
            m_lineStart[k] = total;
            for (Piece& mine : piece) {
                const uint32_t n = mine.start[k];
                mine.start[k] = total;
                total += n;
            }
        }
        m_lineStart[size_t(lines)] = total;
        m_byLine.resize(total);
        CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
            std::vector<uint32_t>& next = piece[p].start;
            for (size_t e = first(p); e < first(p + 1); ++e) {
                if (lineOf[e] >= 0)
                    m_byLine[next[size_t(lineOf[e])]++] = int32_t(e);
            }
        });
        m_cursorEdges.assign(m_cursorLines.size(), {});
        CWorkPool::Shared().ForEach(m_cursorLines.size(), [&](size_t c) {
            std::vector<int32_t>& edges = m_cursorEdges[c];
            edges = std::move(piece[0].cursorEdges[c]);
            for (size_t p = 1; p < pieces; ++p)
                edges.insert(edges.end(), piece[p].cursorEdges[c].begin(),
                             piece[p].cursorEdges[c].end());
        });
    }

    // How many times the edges meet the lines, all lines together (at most).
    size_t CrossingTotal() const { return m_crossingTotal; }

    CPoint From(int32_t edge) const { return m_edges[size_t(edge)].a; }
    CPoint To(int32_t edge) const { return m_edges[size_t(edge)].b; }

    // Walks the lines from top to bottom: the crossings at y, one of the lines, by x; y must
    // not decrease from one call to the next. Cursors of one sweep may walk bands of lines on
    // several threads at once, and the crossings at a line come out the same wherever a cursor
    // started.
    class Cursor {
    public:
        explicit Cursor(const EdgeSweep& sweep) : m_sweep(sweep) {}
        // A cursor that starts at the sweep's cursor line `index`.
        Cursor(const EdgeSweep& sweep, size_t index)
            : m_sweep(sweep), m_active(sweep.m_cursorEdges[index]),
              m_nextLine(size_t(sweep.m_cursorLines[index]) + 1)
        {
        }

        const std::vector<Crossing>& At(int64_t y)
        {
            const EdgeSweep& s = m_sweep;
            const size_t line =
                std::min<size_t>(size_t((y - s.m_firstY) / s.m_step) + 1, s.m_lineStart.size() - 1);
            // A cursor that starts a band far down passes the edges of every line above it:
            // only those still spanning y are taken, or each band would hold most of them.
            if (m_nextLine < line) {
                for (size_t k = s.m_lineStart[m_nextLine]; k < s.m_lineStart[line]; ++k) {
                    const int32_t e = s.m_byLine[k];
                    if (s.m_edges[size_t(e)].High() > y)
                        m_active.push_back(e);
                }
                m_nextLine = line;
            }
            std::erase_if(m_active, [&](int32_t e) { return s.m_edges[size_t(e)].High() <= y; });
            m_crossings.clear();
            for (int32_t index : m_active) {
                const Edge& e = s.m_edges[size_t(index)];
                CPoint hit;
                if (IntersectSegments(e.a.x, e.a.y, e.b.x, e.b.y,
                                      std::numeric_limits<int32_t>::min(), int32_t(y),
                                      std::numeric_limits<int32_t>::max(), int32_t(y), hit))
                    m_crossings.push_back(Crossing{hit.x, index});
            }
            if (m_crossings.size() >= 2)
                std::sort(m_crossings.begin(), m_crossings.end());
            return m_crossings;
        }

    private:
        const EdgeSweep& m_sweep;
        std::vector<int32_t> m_active;
        std::vector<Crossing> m_crossings;
        size_t m_nextLine = 0;
    };

private:
    // This list and m_byLine are sized first and written in full on the work pool, whose
    // threads take their pages.
    CUnsetVector<Edge> m_edges;
    // The edges by the line they start to count on: line k's are
    // m_byLine[m_lineStart[k] .. m_lineStart[k + 1]).
    std::vector<uint32_t> m_lineStart;
    CUnsetVector<int32_t> m_byLine;
    int64_t m_firstY = 0;
    int64_t m_step = 1;
    size_t m_crossingTotal = 0;
    // Per line a cursor starts at, the edges that count there.
    std::vector<int64_t> m_cursorLines;
    std::vector<std::vector<int32_t>> m_cursorEdges;
};

// The rotation brought into one turn, 0 .. 359999: it hatches alike, and the hatch turns the
// copper back by its negation and the cross's second pass adds a quarter turn, neither of which
// a stored rotation near the ends of the 32-bit range survives.
int32_t WithinTurn(int32_t rotation)
{
    const int64_t rest = int64_t(rotation) % FULL_TURN;
    return int32_t(rest < 0 ? rest + FULL_TURN : rest);
}

} // namespace

void CPlaneBuild::ScanLines(const std::vector<std::vector<CPoint>>& rings, int32_t firstY,
                            int32_t endY, int32_t step, const ScanLineSink& sink)
{
    EdgeSweep sweep;
    for (const auto& ring : rings) {
        for (size_t k = 1; k < ring.size(); ++k)
            sweep.Add(ring[k - 1], ring[k]);
    }
    const int64_t stride = std::max(step, 1);
    sweep.Start(firstY, endY, stride);
    std::vector<int32_t> xs;
    EdgeSweep::Cursor cursor(sweep);
    for (int64_t y = firstY; y < endY; y += stride) {
        xs.clear();
        for (const EdgeSweep::Crossing& c : cursor.At(y))
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
        const bool clear = Hatch(0, true);
        m_plane.SetHatchGrid(grid);
        return clear;
    }
    case CPour::styleLine:
        return Hatch(WithinTurn(m_plane.GetHatchRotation()), true);
    case CPour::styleCross:
        return Hatch(WithinTurn(m_plane.GetHatchRotation()), false) &&
               Hatch(WithinTurn(m_plane.GetHatchRotation()) + 90000, true);
    default:
        return true;
    }
}

bool CPlaneBuild::Hatch(int32_t angle, bool lastPass)
{
    const auto turned = [angle](CPoint p) { return angle != 0 ? RotatePoint(p.x, p.y, angle) : p; };
    // Every guide but those of thermal reliefs bounds other copper; none may pass through a
    // line. The lines are found on turned copies: the polygons and the lines already made keep
    // their points exactly.
    // Both sweeps are made in pieces on the work pool, each edge in its place in the order.
    constexpr size_t piece = 16384;
    EdgeSweep guides;
    {
        const std::span<EdgeSweep::Edge> room = guides.Extend(m_guides.size());
        CWorkPool::Shared().ForEach((m_guides.size() + piece - 1) / piece, [&](size_t p) {
            const size_t end = std::min(m_guides.size(), (p + 1) * piece);
            for (size_t i = p * piece; i < end; ++i) {
                const DLine3& guide = m_guides[i];
                // Left out as a flat edge.
                room[i] = guide.IsThermal()
                              ? EdgeSweep::Edge{}
                              : EdgeSweep::Edge{turned(guide.Start()), turned(guide.End())};
            }
        });
        guides.DropFlat();
    }
    // From here the sweep holds every guide the lines meet. On a big board the guides take
    // the most room of the fill: they go before the polygons' sweep takes its own.
    if (lastPass)
        GuideList().swap(m_guides);
    EdgeSweep polygons;
    const auto& fill = m_plane.GetFillPolylines();
    // Where each polygon's edges go.
    std::vector<size_t> edgeStart(fill.size() + 1, 0);
    for (size_t p = 0; p < fill.size(); ++p)
        edgeStart[p + 1] = edgeStart[p] + size_t(std::max(fill[p]->GetSize() - 1, 0));
    const std::span<EdgeSweep::Edge> room = polygons.Extend(edgeStart.back());
    constexpr size_t polygonsPerPiece = 256;
    const size_t polygonPieces = (fill.size() + polygonsPerPiece - 1) / polygonsPerPiece;
    std::vector<std::pair<int32_t, int32_t>> yRange(
        polygonPieces, {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()});
    CWorkPool::Shared().ForEach(polygonPieces, [&](size_t chunk) {
        auto& [low, high] = yRange[chunk];
        const size_t end = std::min(fill.size(), (chunk + 1) * polygonsPerPiece);
        for (size_t p = chunk * polygonsPerPiece; p < end; ++p) {
            const CPointArray& polygon = *fill[p];
            CPoint previous;
            for (int32_t k = 0; k < polygon.GetSize(); ++k) {
                const CPoint point = turned(polygon[k]);
                if (k > 0)
                    room[edgeStart[p] + size_t(k) - 1] = EdgeSweep::Edge{previous, point};
                previous = point;
                low = std::min(low, point.y);
                high = std::max(high, point.y);
            }
        }
    });
    polygons.DropFlat();
    int32_t minY = std::numeric_limits<int32_t>::max();
    int32_t maxY = std::numeric_limits<int32_t>::min();
    for (const auto& [low, high] : yRange) {
        minY = std::min(minY, low);
        maxY = std::max(maxY, high);
    }
    if (m_plane.GetHatchGrid() < minHatchGrid)
        m_plane.SetHatchGrid(minHatchGrid);
    const int32_t grid = m_plane.GetHatchGrid();

    // The lines are made in bands on the work pool and gathered in order. A band's lines and
    // the first line that runs into copper are the same whoever makes them.
    struct Band {
        int64_t firstLine;
        int64_t endLine;
        std::vector<FillStroke> lines;
        bool blocked = false;
        CPoint faultFrom;
        CPoint faultTo;
    };
    const int64_t lineCount = maxY > minY ? (int64_t(maxY) - minY + grid - 1) / grid : 0;
    const int64_t bandCount =
        std::min<int64_t>(lineCount, int64_t(CWorkPool::ThreadCount()) * bandsPerThread);
    std::vector<Band> bands;
    for (int64_t b = 0; b < bandCount; ++b)
        bands.push_back(Band{lineCount * b / bandCount,
                             lineCount * (b + 1) / bandCount,
                             {},
                             false,
                             CPoint(),
                             CPoint()});
    std::vector<int64_t> firstLines;
    for (const Band& band : bands)
        firstLines.push_back(band.firstLine);
    guides.Start(minY, maxY, grid, firstLines);
    polygons.Start(minY, maxY, grid, firstLines);
    CWorkPool::Shared().ForEach(bands.size(), [&](size_t index) {
        Band& band = bands[index];
        EdgeSweep::Cursor fill(polygons, index);
        EdgeSweep::Cursor walls(guides, index);
        for (int64_t line = band.firstLine; line < band.endLine; ++line) {
            const int64_t y = minY + line * grid;
            const std::vector<EdgeSweep::Crossing>& crossings = fill.At(y);
            const std::vector<EdgeSweep::Crossing>& wall = walls.At(y);
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
                CPoint a(crossings[k].x, int32_t(y));
                CPoint b(crossings[k + 1].x, int32_t(y));
                bool blocked = false;
                for (auto w =
                         std::upper_bound(wall.begin(), wall.end(), EdgeSweep::Crossing{a.x, 0});
                     w != wall.end() && w->x < b.x && !blocked; ++w)
                    blocked = RunsIntoGuide(a, b, guides.From(w->edge), guides.To(w->edge));
                if (angle != 0) {
                    a = RotatePoint(a.x, a.y, -angle);
                    b = RotatePoint(b.x, b.y, -angle);
                }
                // A line that lies wholly inside copper crosses none of its guides.
                blocked =
                    blocked || m_obstacles.Contains(CPoint(int32_t((int64_t(a.x) + b.x) / 2),
                                                           int32_t((int64_t(a.y) + b.y) / 2)));
                if (blocked) {
                    band.blocked = true;
                    band.faultFrom = a;
                    band.faultTo = b;
                    return;
                }
                band.lines.push_back(FillStroke{a.x, a.y, b.x, b.y});
            }
        }
    });

    CRectArray& lines = m_plane.GetFillStrokes();
    size_t total = 0;
    for (const Band& band : bands)
        total += band.lines.size();
    lines.Reserve(lines.GetSize() + int64_t(total));
    for (Band& band : bands) {
        if (band.blocked) {
            MarkFillFault(band.faultFrom, band.faultTo);
            return false;
        }
        for (const FillStroke& line : band.lines)
            lines.Add(line);
        std::vector<FillStroke>().swap(band.lines);
    }
    return true;
}
