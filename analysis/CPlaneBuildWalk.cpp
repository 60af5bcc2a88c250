#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/CPlaneBuildDocument.h"
#include "analysis/CRingIndex.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CProgDlg.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "framework/Numeric.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/SegmentIntersection.h"

namespace {

// The window round a point in which a walk closes or finds its continuation; its right and
// bottom edges are outside it.
CRect WindowAround(CPoint p, int32_t reach)
{
    return CRect(p.x - reach, p.y - reach, p.x + reach, p.y + reach);
}

// Twice the signed area of the triangle a, b, c: which side of a-b the point c lies on.
__int128 Orientation(CPoint a, CPoint b, CPoint c)
{
    return __int128(int64_t(b.x) - a.x) * (int64_t(c.y) - a.y) -
           __int128(int64_t(b.y) - a.y) * (int64_t(c.x) - a.x);
}

int32_t SignOf(__int128 v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// Whether the boxes of two segments meet (edges included): segments whose boxes are apart
// cannot meet, which spares most guides of a cell the exact tests.
bool BoxesMeet(CPoint a1, CPoint a2, CPoint b1, CPoint b2)
{
    return std::max(b1.x, b2.x) >= std::min(a1.x, a2.x) &&
           std::min(b1.x, b2.x) <= std::max(a1.x, a2.x) &&
           std::max(b1.y, b2.y) >= std::min(a1.y, a2.y) &&
           std::min(b1.y, b2.y) <= std::max(a1.y, a2.y);
}

// Whether the point lies within `reach` of an edge of the ring.
bool NearRing(std::span<const CPoint> ring, CPoint p, int32_t reach)
{
    for (size_t k = 1; k < ring.size(); ++k) {
        CPoint nearest;
        if (std::abs(int64_t(PointToSegmentDistance(ring[k - 1], ring[k], p, nearest))) <= reach)
            return true;
    }
    return false;
}

bool OnSegment(CPoint a, CPoint b, CPoint p)
{
    return Orientation(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
           std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}

} // namespace

bool CPlaneBuild::RunsIntoGuide(CPoint a, CPoint b, CPoint from, CPoint to)
{
    const __int128 da = Orientation(from, to, a);
    const __int128 db = Orientation(from, to, b);
    if (SignOf(da) * SignOf(db) >= 0 ||
        SignOf(Orientation(a, b, from)) * SignOf(Orientation(a, b, to)) >= 0)
        return false;
    // The copper a guide bounds lies on its left, where the orientation is negative. Measure
    // how deep the part of a-b on that side gets while it still runs alongside the guide.
    const double length = DistanceDouble(from.x, from.y, to.x, to.y);
    const CPoint in = da < 0 ? a : b;
    const double depthIn = -double(da < 0 ? da : db) / length;
    const double depthOut = double(da < 0 ? db : da) / length;
    const auto along = [&](CPoint p) {
        return ((double(p.x) - from.x) * (double(to.x) - from.x) +
                (double(p.y) - from.y) * (double(to.y) - from.y)) /
               length;
    };
    const CPoint out = da < 0 ? b : a;
    const double crossing = along(out) + depthOut / (depthOut + depthIn) * (along(in) - along(out));
    // The share of the way from the crossing to the end inside that stays within the guide.
    double share = 1.0;
    const double beyond = along(in);
    if (beyond > length || beyond < 0.0) {
        const double limit = beyond > length ? length : 0.0;
        share = beyond == crossing ? 0.0
                                   : std::clamp((limit - crossing) / (beyond - crossing), 0.0, 1.0);
    }
    return share * depthIn > double(maxIncursion);
}

bool CPlaneBuild::CrossGuides(const DLine3& line, const DLine3& guide, CPoint& hit)
{
    const CPoint a1 = line.Start();
    const CPoint a2 = line.End();
    const CPoint b1 = guide.Start();
    const CPoint b2 = guide.End();
    const __int128 d1 = Orientation(b1, b2, a1);
    const __int128 d2 = Orientation(b1, b2, a2);
    const __int128 d3 = Orientation(a1, a2, b1);
    const __int128 d4 = Orientation(a1, a2, b2);
    if (a1 == a2) {
        hit = a1;
        return OnSegment(b1, b2, a1);
    }
    if ((d1 == 0 && d2 == 0) || (d3 == 0 && d4 == 0))
        return IntersectSegments(a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y, hit);
    if (SignOf(d1) * SignOf(d2) > 0 || SignOf(d3) * SignOf(d4) > 0)
        return false;
    // Touching at an end point: that point exactly.
    if (d1 == 0 || d2 == 0 || d3 == 0 || d4 == 0) {
        hit = d1 == 0 ? a1 : (d2 == 0 ? a2 : (d3 == 0 ? b1 : b2));
        return true;
    }
    const double t = double(d1) / (double(d1) - double(d2));
    hit = CPoint(RoundToInt(a1.x + t * (double(a2.x) - a1.x)),
                 RoundToInt(a1.y + t * (double(a2.y) - a1.y)));
    return true;
}

int32_t CPlaneBuild::FindStartGuide()
{
    m_current = -1;
    const int32_t index = m_startOrder.Next(m_guides);
    if (index < 0)
        return -1;
    m_line = m_guides[size_t(index)];
    // No live guide crosses the way from the seed to the guide's point nearest it, so that
    // point lies on the boundary of the room round the seed. The guide's start may lie deep in
    // other copper, and a walk set out from there goes round a pocket between the clearances
    // of overlapping obstacles, or loses its way.
    CPoint nearest;
    PointToSegmentDistance(m_line.Start(), m_line.End(), m_plane.GetSeed(), nearest);
    m_line.x1 = nearest.x;
    m_line.y1 = nearest.y;
    return index;
}

void CPlaneBuild::MarkVisited(int32_t index)
{
    DLine3& guide = m_guides[size_t(index)];
    if (!guide.IsVisited()) {
        guide.state |= DLine3::stateVisited;
        m_visited.push_back(index);
    }
}

void CPlaneBuild::RemoveVisited()
{
    for (int32_t index : m_visited) {
        DLine3& guide = m_guides[size_t(index)];
        if (guide.IsVisited())
            guide.Remove();
    }
    m_visited.clear();
}

bool CPlaneBuild::GoesOn(std::span<const int32_t> found, CPoint end) const
{
    return std::any_of(found.begin(), found.end(), [&](int32_t j) {
        const DLine3& guide = m_guides[size_t(j)];
        return guide.IsLive() && guide.Start() == end;
    });
}

int32_t CPlaneBuild::TraceBoundary(int32_t current)
{
    MarkVisited(current);
    ++m_steps;
    const DLine3& here = m_guides[size_t(current)];
    const std::span<const int32_t> found = m_grid->Query(m_line.Start(), m_line.End());
    m_candidates.clear();
    m_closeBy.clear();

    // One pass over the guides near the segment weighs each both ways: as a crossing and as a
    // continuation. The continuations count only when no guide crosses, and the segment stays
    // as it was until one does: they are weighed against its first end, and only until then.
    //
    // Crossings: the guides that turn off to the right of the current line; only those at the
    // nearest crossing point stay candidates. A walk that took a guide just at its end stands
    // on that end: the guides going on from there were never weighed. A guide that ends on the
    // copper's side of the current guide never leaves the copper: the segment, its start
    // rounded, may seem to cross one all but parallel to it.
    //
    // Continuations: the guides that start where the current line ends, give or take the
    // rounding of the points on either side. Where none is that near, the rings of copper
    // that meet here (a track's caps at a joint, a cap and the side after it) were rounded
    // apart by a few units more: the guide going on within that gap is taken.
    const bool hasLength = !(m_line.Start() == m_line.End());
    const CPoint end = m_line.End();
    double bestTurn = 360.0;
    int32_t choice = -1;
    double bestJointTurn = 360.0;
    int32_t jointChoice = -1;
    for (int32_t j : found) {
        const DLine3& guide = m_guides[size_t(j)];
        if (j == current || !guide.IsLive() || guide.End() == m_line.Start() ||
            guide.End() == m_line.End())
            continue;
        if (m_candidates.empty()) {
            const int64_t dx = std::abs(int64_t(guide.x1) - end.x);
            const int64_t dy = std::abs(int64_t(guide.y1) - end.y);
            if (dx <= jointReach && dy <= jointReach) {
                // A guide that goes on all but straight, a hair to the right, is the same
                // boundary with its ends rounded: it counts as the straightest way on.
                double turn = TurnAngle(here, guide);
                if (turn >= 360.0 - straightSlack)
                    turn -= 360.0;
                if (turn < 180.0 && (dx > closeReach || dy > closeReach)) {
                    if (turn < bestJointTurn) {
                        bestJointTurn = turn;
                        jointChoice = j;
                    }
                } else if (turn < 180.0) {
                    // Marked visited only if no guide crosses.
                    m_closeBy.push_back(j);
                    if (turn < bestTurn) {
                        bestTurn = turn;
                        choice = j;
                    }
                }
            }
        }
        if (!BoxesMeet(m_line.Start(), m_line.End(), guide.Start(), guide.End()) ||
            TurnAngle(here, guide) < 180.0 ||
            Orientation(here.Start(), here.End(), guide.End()) < 0)
            continue;
        CPoint hit;
        // A guide that sets out from where the segment starts was weighed already, against
        // the guide the walk came along, when it turned here. One met at its end is left to
        // the guide that goes on from there, unless the segment passes that one by: crossed a
        // fraction of a unit before its end, the guide is taken, or the walk would slip
        // through between the two.
        if ((guide.Start() == m_line.Start() && hasLength) || !CrossGuides(m_line, guide, hit))
            continue;
        if (hit == guide.End() &&
            (OnSegment(m_line.Start(), m_line.End(), hit) || !GoesOn(found, hit)))
            continue;
        MarkVisited(j);
        const int32_t before = Distance(m_line.x1, m_line.y1, m_line.x2, m_line.y2);
        m_line.x2 = hit.x;
        m_line.y2 = hit.y;
        if (Distance(m_line.x1, m_line.y1, m_line.x2, m_line.y2) < before)
            m_candidates.clear();
        if (m_candidates.size() >= size_t(maxCandidates - 1)) {
            m_document.ShowMessage(candidatesFullText, MB_OK, MB_ICONNONE);
            return -1;
        }
        m_candidates.push_back(j);
    }
    if (!m_candidates.empty()) {
        int32_t best = m_candidates.front();
        for (int32_t j : m_candidates) {
            if (TurnAngle(here, m_guides[size_t(j)]) < TurnAngle(here, m_guides[size_t(best)]))
                best = j;
        }
        return best;
    }
    for (int32_t j : m_closeBy)
        MarkVisited(j);
    if (choice < 0 && jointChoice >= 0) {
        MarkVisited(jointChoice);
        return jointChoice;
    }
    return choice;
}

bool CPlaneBuild::StepAndAskCancel()
{
    if (!m_progress)
        return false;
    m_progress->StepIt();
    SetStatus("Add line " + CNumberText::FormatInt(m_steps) + " of max. " +
              CNumberText::FormatInt(int64_t(m_guides.size())) + " lines");
    return m_progress->CheckCancelButton() &&
           CServices::Messages().MessageBox(cancelQuestionText, "", MB_YESNO, MB_ICONQUESTION) ==
               IDYES;
}

void CPlaneBuild::MarkFailure()
{
    if (!m_points.empty())
        m_plane.SetErrorMark(m_points.back());
    m_plane.SetErrorSegment(FillStroke{m_line.x1, m_line.y1, m_line.x2, m_line.y2});
    m_plane.IncrementFillErrorCount();
    m_points.clear();
}

void CPlaneBuild::Walk()
{
    const int64_t vertexLimit = 2 * int64_t(m_guides.size());
    m_vertexTotal = 0;
    m_visited.clear();

    while (m_plane.GetFillErrorCount() == 0) {
        m_closed = false;
        m_current = FindStartGuide();
        if (m_current < 0)
            return;
        auto& polygons = m_plane.GetFillPolylines();
        polygons.push_back(std::make_unique<CPointArray>());
        m_polygon = polygons.back().get();
        m_points.clear();

        bool leftStart = false;
        m_walkStates.Clear();
        for (int32_t i = 0;;) {
            if ((m_steps & 15) == 15 && StepAndAskCancel()) {
                m_cancelled = true;
                return;
            }
            const int32_t next = TraceBoundary(m_current);
            ++i;
            m_current = next;
            if (next < 0) {
                if (i >= failureSteps) {
                    MarkFailure();
                } else {
                    // Stuck at once: what this walk saw cannot bound the fill.
                    RemoveVisited();
                    m_points.clear();
                    m_closed = true;
                }
                break;
            }
            m_line.x1 = m_line.x2;
            m_line.y1 = m_line.y2;
            m_points.push_back(m_line.Start());
            if (++m_vertexTotal > vertexLimit) {
                MarkFailure();
                break;
            }
            const DLine3& guide = m_guides[size_t(next)];
            m_line.x2 = guide.x2;
            m_line.y2 = guide.y2;
            // The walk closes when it comes back to its first vertex; a second vertex that
            // happens to lie next to the first is no way round anything.
            if (i < 2) {
                m_closeRect = WindowAround(m_line.Start(), closeReach);
                leftStart = false;
            } else if (!m_closeRect.PtInRect(m_line.Start())) {
                leftStart = true;
            } else if (leftStart) {
                ClosePolygon();
                m_closed = true;
            }
            // A walk that set out from inside the copper can end up going round a loop that
            // never passes its first vertex: the loop is found when the walk sets out along the
            // same guide from the same point again, and the way into it is dropped.
            if (!m_closed) {
                const CPlaneWalkStates::Mark* seen = m_walkStates.Note(
                    next, m_line.x1, m_line.y1, {int32_t(m_points.size()) - 1, m_visited.size()});
                if (seen) {
                    KeepLoop(seen->point, seen->visited);
                    ClosePolygon();
                    m_closed = true;
                }
            }
            if (m_closed || m_plane.GetFillErrorCount() != 0)
                break;
        }
    }
}

void CPlaneBuild::KeepLoop(int32_t first, size_t visitedBefore)
{
    // Points first .. last - 1 go round the loop; the last one repeats the first.
    m_points.pop_back();
    m_points.erase(m_points.begin(), m_points.begin() + first);
    // The way in may run along the boundary of other room, which a later walk has to go round.
    for (size_t k = 0; k < visitedBefore; ++k)
        m_guides[size_t(m_visited[k])].state &= ~DLine3::stateVisited;
    m_visited.erase(m_visited.begin(), m_visited.begin() + ptrdiff_t(visitedBefore));
}

void CPlaneBuild::ClosePolygon()
{
    m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
    // The walk closes within a few units of its first vertex: the ring gets its last edge, or
    // the inside tests and the hatching would miss it.
    if (m_points.size() > 1 && !(m_points.back() == m_points.front()))
        m_points.push_back(CPoint(m_points.front()));
    // The polygon takes its points once, at their final count.
    CPointArray& polygon = *m_polygon;
    polygon.SetSize(int32_t(m_points.size()));
    std::copy(m_points.begin(), m_points.end(), polygon.GetData());

    RemoveVisited();
    if (polygon.GetSize() == 0)
        return;

    const std::span<const CPoint> ring(polygon.GetData(), size_t(polygon.GetSize()));
    CRect box(ring[0].x, ring[0].y, ring[0].x, ring[0].y);
    for (const CPoint& p : ring) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    // Boundaries of free room run clockwise on the board, the walks round obstacles the other
    // way: a seed that lies inside an obstacle (or its clearance) must not turn the obstacle
    // into the fill.
    double area = 0.0;
    for (size_t k = 1; k < ring.size(); ++k)
        area += double(ring[k - 1].x) * ring[k].y - double(ring[k].x) * ring[k - 1].y;
    m_ringIndex.Assign(ring);
    const CRingIndex& inside = m_ringIndex;
    const CPoint seed = m_plane.GetSeed();
    // A seed in the clearance of other copper by less than the fill may reach into it lies
    // a hair outside the boundary round it: that boundary is still the outer one. A seed
    // farther than that from the ring's box (a unit more for the distance's rounding) is
    // nowhere near an edge.
    const auto nearBox = [&](CPoint p) {
        constexpr int64_t reach = int64_t(maxIncursion) + 2;
        return p.x >= box.left - reach && p.x <= box.right + reach && p.y >= box.top - reach &&
               p.y <= box.bottom + reach;
    };
    if (!(area > 0.0) ||
        (!inside.Contains(seed) && !(nearBox(seed) && NearRing(ring, seed, maxIncursion)))) {
        // A hole: what lies in it is gone.
        const auto inBox = [&](CPoint p) {
            return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
        };
        m_grid->Collect(box, m_scratch);
        for (int32_t j : m_scratch) {
            DLine3& guide = m_guides[size_t(j)];
            if (guide.IsLive() && inBox(guide.Start()) && inBox(guide.End()) &&
                (inside.Contains(guide.Start()) || inside.Contains(guide.End())))
                guide.Remove();
        }
        return;
    }
    // The outer boundary: what lies beyond it is gone. Each guide is tested on its own, in
    // chunks on the work pool: the ring of a big board's boundary has many edges to a row.
    constexpr size_t chunk = 16384;
    CWorkPool::Shared().ForEach((m_guides.size() + chunk - 1) / chunk, [&](size_t c) {
        const size_t end = std::min(m_guides.size(), (c + 1) * chunk);
        for (size_t i = c * chunk; i < end; ++i) {
            DLine3& guide = m_guides[i];
            if (guide.IsLive() && !inside.Contains(guide.Start()) && !inside.Contains(guide.End()))
                guide.Remove();
        }
    });
}

void CPlaneBuild::MarkFillFault(CPoint a, CPoint b)
{
    m_plane.SetErrorMark(a);
    m_plane.SetErrorSegment(FillStroke{a.x, a.y, b.x, b.y});
    m_plane.IncrementFillErrorCount();
}

bool CPlaneBuild::PolygonsStayClear()
{
    // The polygons are checked in pieces of a few thousand points on the work pool. The fault
    // reported is the one a check point by point would meet first: the first polygon's, and
    // in a polygon a corner in copper before an edge that runs into it.
    struct Piece {
        const CPointArray* polygon;
        size_t index;
        int32_t first;
        int32_t last;
        // The first corner in copper, and the first edge (by its end) that runs into it.
        int32_t corner = -1;
        int32_t edge = -1;
    };
    constexpr int32_t pieceSize = 4096;
    std::vector<Piece> pieces;
    const auto& polygons = m_plane.GetFillPolylines();
    for (size_t p = 0; p < polygons.size(); ++p) {
        const int32_t size = polygons[p]->GetSize();
        for (int32_t first = 0; first < size; first += pieceSize)
            pieces.push_back(Piece{polygons[p].get(), p, first, std::min(size, first + pieceSize)});
    }
    CWorkPool::Shared().ForEach(pieces.size(), [&](size_t i) {
        Piece& piece = pieces[i];
        const CPointArray& polygon = *piece.polygon;
        for (int32_t k = piece.first; k < piece.last; ++k) {
            if (m_obstacles.Contains(polygon[k])) {
                piece.corner = k;
                return;
            }
        }
        // Neighbouring edges mostly reach the same cells: their guides are gathered once.
        std::vector<int32_t> near;
        CPlaneBuildGrid::Range gathered;
        bool haveGathered = false;
        for (int32_t k = std::max(piece.first, 1); k < piece.last; ++k) {
            const CPoint a = polygon[k - 1];
            const CPoint b = polygon[k];
            const CPlaneBuildGrid::Range range = m_grid->CellRange(CRect(a.x, a.y, b.x, b.y));
            if (!haveGathered || !(range == gathered)) {
                m_grid->Collect(range, near);
                gathered = range;
                haveGathered = true;
            }
            for (int32_t j : near) {
                const DLine3& guide = m_guides[size_t(j)];
                if (!guide.IsThermal() && BoxesMeet(a, b, guide.Start(), guide.End()) &&
                    RunsIntoGuide(a, b, guide.Start(), guide.End())) {
                    piece.edge = k;
                    return;
                }
            }
        }
    });
    for (size_t i = 0; i < pieces.size();) {
        // The pieces of one polygon: its corners first, then its edges.
        size_t end = i;
        while (end < pieces.size() && pieces[end].index == pieces[i].index)
            ++end;
        for (size_t k = i; k < end; ++k) {
            if (pieces[k].corner >= 0) {
                const CPoint p = (*pieces[k].polygon)[pieces[k].corner];
                MarkFillFault(p, p);
                return false;
            }
        }
        for (size_t k = i; k < end; ++k) {
            if (pieces[k].edge >= 0) {
                const CPointArray& polygon = *pieces[k].polygon;
                MarkFillFault(polygon[pieces[k].edge - 1], polygon[pieces[k].edge]);
                return false;
            }
        }
        i = end;
    }
    return true;
}
