#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "analysis/CPlaneBuildGrid.h"
#include "analysis/CPlaneObstacles.h"
#include "analysis/CPlaneStartOrder.h"
#include "analysis/CPlaneWalkStates.h"
#include "analysis/CRingIndex.h"
#include "analysis/DLine3.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CUnsetAllocator.h"
#include "model/CCopperShape.h"

class CPad;
class CPlaneBuildDocument;
class CPointArray;
class CPour;
class CProgDlg;

// Fills one copper plane. Constructing the builder runs the whole build; when the constructor
// returns the plane holds its fill polygons and hatch lines, or no fill and its error marks, and
// the builder is deleted at once.
//
// 1. Guides: every edge the plane's copper must not cross becomes short directed segments: the
//    plane outline offset by half the fill pen, earlier planes' fills, other nets' pins, pads,
//    vias, tracks and (for net 0) the texts, all grown by the clearance plus half the pen, and
//    thermal reliefs round the pins of the plane's own net. Arcs become chords that lie outside
//    their circle, so the fill never reaches into a clearance. Collinear overlaps are merged.
// 2. Boundary walk: from the guide nearest the seed point the builder follows guides, turning
//    at crossings, until it is back at its start; each closed walk is one fill polygon (the
//    outer boundary round the seed, or a hole). Walks start again until no guide is left.
// 3. Hatching: the polygons are covered with parallel lines of the plane's pen: solid, line or
//    cross hatch.
//
// Progress is shown in a progress dialog whose Cancel button the walk polls; a cancelled build
// leaves the plane without fill.
class CPlaneBuild : public CCopperShape {
public:
    // Crossings one walk step may find at its nearest point.
    static constexpr int32_t maxCandidates = 1000;
    // Copper this far outside the plane's box can still reach into it.
    static constexpr int32_t reachMargin = 51200;
    // Hatch lines are never closer; solid fills overlap their lines by this much.
    static constexpr int32_t minHatchGrid = 806;
    // A plane whose hatching could take more lines than this is not filled: only an outline
    // far larger than any board (a damaged value) needs them, and they would take minutes and
    // make output files of hundreds of megabytes.
    static constexpr int64_t maxHatchLines = int64_t(1) << 18;
    static constexpr int32_t solidOverlap = 1007;
    // A walk that gets stuck after this many steps has failed.
    static constexpr int32_t failureSteps = 10;
    // Half the side of the window in which a walk closes and a continuation is found.
    static constexpr int32_t closeReach = 2;
    // How far apart the rounding may set the ends of rings of copper that meet.
    static constexpr int32_t jointReach = 8;
    // Degrees by which rounding may turn one guide against the next along a straight edge.
    static constexpr double straightSlack = 1.0;
    // How far (a quarter mil) the fill may cross a guide where the walk rounded or joined
    // corners, or where arc chords stand off their circle, before it counts as running into
    // copper.
    static constexpr int32_t maxIncursion = 64;
    // The spokes of a thermal relief are channels 2 x 5 units wide.
    static constexpr int32_t thermalHalfChannel = 5;
    // Arcs are cut into chords of at most this many degrees.
    static constexpr double arcStep = 15.0;
    static constexpr CPoint noErrorMark{-25600, -25600};
    // A walk that fails mostly meets a coincidence of rounded points (a corner exactly on
    // another ring, two crossings a unit apart): with every clearance a few units wider the
    // coincidence is gone, and the copper is kept clear by those units more.
    static constexpr int32_t maxRetries = 3;
    static constexpr int32_t retryClearanceStep = 3;

    static constexpr char moveSeedpointText[] = "Move Seedpoint";
    static constexpr char cancelQuestionText[] = "Cancel?";
    static constexpr char outOfMemoryText[] = "Not enough memory to fill the plane.";
    static constexpr char candidatesFullText[] = "Error";

    // `retries`: how many times a fill that failed is built again, every clearance (of other
    // copper, the outline and the thermal reliefs) a few units wider each time.
    CPlaneBuild(CPlaneBuildDocument& document, CPour& plane, int32_t retries = maxRetries);
    ~CPlaneBuild() override;
    CPlaneBuild(const CPlaneBuild&) = delete;
    CPlaneBuild& operator=(const CPlaneBuild&) = delete;

    // Whether the user stopped the build.
    bool IsCancelled() const { return m_cancelled; }

    // ---- Geometry of the stages -------------------------------------------------------------

    // Turns a vector of direction angle b into one of angle b + degrees: exact for quarter
    // turns, otherwise each coordinate rounded half away from zero.
    static CPoint RotateByDegrees(int32_t x, int32_t y, double degrees);
    // The direction angle of b minus that of a, in [0, 360).
    static double TurnAngle(const DLine3& a, const DLine3& b);
    // The fill's even-odd test (CRingIndex): no implicit closing edge, ends count as inside.
    static bool PointInPolygon(std::span<const CPoint> points, int32_t x, int32_t y);
    // 0 (+x), 2 (-y), 4 (-x) and 6 (+y) for the axis directions, 1, 3, 5, 7 between them.
    static int32_t GuideSector(double angle);
    // Whether the walk's segment meets a guide, and where. Segments that cross or touch meet
    // at their exact common point, rounded half away from zero; collinear ones are left to
    // IntersectSegments. (IntersectSegments alone reports steep segments as meeting a
    // horizontal line that passes beyond their ends.)
    static bool CrossGuides(const DLine3& line, const DLine3& guide, CPoint& hit);
    // Whether the fill's segment a-b crosses the guide from -> to and gets more than
    // maxIncursion into the copper on the guide's left while alongside the guide.
    static bool RunsIntoGuide(CPoint a, CPoint b, CPoint from, CPoint to);
    // Drops a guide shorter than 2 and one that misses the box; clips axis-parallel guides to
    // it. False when the guide is dropped.
    static bool ClipGuide(const CRect& box, int32_t sector, DLine3& guide);
    // Fills every guide's angle and rank, its place among the guides sorted by angle (stably),
    // and merges collinear guides of equal angle that overlap or touch: the later one in rank
    // takes the union, from the earlier-starting guide's start to the later-ending guide's end,
    // and the earlier one is removed. The guides stay where they are: moving a big board's
    // guides into that order took longer than all the rest of the optimisation.
    static void OptimizeGuides(std::span<DLine3> guides);
    // For y = firstY, firstY + step, ... below endY: the sorted x of every ring edge k-1 -> k
    // with min(y) <= y < max(y) (so horizontal edges never count and a vertex counts once).
    using ScanLineSink = std::function<void(int32_t y, const std::vector<int32_t>& crossings)>;
    static void ScanLines(const std::vector<std::vector<CPoint>>& rings, int32_t firstY,
                          int32_t endY, int32_t step, const ScanLineSink& sink);

    // What the guide sources of one net make, when nets are taken on several threads: counted
    // first, then written into the net's own stretch of the fill's lists.
    struct GuideSink {
        // Where the net's guides and obstacles go; none while they are counted.
        DLine3* guides = nullptr;
        CCopperShape* obstacles = nullptr;
        size_t guideCount = 0;
        size_t obstacleCount = 0;
        // Whether the seed lies on the net's copper.
        bool seedInCopper = false;
    };

private:
    // ---- Build sequence (CPlaneBuild.cpp) ------------------------------------------------------
    void Build();
    // The outline ring and box; false when the plane cannot be filled (too small, or the seed
    // lies outside, which asks the user to move it).
    bool PrepareOutline();
    // At least as many lines as the hatching of the plane's box lays.
    int64_t HatchLineBound() const;
    // "Move Seedpoint", and the editor waits for the new seed.
    void AskToMoveSeed();
    // `first`: the first attempt, which warns of a missing net.
    void CollectGuides(bool first);
    // Optimisation, walk, checks and hatching. False when the fill failed (error marks set,
    // no fill).
    bool FillFromGuides();
    // The failure message, or the request to move a seed that has no room round it.
    void ReportFailure();
    // The plane's net as the build uses it: -1 (no net) for a number beyond the net list.
    int32_t EffectiveNet(int32_t net) const;
    // Whether the point lies in the room a thermal relief keeps clear round a pin.
    bool InThermal(CPoint p) const;
    int32_t NetClearance(int32_t net) const;
    void SetStatus(const std::string& text);

    // ---- Guide production ----------------------------------------------------------------------
    void AddGuideLine(CPoint from, CPoint to);
    void GuidesAdd(const DLine3& guide);
    void AddArcGuides(CPoint centre, double start, double end, int32_t radius);
    void AddSegmentGuides(CPoint p1, CPoint p2, int32_t distance);
    // A segment with round caps of the distance at both ends.
    void AddRoundedSegmentGuides(CPoint p1, CPoint p2, int32_t distance);
    // The same for copper of another net, `copperHalf` of it on each side of the segment,
    // which the fill's last check keeps clear of too.
    void AddTrackObstacle(CPoint p1, CPoint p2, int32_t distance, int32_t copperHalf);
    // Joins the points in order and closes the ring.
    void AddRingGuides(std::span<const CPoint> points);
    void AddPadGuides(const CPad& pad, int32_t x, int32_t y, bool mirrored, int32_t rotation,
                      int32_t clearance);
    // Into the grown copper (asIs false); the copper as it is only tells whether it holds the
    // seed.
    void AddObstaclePiece(const CCopperShape& piece, bool asIs);
    void AddPadObstacle(const CPad& pad, int32_t x, int32_t y, bool mirrored, int32_t rotation,
                        int32_t clearance);
    void AddThermal(const CPad& pad, int32_t x, int32_t y, bool mirrored, int32_t rotation,
                    int32_t half);
    void AddOutlineGuides();
    void GuidesAddOverlappingPlaneGuides();
    void AddNetGuides(int32_t net);
    void AddTextGuides();
    void AddThermalGuides(int32_t net);
    // The copper a pin, pad or via has on the plane's layer, seen from its board side; for
    // obstacles on a signal layer without a pad there, its plated hole.
    const CPad* PadOnPlaneLayer(int32_t padStack, bool mirrored, bool obstacle) const;
    // Whether the pad, grown by `grow` and turned any way, can reach the box.
    static bool PadReaches(const CPad& pad, int32_t x, int32_t y, int32_t grow, const CRect& box);

    // ---- Boundary walk (CPlaneBuildWalk.cpp) ---------------------------------------------------
    void Walk();
    int32_t FindStartGuide();
    int32_t TraceBoundary(int32_t current);
    // Whether a live guide of `found` sets out from the point.
    bool GoesOn(std::span<const int32_t> found, CPoint end) const;
    void ClosePolygon();
    // Drops the points before `first` and the last point, which repeats it, and gives the
    // guides visited on the way into the loop, the first `visitedBefore`, back to later walks.
    void KeepLoop(int32_t first, size_t visitedBefore);
    void MarkVisited(int32_t index);
    void RemoveVisited();
    // The walk failed: error marks and counter, the polygon's points dropped.
    void MarkFailure();
    // Advances the progress bar; when Cancel was pressed asks "Cancel?". True to stop.
    bool StepAndAskCancel();

    // Whether no polygon edge runs through copper it must keep clear of (a guide may meet an
    // edge only at its ends) and no polygon lies inside such copper.
    bool PolygonsStayClear();
    // The fill runs into copper between a and b: error marks and counter.
    void MarkFillFault(CPoint a, CPoint b);

    // ---- Hatching (CPlaneBuildHatch.cpp) -------------------------------------------------------
    // Both are false when a line would run through copper (the fill's error marks are set).
    bool FillHatch();
    // The last pass lets go of the guides.
    bool Hatch(int32_t angle, bool lastPass);

    CPlaneBuildDocument& m_document;
    CPour& m_plane;
    std::unique_ptr<CPlaneBuildGrid> m_grid;
    // Other nets' copper, grown by the room the fill leaves it less maxIncursion.
    CPlaneObstacles m_obstacles;
    // Whether the seed lies on that copper as it is.
    bool m_seedInCopper = false;
    // The pieces of the thermal reliefs as rings (arcs as chords).
    std::vector<std::vector<CPoint>> m_thermalRings;
    // The walk's current segment, with the fields of the guide it lies on.
    DLine3 m_line;
    // Sized before the nets' guides are written into it, on the work pool.
    using GuideList = CUnsetVector<DLine3>;
    GuideList m_guides;
    int32_t m_current = -1;
    // The bounding box of the plane outline; guides are clipped to it.
    CRect m_box;
    bool m_closed = false;
    // The polygon being traced, owned by the plane's fill list.
    CPointArray* m_polygon = nullptr;
    // Its points while the walk goes round: it takes them when it closes.
    std::vector<CPoint> m_points;
    // The index of the polygon just closed.
    CRingIndex m_ringIndex;
    // The plane outline, closed and wound the program's way.
    std::vector<CPoint> m_outline;
    int32_t m_steps = 0;
    std::unique_ptr<CProgDlg> m_progress;
    std::vector<int32_t> m_candidates;
    // The continuations a step found within closeReach of its segment's end.
    std::vector<int32_t> m_closeBy;

    int32_t m_net = -1;
    // Added to every clearance of other copper on a retry.
    int32_t m_extraClearance = 0;
    int32_t m_retries = 0;
    // Guides being made bound a thermal relief.
    bool m_makingThermal = false;
    bool m_cancelled = false;
    int64_t m_vertexTotal = 0;
    CRect m_closeRect;
    // Guides marked visited since the last clean-up.
    std::vector<int32_t> m_visited;
    // Where the walk set out along which guide, and the polygon point it set out from.
    CPlaneWalkStates m_walkStates;
    CPlaneStartOrder m_startOrder;
    std::vector<int32_t> m_scratch;
};
