#include "analysis/CPlaneBuild.h"
#include "analysis/TextStrokes.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

#include "analysis/CPlaneBuildDocument.h"
#include "analysis/CRingIndex.h"
#include "framework/CFreedMemory.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CProgDlg.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/CWorkPool.h"
#include "model/CNet.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

// Guides of a fill that holds a few hundred megabytes.
constexpr size_t bigGuideCount = 1'000'000;

// Clips the span a..b of an axis-parallel guide to lo..hi. Clipping works on the ascending
// order; `forward` puts the direction back afterwards (a low, b high). False when the span
// misses the range.
bool ClipSpan(int32_t& a, int32_t& b, bool forward, int32_t lo, int32_t hi)
{
    int32_t low = forward ? a : b;
    int32_t high = forward ? b : a;
    if (low > high)
        std::swap(low, high);
    if (low > hi || high < lo)
        return false;
    low = std::max(low, lo);
    high = std::min(high, hi);
    a = forward ? low : high;
    b = forward ? high : low;
    return true;
}

CPoint Add(CPoint a, CPoint b)
{
    return CPoint(SaturateToInt(int64_t(a.x) + b.x), SaturateToInt(int64_t(a.y) + b.y));
}

CPoint Sub(CPoint a, CPoint b)
{
    return CPoint(SaturateToInt(int64_t(a.x) - b.x), SaturateToInt(int64_t(a.y) - b.y));
}

CRect Grown(const CRect& box, int64_t by)
{
    return CRect(SaturateToInt(box.left - by), SaturateToInt(box.top - by),
                 SaturateToInt(box.right + by), SaturateToInt(box.bottom + by));
}

// The points of an arc as its guides run (angles in degrees): from the start point on the
// circle through the corners of chords that are tangents of the circle, so that they touch it
// at the ends of the arc and at every step between and nothing inside the radius is ever left
// to the fill, to the end point on the circle. Nothing for an empty arc.
template <typename Visit>
void ForArcPoints(CPoint centre, double start, double end, int32_t radius, const Visit& visit)
{
    if (end < start)
        end += 360.0;
    const double span = end - start;
    if (!(span > 0.0) || radius <= 0)
        return;
    const int32_t count = std::max(1, int32_t(std::ceil(span / CPlaneBuild::arcStep - 1e-9)));
    const double step = span / count;
    const int32_t corner =
        SaturateToInt(int64_t(std::ceil(double(radius) / std::cos(step * 0.5 * DEG_TO_RAD))) + 1);
    visit(Add(centre, CPlaneBuild::RotateByDegrees(radius, 0, start)));
    for (int32_t k = 0; k < count; ++k)
        visit(Add(centre, CPlaneBuild::RotateByDegrees(corner, 0, start + (k + 0.5) * step)));
    visit(Add(centre, CPlaneBuild::RotateByDegrees(radius, 0, end)));
}

// Closed intervals in x and y.
bool BoxesMeet(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// The box of a pad relative to its pin as placed on the board's side: mirrored in x for the
// other side.
struct PadBox {
    int64_t l;
    int64_t t;
    int64_t r;
    int64_t b;
};

PadBox BoxOf(const CPad& pad, bool mirrored)
{
    const CRect& rect = pad.GetRect();
    PadBox box{rect.left, rect.top, rect.right, rect.bottom};
    if (mirrored) {
        box.l = -int64_t(rect.right);
        box.r = -int64_t(rect.left);
    }
    return box;
}

// Pad-frame points turned by the placement angle and moved to the pin.
struct Placement {
    int32_t x;
    int32_t y;
    int32_t angle;

    CPoint operator()(int64_t px, int64_t py) const
    {
        const CPoint turned = RotatePoint(SaturateToInt(px), SaturateToInt(py), angle);
        return CPoint(SaturateToInt(int64_t(turned.x) + x), SaturateToInt(int64_t(turned.y) + y));
    }
};

// The outline of an oval filling the box (pad frame): two half circles of half the short side
// joined by straight sides, its arcs drawn as the guides draw them.
std::vector<CPoint> OvalOutline(int64_t l, int64_t t, int64_t r, int64_t b)
{
    const int64_t radius = std::min(r - l, b - t) / 2;
    const int32_t mx = SaturateToInt((l + r) / 2);
    const int32_t my = SaturateToInt((t + b) / 2);
    std::vector<CPoint> outline;
    const auto visit = [&](CPoint p) { outline.push_back(p); };
    if (r - l >= b - t) {
        ForArcPoints(CPoint(SaturateToInt(r - radius), my), 270.0, 90.0, int32_t(radius), visit);
        ForArcPoints(CPoint(SaturateToInt(l + radius), my), 90.0, 270.0, int32_t(radius), visit);
    } else {
        ForArcPoints(CPoint(mx, SaturateToInt(t + radius)), 0.0, 180.0, int32_t(radius), visit);
        ForArcPoints(CPoint(mx, SaturateToInt(b - radius)), 180.0, 360.0, int32_t(radius), visit);
    }
    return outline;
}

// Twice the ring's area, positive when it runs clockwise on the board (y grows downwards).
int64_t SignedArea(std::span<const CPoint> ring)
{
    int64_t twice = 0;
    for (size_t k = 0; k < ring.size(); ++k) {
        const CPoint a = ring[k];
        const CPoint b = ring[(k + 1) % ring.size()];
        twice += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    return twice;
}

// The part of a convex ring where sx * x >= c and sy * y >= c: one quadrant of the pad frame
// with the channel along each axis left out.
std::vector<CPoint> ClipToQuadrant(std::vector<CPoint> ring, int32_t sx, int32_t sy, int64_t c)
{
    for (const bool alongX : {true, false}) {
        const auto side = [&](CPoint p) {
            return alongX ? sx * int64_t(p.x) - c : sy * int64_t(p.y) - c;
        };
        std::vector<CPoint> kept;
        for (size_t k = 0; k < ring.size(); ++k) {
            const CPoint a = ring[k];
            const CPoint b = ring[(k + 1) % ring.size()];
            const int64_t fa = side(a);
            const int64_t fb = side(b);
            if (fa >= 0)
                kept.push_back(a);
            if ((fa < 0) != (fb < 0)) {
                const double t = double(fa) / double(fa - fb);
                kept.emplace_back(RoundToInt(a.x + t * (double(b.x) - a.x)),
                                  RoundToInt(a.y + t * (double(b.y) - a.y)));
            }
        }
        ring = std::move(kept);
    }
    return ring;
}

Placement PlaceOf(const CPad& pad, int32_t x, int32_t y, int32_t rotation)
{
    return Placement{x, y, int32_t((int64_t(rotation) + pad.GetRotation()) % FULL_TURN)};
}

std::string Format(const std::string& prefix, int64_t value, const char* suffix = "")
{
    std::string text = prefix;
    text += CNumberText::FormatInt(value);
    text += suffix;
    return text;
}

// The sink of the net whose guides this thread is making, if any.
thread_local CPlaneBuild::GuideSink* t_sink = nullptr;

} // namespace

CPlaneBuild::CPlaneBuild(CPlaneBuildDocument& document, CPour& plane, int32_t retries)
    : m_document(document), m_plane(plane), m_retries(std::max(retries, 0))
{
    Build();
}

CPlaneBuild::~CPlaneBuild() = default;

// ---- Build sequence ----------------------------------------------------------------------------

void CPlaneBuild::Build()
{
    // The walk and the hatching hold parts of the fill while they make it, until the end.
    struct FillReturn {
        CPour& plane;
        ~FillReturn() { plane.ReturnFill(); }
    } fillReturn{m_plane};
    if (m_document.IsInteractive()) {
        m_progress = std::make_unique<CProgDlg>(IDS_CPROGDLG);
        m_progress->SetTitle(Format("Build Plane: " + m_plane.GetName() + "; Layer: ",
                                    m_plane.GetLayer(), "; Net: ") +
                             CNumberText::FormatInt(m_plane.GetNet()));
        m_progress->Create();
        m_progress->SetCaption("CPlaneBuildGrid");
    }
    m_document.SetStatusBarText(m_plane.GetName());
    // A fill takes its room on every core: what earlier work freed on other threads (an earlier
    // fill's, a load's) would only sit beside it.
    CFreedMemory::ReturnToSystem();

    m_grid = std::make_unique<CPlaneBuildGrid>();
    m_guides.clear();
    m_obstacles.Clear();
    m_seedInCopper = false;
    m_thermalRings.clear();
    m_current = 0;
    m_candidates.reserve(size_t(maxCandidates));

    m_plane.SetErrorMark(noErrorMark);
    m_plane.SetFillErrorCount(0);
    m_plane.ClampParams();
    m_plane.DeleteFill();
    m_document.ClearReportLines();

    if (!PrepareOutline()) {
        m_progress.reset();
        return;
    }
    m_steps = 0;
    try {
        for (int32_t attempt = 0;; ++attempt) {
            m_extraClearance = attempt * retryClearanceStep;
            m_guides.clear();
            m_obstacles.Clear();
            m_seedInCopper = false;
            m_thermalRings.clear();
            m_plane.DeleteFill();
            m_plane.SetErrorMark(noErrorMark);
            m_plane.SetErrorSegment(FillStroke{});
            m_plane.SetFillErrorCount(0);
            CollectGuides(attempt == 0);
            // A fill grows from its seed: one on other copper has nowhere to grow.
            if (m_seedInCopper) {
                AskToMoveSeed();
                return;
            }
            if (FillFromGuides() || m_cancelled || attempt >= m_retries)
                break;
        }
        if (!m_cancelled && m_plane.GetFillErrorCount() != 0)
            ReportFailure();
    } catch (const std::bad_alloc&) {
        // A board too big for memory ends as a failed fill, never as part of one.
        m_guides = GuideList();
        m_obstacles.Clear();
        m_grid = std::make_unique<CPlaneBuildGrid>();
        m_plane.DeleteFill();
        m_plane.IncrementFillErrorCount();
        m_document.ShowMessage(outOfMemoryText, MB_OK, MB_ICONEXCLAMATION);
    }
    if (m_cancelled) {
        // A cancelled fill must not pass for a finished one.
        m_plane.DeleteFill();
        m_progress.reset();
        m_document.RedrawBoard();
        return;
    }

    m_guides.clear();
    m_progress.reset();
    m_document.RedrawBoard();
}

bool CPlaneBuild::PrepareOutline()
{
    m_box = m_plane.GetOutlineRect();
    if (m_box.Width() < m_plane.GetPenWidth() || m_box.Height() < m_plane.GetPenWidth())
        return false;
    if (HatchLineBound() > maxHatchLines) {
        m_plane.IncrementFillErrorCount();
        m_document.ShowMessage(CResString::LoadWith(IDS_PLANE_TOO_LARGE_TO_FILL,
                                                    CNumberText::FormatInt(maxHatchLines)) +
                                   "\n" + CWindows1252::ToUtf8(m_plane.GetName()),
                               MB_OK, MB_ICONEXCLAMATION);
        return false;
    }

    // The outline as a ring: repeated points dropped and closed, so that an outline whose end
    // stops short of its start still has its last edge.
    m_outline.clear();
    const CPointArray& outline = m_plane.GetOutline();
    for (int32_t i = 0; i < outline.GetSize(); ++i) {
        if (m_outline.empty() || !(m_outline.back() == outline[i]))
            m_outline.push_back(outline[i]);
    }
    if (m_outline.size() > 1 && !(m_outline.back() == m_outline.front()))
        m_outline.push_back(m_outline.front());

    const CPoint seed = m_plane.GetSeed();
    if (!PointInPolygon(m_outline, seed.x, seed.y)) {
        AskToMoveSeed();
        return false;
    }
    return true;
}

int64_t CPlaneBuild::HatchLineBound() const
{
    const int32_t grid = m_plane.GetStyle() == CPour::styleSolid
                             ? m_plane.GetPenWidth() - solidOverlap
                             : m_plane.GetHatchGrid();
    const int64_t step = std::max(grid, minHatchGrid);
    // Lines at any angle cross at most the box's width and height together.
    const int64_t across = int64_t(m_box.right) - m_box.left + int64_t(m_box.bottom) - m_box.top;
    const int64_t passes = m_plane.GetStyle() == CPour::styleCross ? 2 : 1;
    return passes * (across / step + 1);
}

void CPlaneBuild::AskToMoveSeed()
{
    m_document.ShowMessage(moveSeedpointText, MB_OK, MB_ICONNONE);
    m_progress.reset();
    m_document.SetMode(ID_PLANE_MOVE_SEEDPOINT_MODE);
}

bool CPlaneBuild::FillFromGuides()
{
    SetStatus(Format("Optimize ", int64_t(m_guides.size()), " guidelines"));
    OptimizeGuides(m_guides);
    // Collecting and merging a big board's guides freed as much as the walk and the grid are
    // about to take, much of it on the pool's threads: back to the system, so that the fill's
    // peak is not both at once. A small board's fill is over before it would matter.
    if (m_guides.size() >= bigGuideCount)
        CFreedMemory::ReturnToSystem();
    // The walks' start order sorts its own list, whose sorting room is gone before the grid
    // takes its own.
    m_startOrder.Reset(m_guides, m_plane.GetSeed());
    SetStatus(Format("pGrid->BuildAll. (", int64_t(m_guides.size()), ") guidelines"));
    m_grid->BuildAll(m_box, m_guides);

    m_line = DLine3();
    if (m_progress) {
        m_progress->SetRange(0, int32_t(m_guides.size() / 15));
        m_progress->SetStep(1);
    }
    SetStatus(Format("Building (", int64_t(m_guides.size()), ") lines"));
    Walk();
    if (m_cancelled)
        return false;
    // The walk's own bookkeeping is done with: the hatching that follows needs much room of
    // its own on a big board.
    m_startOrder = CPlaneStartOrder();
    m_walkStates.Release();
    std::vector<int32_t>().swap(m_visited);
    std::vector<CPoint>().swap(m_points);
    m_ringIndex = CRingIndex();
    // The polygons and lines are checked against the guides as they are laid, so that a walk
    // that went astray shows as a failure, never as a fill over other copper.
    if (m_plane.GetFillErrorCount() == 0 && PolygonsStayClear()) {
        // The hatching meets the guides through sweeps of its own.
        m_grid = std::make_unique<CPlaneBuildGrid>();
        std::vector<int32_t>().swap(m_scratch);
        // What the walk freed on this thread is of no use to the pool's threads that hatch: on
        // a big board that is a hundred megabytes beside the hatching's own.
        CFreedMemory::ReturnToSystem();
        FillHatch();
    }
    if (m_plane.GetFillErrorCount() == 0)
        return true;
    m_plane.DeleteFill();
    return false;
}

void CPlaneBuild::ReportFailure()
{
    // A seed in the room kept clear round other copper or round a pin of the plane's own net
    // can leave the walk without a boundary round it: the seed is what to change.
    const CPoint seed = m_plane.GetSeed();
    if (m_obstacles.Reaches(seed, maxIncursion) || InThermal(seed)) {
        m_plane.SetFillErrorCount(0);
        m_plane.SetErrorMark(noErrorMark);
        m_plane.SetErrorSegment(FillStroke{});
        AskToMoveSeed();
        return;
    }
    m_document.ShowMessage(CResString::Load(IDS_FILL_PLANE_FAILURE), MB_OK, MB_ICONEXCLAMATION);
}

void CPlaneBuild::CollectGuides(bool first)
{
    AddOutlineGuides();

    const int32_t netCount = m_document.GetNetCount();
    m_net = EffectiveNet(m_plane.GetNet());
    if (first && m_plane.GetNet() >= netCount)
        m_document.ShowMessage(CResString::Load(IDS_PLANE_NET_MISSING), MB_OK, MB_ICONEXCLAMATION);
    if (m_progress)
        m_progress->SetCaption("GuidesAddOverlappingPlaneGuides");
    GuidesAddOverlappingPlaneGuides();

    // The nets are taken on the work pool twice: once to count what each makes, then to write
    // it into its own stretch of the lists, in net order, as one net after another would make
    // them. Gathering copies made apart would hold a big board's guides twice over.
    SetStatus(Format("Add Net:", 0));
    std::vector<GuideSink> sinks(size_t(std::max(netCount, 0)));
    const auto takeNets = [&] {
        CWorkPool::Shared().ForEach(sinks.size(), [&](size_t i) {
            if (int32_t(i) == m_net)
                return;
            t_sink = &sinks[i];
            struct Reset {
                ~Reset() { t_sink = nullptr; }
            } reset;
            AddNetGuides(int32_t(i));
        });
    };
    takeNets();
    // The thermal reliefs' guides come last. They are made aside first, so that the list is
    // sized once for all: the few of them would otherwise make it grow by half again.
    GuideList thermal;
    if (m_net > 0) {
        thermal.swap(m_guides);
        AddThermalGuides(m_net);
        thermal.swap(m_guides);
    }
    const size_t guidesBefore = m_guides.size();
    size_t guideTotal = guidesBefore;
    const std::span<CCopperShape> obstacles = m_obstacles.Append([&] {
        size_t total = 0;
        for (GuideSink& sink : sinks) {
            m_seedInCopper = m_seedInCopper || sink.seedInCopper;
            guideTotal += sink.guideCount;
            total += sink.obstacleCount;
        }
        return total;
    }());
    m_guides.reserve(guideTotal + thermal.size());
    m_guides.resize(guideTotal);
    size_t guideAt = guidesBefore;
    size_t obstacleAt = 0;
    for (GuideSink& sink : sinks) {
        sink.guides = m_guides.data() + guideAt;
        sink.obstacles = obstacles.data() + obstacleAt;
        guideAt += sink.guideCount;
        obstacleAt += sink.obstacleCount;
        sink.guideCount = 0;
        sink.obstacleCount = 0;
    }
    takeNets();
    m_guides.insert(m_guides.end(), thermal.begin(), thermal.end());
    m_obstacles.Index();
}

bool CPlaneBuild::InThermal(CPoint p) const
{
    return std::any_of(
        m_thermalRings.begin(), m_thermalRings.end(),
        [&](const std::vector<CPoint>& ring) { return CRingIndex::Contains(ring, p); });
}

int32_t CPlaneBuild::EffectiveNet(int32_t net) const
{
    return net < m_document.GetNetCount() ? net : -1;
}

int32_t CPlaneBuild::NetClearance(int32_t net) const
{
    if (net < 0 || net >= m_document.GetNetCount())
        return 0;
    return m_document.GetNet(net).GetClearance();
}

void CPlaneBuild::SetStatus(const std::string& text)
{
    if (m_progress)
        m_progress->SetStatus(text);
}

// ---- Guide production --------------------------------------------------------------------------

CPoint CPlaneBuild::RotateByDegrees(int32_t x, int32_t y, double degrees)
{
    return RotatePointDeg(x, y, degrees);
}

double CPlaneBuild::TurnAngle(const DLine3& a, const DLine3& b)
{
    const double turn = b.angle - a.angle;
    return turn < 0.0 ? turn + 360.0 : turn;
}

bool CPlaneBuild::PointInPolygon(std::span<const CPoint> points, int32_t x, int32_t y)
{
    return CRingIndex::Contains(points, CPoint(x, y));
}

int32_t CPlaneBuild::GuideSector(double angle)
{
    if (angle == 0.0)
        return 0;
    if (angle < 90.0)
        return 1;
    if (angle == 90.0)
        return 2;
    if (angle < 180.0)
        return 3;
    if (angle == 180.0)
        return 4;
    if (angle < 270.0)
        return 5;
    if (angle == 270.0)
        return 6;
    return 7;
}

bool CPlaneBuild::ClipGuide(const CRect& box, int32_t sector, DLine3& guide)
{
    guide.state = 0;
    if (Distance(guide.x1, guide.y1, guide.x2, guide.y2) < 2)
        return false;
    switch (sector) {
    case 0:
    case 4: {
        if (guide.y1 < box.top || guide.y1 > box.bottom)
            return false;
        return ClipSpan(guide.x1, guide.x2, sector == 0, box.left, box.right);
    }
    case 2:
    case 6: {
        if (guide.x1 < box.left || guide.x1 > box.right)
            return false;
        return ClipSpan(guide.y1, guide.y2, sector == 6, box.top, box.bottom);
    }
    default: {
        const CRect own(std::min(guide.x1, guide.x2), std::min(guide.y1, guide.y2),
                        std::max(guide.x1, guide.x2), std::max(guide.y1, guide.y2));
        return BoxesMeet(own, box);
    }
    }
}

void CPlaneBuild::AddGuideLine(CPoint from, CPoint to)
{
    DLine3 guide;
    guide.x1 = from.x;
    guide.y1 = from.y;
    guide.x2 = to.x;
    guide.y2 = to.y;
    const int32_t sector = GuideSector(LineAngle(from.x, from.y, to.x, to.y));
    if (ClipGuide(m_box, sector, guide))
        GuidesAdd(guide);
}

void CPlaneBuild::GuidesAdd(const DLine3& guide)
{
    DLine3 added = guide;
    if (m_makingThermal)
        added.state |= DLine3::stateThermal;
    if (!t_sink) {
        m_guides.push_back(added);
        return;
    }
    if (t_sink->guides)
        t_sink->guides[t_sink->guideCount] = added;
    ++t_sink->guideCount;
}

void CPlaneBuild::AddObstaclePiece(const CCopperShape& piece, bool asIs)
{
    if (asIs) {
        if (CPlaneObstacles::Holds(piece, m_plane.GetSeed()))
            (t_sink ? t_sink->seedInCopper : m_seedInCopper) = true;
        return;
    }
    if (!t_sink) {
        m_obstacles.Add(piece);
        return;
    }
    if (piece.GetKind() == CCopperShape::Kind::None)
        return;
    if (t_sink->obstacles)
        t_sink->obstacles[t_sink->obstacleCount] = piece;
    ++t_sink->obstacleCount;
}

void CPlaneBuild::AddArcGuides(CPoint centre, double start, double end, int32_t radius)
{
    CPoint previous;
    bool first = true;
    ForArcPoints(centre, start, end, radius, [&](CPoint next) {
        if (!first)
            AddGuideLine(previous, next);
        previous = next;
        first = false;
    });
}

void CPlaneBuild::AddSegmentGuides(CPoint p1, CPoint p2, int32_t distance)
{
    const double angle = LineAngle(p1.x, p1.y, p2.x, p2.y);
    const CPoint n = RotateByDegrees(distance, 0, angle + 90.0);
    AddGuideLine(Add(p2, n), Add(p1, n));
    AddGuideLine(Sub(p1, n), Sub(p2, n));
}

void CPlaneBuild::AddRoundedSegmentGuides(CPoint p1, CPoint p2, int32_t distance)
{
    const double angle = LineAngle(p1.x, p1.y, p2.x, p2.y);
    AddSegmentGuides(p1, p2, distance);
    AddArcGuides(p1, angle + 90.0, angle + 270.0, distance);
    AddArcGuides(p2, angle - 90.0, angle + 90.0, distance);
}

void CPlaneBuild::AddTrackObstacle(CPoint p1, CPoint p2, int32_t distance, int32_t copperHalf)
{
    AddRoundedSegmentGuides(p1, p2, distance);
    CCopperShape piece;
    piece.SetTrack(p1.x, p1.y, p2.x, p2.y, distance - maxIncursion);
    AddObstaclePiece(piece, false);
    piece.SetTrack(p1.x, p1.y, p2.x, p2.y, copperHalf);
    AddObstaclePiece(piece, true);
}

void CPlaneBuild::AddPadObstacle(const CPad& pad, int32_t x, int32_t y, bool mirrored,
                                 int32_t rotation, int32_t clearance)
{
    AddPadGuides(pad, x, y, mirrored, rotation, clearance);
    CCopperShape piece;
    const int32_t angle = PlaceOf(pad, x, y, rotation).angle;
    piece.SetPad(pad.GetShape(), pad.GetRect(), x, y, mirrored, angle, clearance - maxIncursion);
    AddObstaclePiece(piece, false);
    piece.SetPad(pad.GetShape(), pad.GetRect(), x, y, mirrored, angle, 0);
    AddObstaclePiece(piece, true);
}

void CPlaneBuild::AddRingGuides(std::span<const CPoint> points)
{
    for (size_t k = 0; k < points.size(); ++k)
        AddGuideLine(points[k], points[(k + 1) % points.size()]);
}

void CPlaneBuild::AddPadGuides(const CPad& pad, int32_t x, int32_t y, bool mirrored,
                               int32_t rotation, int32_t clearance)
{
    PadBox box = BoxOf(pad, mirrored);
    box.l -= clearance;
    box.t -= clearance;
    box.r += clearance;
    box.b += clearance;
    const Placement place = PlaceOf(pad, x, y, rotation);
    const int64_t width = box.r - box.l;
    const int64_t height = box.b - box.t;

    switch (pad.GetShape()) {
    case PAD_ROUND:
        // An offset pad sits where it is drawn: the circle turns with it.
        AddArcGuides(place((box.l + box.r) / 2, (box.t + box.b) / 2), 0.0, 360.0,
                     SaturateToInt(width / 2));
        break;
    case PAD_OVAL: {
        // A segment along the long side with round ends of half the short side.
        const int64_t half = std::min(width, height) / 2;
        const int64_t mx = (box.l + box.r) / 2;
        const int64_t my = (box.t + box.b) / 2;
        if (width >= height)
            AddRoundedSegmentGuides(place(box.l + half, my), place(box.r - half, my),
                                    SaturateToInt(half));
        else
            AddRoundedSegmentGuides(place(mx, box.t + half), place(mx, box.b - half),
                                    SaturateToInt(half));
        break;
    }
    case PAD_SQUARE:
    case PAD_RECTANGLE:
    case PAD_CONNECTOR:
    case PAD_DEVICE:
    case PAD_LINE: {
        const std::array<CPoint, 4> ring{place(box.l, box.t), place(box.l, box.b),
                                         place(box.r, box.b), place(box.r, box.t)};
        AddRingGuides(ring);
        break;
    }
    case PAD_OCTAGON:
    case PAD_OCTAGON_W: {
        const int64_t k = std::min(width, height) / 4;
        const std::array<CPoint, 8> ring{place(box.l + k, box.b), place(box.r - k, box.b),
                                         place(box.r, box.b - k), place(box.r, box.t + k),
                                         place(box.r - k, box.t), place(box.l + k, box.t),
                                         place(box.l, box.t + k), place(box.l, box.b - k)};
        AddRingGuides(ring);
        break;
    }
    default:
        break;
    }
}

void CPlaneBuild::AddThermal(const CPad& pad, int32_t x, int32_t y, bool mirrored, int32_t rotation,
                             int32_t half)
{
    PadBox box = BoxOf(pad, mirrored);
    const int64_t x1 = box.l + half;
    const int64_t y1 = box.t + half;
    const int64_t x2 = box.r - half;
    const int64_t y2 = box.b - half;
    const int64_t p = 2 * int64_t(m_plane.GetPenWidth()) + m_extraClearance;
    const int64_t c = thermalHalfChannel;
    const Placement place = PlaceOf(pad, x, y, rotation);
    const int32_t shape = pad.GetShape();

    if (shape == PAD_ROUND) {
        const CPoint centre = place((box.l + box.r) / 2, (box.t + box.b) / 2);
        const int32_t r = SaturateToInt((x2 - x1) / 2 + p);
        // Quadrant k: its corner next to the pad centre, then the two radial edges and the arc.
        struct Quadrant {
            int32_t cx, cy;
            int32_t inX, inY;   // start of the radial edge that runs in to the corner
            int32_t outX, outY; // end of the radial edge that runs out of it
            double from;
        };
        const std::array<Quadrant, 4> quadrants{
            Quadrant{1, -1, 0, -1, 1, 0, 0.0}, Quadrant{-1, -1, -1, 0, 0, -1, 90.0},
            Quadrant{-1, 1, 0, 1, -1, 0, 180.0}, Quadrant{1, 1, 1, 0, 0, 1, 270.0}};
        for (const Quadrant& q : quadrants) {
            const CPoint corner =
                Add(centre, CPoint(SaturateToInt(q.cx * c), SaturateToInt(q.cy * c)));
            AddGuideLine(Add(corner, CPoint(q.inX * r, q.inY * r)), corner);
            AddGuideLine(corner, Add(corner, CPoint(q.outX * r, q.outY * r)));
            AddArcGuides(corner, q.from, q.from + 90.0, r);
            // The room kept clear is what the guides bound.
            std::vector<CPoint> ring{corner};
            ForArcPoints(corner, q.from, q.from + 90.0, r, [&](CPoint p) { ring.push_back(p); });
            ring.push_back(corner);
            m_thermalRings.push_back(std::move(ring));
        }
        return;
    }
    if (shape == PAD_OVAL) {
        // The oval grown as the other shapes are, cut into the same four quadrant pieces.
        const std::vector<CPoint> outline = OvalOutline(x1 - p, y1 - p, x2 + p, y2 + p);
        for (const auto& [sx, sy] :
             {std::pair(1, -1), std::pair(1, 1), std::pair(-1, 1), std::pair(-1, -1)}) {
            std::vector<CPoint> ring = ClipToQuadrant(outline, sx, sy, c);
            if (ring.size() < 3)
                continue;
            // The pieces run round as the rectangular ones do.
            if (SignedArea(ring) > 0)
                std::reverse(ring.begin(), ring.end());
            for (CPoint& point : ring)
                point = place(point.x, point.y);
            AddRingGuides(ring);
            ring.push_back(ring.front());
            m_thermalRings.push_back(std::move(ring));
        }
        return;
    }
    if (shape != PAD_SQUARE && shape != PAD_RECTANGLE && shape != PAD_OCTAGON &&
        shape != PAD_OCTAGON_W)
        return;

    const bool octagon = shape == PAD_OCTAGON || shape == PAD_OCTAGON_W;
    const int64_t cut = (std::min(x2 - x1, y2 - y1) + 8 * int64_t(half)) / 4;
    // Each quadrant piece runs from the corner next to the pin out to its outer corner.
    const std::array<std::array<int64_t, 4>, 4> pieces{{{c, -c, x2 + p, y1 - p},
                                                        {c, c, x2 + p, y2 + p},
                                                        {-c, c, x1 - p, y2 + p},
                                                        {-c, -c, x1 - p, y1 - p}}};
    for (const auto& piece : pieces) {
        const int64_t l = std::min(piece[0], piece[2]);
        const int64_t r = std::max(piece[0], piece[2]);
        const int64_t t = std::min(piece[1], piece[3]);
        const int64_t b = std::max(piece[1], piece[3]);
        const std::array<std::array<int64_t, 2>, 4> corners{{{l, t}, {l, b}, {r, b}, {r, t}}};
        std::vector<CPoint> ring;
        for (size_t i = 0; i < corners.size(); ++i) {
            const auto& at = corners[i];
            const bool outer = at[0] == piece[2] && at[1] == piece[3];
            if (!octagon || !outer) {
                ring.push_back(place(at[0], at[1]));
                continue;
            }
            // The outer corner is cut at 45 degrees: one point on each of its edges.
            const auto& before = corners[(i + 3) % 4];
            const auto& after = corners[(i + 1) % 4];
            const auto towards = [&](const std::array<int64_t, 2>& other) {
                const int64_t dx = other[0] > at[0] ? cut : (other[0] < at[0] ? -cut : 0);
                const int64_t dy = other[1] > at[1] ? cut : (other[1] < at[1] ? -cut : 0);
                return place(at[0] + dx, at[1] + dy);
            };
            ring.push_back(towards(before));
            ring.push_back(towards(after));
        }
        AddRingGuides(ring);
        ring.push_back(ring.front());
        m_thermalRings.push_back(std::move(ring));
    }
}

void CPlaneBuild::AddOutlineGuides()
{
    NormalizeWinding(std::span<CPoint>(m_outline));
    m_guides.clear();
    const int32_t half = m_plane.GetPenWidth() / 2 + m_extraClearance;
    const size_t n = m_outline.size();
    for (size_t i = 1; i < n; ++i) {
        const CPoint from = m_outline[i - 1];
        const CPoint at = m_outline[i];
        AddSegmentGuides(from, at, half);
        const CPoint after = i + 1 < n ? m_outline[i + 1] : m_outline[1];
        const double a1 = LineAngle(from.x, from.y, at.x, at.y);
        const double a2 = LineAngle(at.x, at.y, after.x, after.y);
        double turn = a2 - a1;
        if (turn < 0.0)
            turn += 360.0;
        if (turn == 0.0)
            continue;
        // The arc closes the gap the two offset lines leave on the outer side of the corner.
        if (turn < 180.0)
            AddArcGuides(at, a1 - 90.0, a2 - 90.0, half);
        else
            AddArcGuides(at, a2 + 90.0, a1 + 90.0, half);
    }
    m_grid->BuildAll(m_box, m_guides);
    for (DLine3& guide : m_guides)
        guide.state = DLine3::stateOutline;
}

void CPlaneBuild::GuidesAddOverlappingPlaneGuides()
{
    for (int32_t i = 0; i < m_document.GetPlaneCount(); ++i) {
        const CPour& other = m_document.GetPlane(i);
        if (&other == &m_plane)
            break;
        const int32_t otherNet = EffectiveNet(other.GetNet());
        if (other.GetLayer() != m_plane.GetLayer() || otherNet == m_net)
            continue;
        const int32_t clearance =
            std::max({m_plane.GetMinSpace(), NetClearance(m_net), NetClearance(otherNet)});
        const int32_t grow = SaturateToInt(int64_t(other.GetPenWidth() / 2) + clearance +
                                           m_plane.GetPenWidth() / 2 + m_extraClearance);
        if (!BoxesMeet(Grown(other.GetOutlineRect(), grow), m_box))
            continue;
        // An edge just outside the box still reaches into it by the grown distance.
        const CRect reach = Grown(m_box, grow);
        for (const auto& polygon : other.GetFillPolylines()) {
            for (int32_t k = 1; k < polygon->GetSize(); ++k) {
                const CPoint a = (*polygon)[k - 1];
                const CPoint b = (*polygon)[k];
                if (SegmentTouchesRect(reach.left, reach.top, reach.right, reach.bottom, a.x, a.y,
                                       b.x, b.y))
                    AddTrackObstacle(a, b, grow, other.GetPenWidth() / 2);
            }
        }
    }
}

const CPad* CPlaneBuild::PadOnPlaneLayer(int32_t padStack, bool mirrored, bool obstacle) const
{
    const CPadStackArray& padStacks = m_document.GetPadStacks();
    const int32_t layer = m_plane.GetLayer();
    const CPad* pad = padStacks.GetPad(padStack, mirrored ? OppositeLayer(layer) : layer);
    // A plated hole of another net through a signal layer without a pad is copper too.
    if (!pad && obstacle && layer >= LAYER_TOP && layer <= LAYER_INNER_12)
        pad = padStacks.GetPad(padStack, LAYER_DRILL);
    return pad;
}

bool CPlaneBuild::PadReaches(const CPad& pad, int32_t x, int32_t y, int32_t grow, const CRect& box)
{
    const CRect& rect = pad.GetRect();
    const int64_t reach = std::max({std::abs(int64_t(rect.left)), std::abs(int64_t(rect.right)),
                                    std::abs(int64_t(rect.top)), std::abs(int64_t(rect.bottom))}) +
                          grow;
    return BoxesMeet(Grown(CRect(x, y, x, y), reach), box);
}

void CPlaneBuild::AddNetGuides(int32_t netIndex)
{
    if (netIndex == 0)
        AddTextGuides();
    const CNet& net = m_document.GetNet(netIndex);
    const int32_t grow =
        SaturateToInt(int64_t(std::max(net.GetClearance(), m_plane.GetMinSpace())) +
                      m_plane.GetPenWidth() / 2 + m_extraClearance);
    const CRect reach = Grown(m_box, reachMargin);

    for (int32_t i = 0; i < net.GetPinCount(); ++i) {
        const NetPinRec& pin = net.GetPin(i);
        const CPad* pad = PadOnPlaneLayer(pin.padStack, pin.side != 0, true);
        if (pad && PadReaches(*pad, pin.x, pin.y, grow, reach))
            AddPadObstacle(*pad, pin.x, pin.y, pin.side != 0, pin.angle, grow);
    }

    const int32_t layer = m_plane.GetLayer();
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        const TrackRec& vertex = net.GetVertex(i);
        if (vertex.IsPad()) {
            const CPad* pad = PadOnPlaneLayer(vertex.GetPadStack(), vertex.IsMirrored(), true);
            if (pad && PadReaches(*pad, vertex.x, vertex.y, grow, reach))
                AddPadObstacle(*pad, vertex.x, vertex.y, vertex.IsMirrored(), vertex.GetRotation(),
                               grow);
            continue;
        }
        if (i == 0 || vertex.GetLayer() != layer || vertex.GetPen() <= 0)
            continue;
        const TrackRec& from = net.GetVertex(i - 1);
        const int32_t half = SaturateToInt(int64_t(net.GetVertexWidth(i) / 2) + grow);
        // A track wider than the margin can reach the box from farther away.
        const CRect trackReach = Grown(m_box, std::max(reachMargin, half));
        if (SegmentTouchesRect(trackReach.left, trackReach.top, trackReach.right, trackReach.bottom,
                               from.x, from.y, vertex.x, vertex.y))
            AddTrackObstacle(CPoint(from.x, from.y), CPoint(vertex.x, vertex.y), half,
                             net.GetVertexWidth(i) / 2);
    }
}

void CPlaneBuild::AddTextGuides()
{
    const CWevraFont& font = m_document.GetFont();
    if (!font.IsLoaded())
        return;
    // The strokes are obstacles as tracks of a net with the default clearance.
    const int32_t grow =
        SaturateToInt(int64_t(std::max(CNet::defaultClearance, m_plane.GetMinSpace())) +
                      m_plane.GetPenWidth() / 2 + m_extraClearance);
    const int32_t layer = m_plane.GetLayer();

    for (int32_t t = 0; t < m_document.GetTextCount(); ++t) {
        const CWevraText& text = m_document.GetText(t);
        if (text.GetLayer() != layer)
            continue;
        const int32_t half = SaturateToInt(int64_t(text.GetLineWidth() / 2) + grow);
        const CRect reach = Grown(m_box, std::max(reachMargin, half));
        ForEachTextStroke(text, font, [&](CPoint from, CPoint to) {
            if (SegmentTouchesRect(reach.left, reach.top, reach.right, reach.bottom, from.x, from.y,
                                   to.x, to.y))
                AddTrackObstacle(from, to, half, text.GetLineWidth() / 2);
        });
    }
}

void CPlaneBuild::AddThermalGuides(int32_t netIndex)
{
    const CNet& net = m_document.GetNet(netIndex);
    const int32_t half = m_plane.GetPenWidth() / 2;
    const CRect reach = Grown(m_box, reachMargin);
    for (int32_t i = 0; i < net.GetPinCount(); ++i) {
        const NetPinRec& pin = net.GetPin(i);
        const CPad* pad = PadOnPlaneLayer(pin.padStack, pin.side != 0, false);
        if (pad && PadReaches(*pad, pin.x, pin.y, half, reach)) {
            m_makingThermal = true;
            AddThermal(*pad, pin.x, pin.y, pin.side != 0, pin.angle, half);
            m_makingThermal = false;
        }
    }
}
