#include "analysis/CPlaneBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/CRingIndex.h"
#include "framework/CResourcePack.h"
#include "model/CCopperShape.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"
#include "tests/analysis/PlaneBuildBoard.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"

namespace {

struct Stroke {
    CPoint a;
    CPoint b;
    int32_t half = 0;
};

// Every piece of copper the fill lays: the hatch lines and the edges of the fill polygons, all
// drawn with the plane's pen.
std::vector<Stroke> FillStrokesOf(const CPour& plane)
{
    std::vector<Stroke> strokes;
    for (const FillStroke& s : plane.GetFillStrokes())
        strokes.push_back({{s.x1, s.y1}, {s.x2, s.y2}});
    for (const auto& polygon : plane.GetFillPolylines()) {
        for (int32_t k = 1; k < polygon->GetSize(); ++k)
            strokes.push_back({(*polygon)[k - 1], (*polygon)[k]});
    }
    return strokes;
}

// Even-odd, exactly, for a point not on the ring.
bool InsideRing(CPoint p, std::span<const CPoint> ring)
{
    bool inside = false;
    for (size_t k = 1; k < ring.size(); ++k) {
        const CPoint a = ring[k - 1];
        const CPoint b = ring[k];
        if ((a.y > p.y) == (b.y > p.y))
            continue;
        // The edge's x at p.y, compared without division.
        const int64_t lhs = (int64_t(p.x) - a.x) * (int64_t(b.y) - a.y);
        const int64_t rhs = (int64_t(b.x) - a.x) * (int64_t(p.y) - a.y);
        if ((b.y > a.y) ? lhs < rhs : lhs > rhs)
            inside = !inside;
    }
    return inside;
}

// Counts the strokes that come nearer than clearance - slack to copper of another net, or leave
// the outline, measured on the geometry itself.
int32_t CountViolations(const PlaneBuildBoard& board, const CPour& plane,
                        const std::vector<std::vector<Stroke>>& extraCopper = {}, int32_t slack = 2)
{
    const int32_t half = plane.GetPenWidth() / 2;
    const int32_t layer = plane.GetLayer();
    const std::vector<Stroke> strokes = FillStrokesOf(plane);
    int32_t violations = 0;
    const auto report = [&](const Stroke& s, const std::string& what) {
        if (++violations <= 5)
            ADD_FAILURE() << "stroke (" << s.a.x << "," << s.a.y << ")-(" << s.b.x << "," << s.b.y
                          << ") " << what;
    };

    const CPointArray& outline = plane.GetOutline();
    std::vector<CPoint> ring(outline.GetData(), outline.GetData() + outline.GetSize());
    if (!ring.empty() && !(ring.back() == ring.front()))
        ring.push_back(ring.front());
    for (const Stroke& s : strokes) {
        if (!CRingIndex::Contains(ring, s.a) || !CRingIndex::Contains(ring, s.b))
            report(s, "ends outside the outline");
        for (size_t k = 1; k < ring.size(); ++k) {
            if (SegmentsTouch(s.a, s.b, ring[k - 1], ring[k], half - 2, 0))
                report(s, "crosses the outline");
        }
    }

    for (int32_t n = 0; n < board.GetNetCount(); ++n) {
        if (n == plane.GetNet())
            continue;
        for (const Stroke& t :
             size_t(n) < extraCopper.size() ? extraCopper[size_t(n)] : std::vector<Stroke>{}) {
            const int32_t reach = std::max(t.half, 0) +
                                  std::max(board.GetNet(n).GetClearance(), plane.GetMinSpace()) -
                                  slack;
            for (const Stroke& s : strokes) {
                if (SegmentsTouch(s.a, s.b, t.a, t.b, half, reach))
                    report(s, "touches a text of net " + std::to_string(n));
            }
        }
        const CNet& net = board.GetNet(n);
        const int32_t clearance = std::max(net.GetClearance(), plane.GetMinSpace()) - slack;
        const auto checkPad = [&](int32_t stack, int32_t x, int32_t y, bool mirrored,
                                  int32_t angle) {
            const CPad* pad =
                board.padStacks.GetPad(stack, mirrored ? OppositeLayer(layer) : layer);
            // A plated hole through a signal layer is copper there too.
            if (!pad && layer >= LAYER_TOP && layer <= LAYER_INNER_12)
                pad = board.padStacks.GetPad(stack, LAYER_DRILL);
            if (!pad)
                return;
            CCopperShape copper;
            copper.SetPad(pad->GetShape(), pad->GetRect(), x, y, mirrored,
                          (angle + pad->GetRotation()) % 360000, clearance);
            for (const Stroke& s : strokes) {
                // The edge tests of a ring miss a stroke that lies wholly inside it.
                const bool inside = copper.GetKind() == CCopperShape::Kind::Polygon &&
                                    InsideRing(s.a, copper.GetPolygon());
                if (inside || copper.TouchesSegment(s.a.x, s.a.y, s.b.x, s.b.y, half))
                    report(s, "touches a pad of net " + std::to_string(n));
            }
        };
        for (int32_t i = 0; i < net.GetPinCount(); ++i) {
            const NetPinRec& pin = net.GetPin(i);
            checkPad(pin.padStack, pin.x, pin.y, pin.side != 0, pin.angle);
        }
        for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
            const TrackRec& v = net.GetVertex(i);
            if (v.IsPad()) {
                checkPad(v.GetPadStack(), v.x, v.y, v.IsMirrored(), v.GetRotation());
                continue;
            }
            if (i == 0 || v.GetLayer() != layer || v.GetPen() <= 0)
                continue;
            const TrackRec& from = net.GetVertex(i - 1);
            for (const Stroke& s : strokes) {
                if (SegmentsTouch(s.a, s.b, {from.x, from.y}, {v.x, v.y}, half,
                                  net.GetVertexWidth(i) / 2 + clearance))
                    report(s, "touches a track of net " + std::to_string(n));
            }
        }
    }
    return violations;
}

// The strokes of a text as the model draws it, in board units.
std::vector<Stroke> TextStrokes(const CWevraText& text, const CWevraFont& font)
{
    CRecordingDC dc;
    text.Draw(dc, font, 0, 0, 1);
    std::vector<Stroke> strokes;
    CPoint at;
    for (const std::string& line : dc.Lines()) {
        std::istringstream in(line);
        std::string call;
        CPoint p;
        in >> call >> p.x >> p.y;
        if (call == "LineTo")
            strokes.push_back({at, p, text.GetLineWidth() / 2});
        at = p;
    }
    return strokes;
}

// The point of the fill nearest to (x, y), over polygon vertices.
int32_t NearestFillVertex(const CPour& plane, CPoint p)
{
    int32_t best = INT32_MAX;
    for (const auto& polygon : plane.GetFillPolylines()) {
        for (int32_t k = 0; k < polygon->GetSize(); ++k)
            best = std::min(best, Distance(p.x, p.y, (*polygon)[k].x, (*polygon)[k].y));
    }
    return best;
}

struct PadForm {
    int32_t shape;
    int32_t x1, y1, x2, y2;
};

const PadForm padForms[] = {
    {PAD_ROUND, -8000, -8000, 8000, 8000},       {PAD_ROUND, -30000, -30000, 30000, 30000},
    {PAD_ROUND, -2000, -9000, 12000, 5000}, // offset
    {PAD_OVAL, -12000, -5000, 12000, 5000},      {PAD_SQUARE, -7000, -7000, 7000, 7000},
    {PAD_RECTANGLE, -11000, -4000, 9000, 6000},  {PAD_OCTAGON, -8000, -8000, 8000, 8000},
    {PAD_OCTAGON_W, -10000, -6000, 10000, 6000}, {PAD_CONNECTOR, -4000, -15000, 4000, 15000},
    {PAD_DEVICE, -6000, -6000, 6000, 6000},      {PAD_LINE, -3000, -3000, 3000, 3000}};

// A pin of a crowded board: net, place, pad form (of AddCrowdedPadStacks) and turn.
struct CrowdedPin {
    int32_t net, x, y, stack, angle;
};

// Pins, and a track of net 2 drawn with the pen through the points.
struct CrowdedBoard {
    std::vector<CrowdedPin> pins;
    int32_t pen = 0;
    std::vector<CPoint> track;
};

// A crowded board of 12 pins of nets 1 and 2 spread over the plane, and a track of net 2 of
// four segments through its middle, drawn from the generator.
CrowdedBoard RandomCrowdedBoard(std::mt19937& rng)
{
    const auto any = [&](int32_t from, int32_t span) { return from + int32_t(rng() % span); };
    CrowdedBoard b;
    for (int32_t k = 0; k < 12; ++k) {
        const int32_t angle = any(0, 360000);
        const int32_t y = any(5000, 90000);
        const int32_t x = any(5000, 90000);
        b.pins.push_back({1 + k % 2, x, y, k % 3, angle});
    }
    b.pen = any(2000, 3000);
    for (int32_t k = 0; k < 5; ++k) {
        const int32_t y = any(25000, 75000);
        const int32_t x = any(25000, 75000);
        b.track.emplace_back(x, y);
    }
    return b;
}

class CPlaneBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UsePlaneFillMessages();
        for (int32_t n = 0; n < 3; ++n)
            board.AddNet(2015 + 1000 * n);
    }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    // The plane fills without a message and keeps clear of other copper.
    void FillAndExpectItClean(CPour& plane)
    {
        fakes.messages.ClearShown();
        CPlaneBuild(board, plane);
        EXPECT_TRUE(fakes.messages.ShownTexts().empty());
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
        EXPECT_FALSE(plane.GetFillPolylines().empty());
        EXPECT_EQ(CountViolations(board, plane), 0);
    }
    // The pad forms of the crowded boards: an octagon, a rectangle and a circle.
    std::array<int32_t, 3> AddCrowdedPadStacks()
    {
        return {board.AddPadStack(PAD_OCTAGON, -8000, -8000, 8000, 8000),
                board.AddPadStack(PAD_RECTANGLE, -9000, -4000, 9000, 4000),
                board.AddPadStack(PAD_ROUND, -5000, -5000, 5000, 5000)};
    }
    void AddCrowdedPins(std::span<const CrowdedPin> pins, const std::array<int32_t, 3>& stacks)
    {
        for (const CrowdedPin& pin : pins)
            board.nets[size_t(pin.net)]->AddPin(pin.x, pin.y, 0, 0, stacks[size_t(pin.stack)],
                                                pin.angle, false, 3);
    }
    // Fresh nets with the board's copper, and the plane of net 1 over it seeded near its
    // corner.
    CPour& SetUpCrowded(const CrowdedBoard& b, const std::array<int32_t, 3>& stacks)
    {
        for (auto& net : board.nets)
            net = std::make_unique<CNet>(net->GetName(), 1000, 50000, net->GetClearance());
        AddCrowdedPins(b.pins, stacks);
        CNet& other = *board.nets[2];
        const int32_t pen = b.pen > 0 ? other.AddPen(b.pen) : 0;
        for (size_t k = 0; k < b.track.size(); ++k)
            other.AppendVertex(b.track[k].x, b.track[k].y, LAYER_TOP, k == 0 ? 0 : pen);
        board.planes.clear();
        board.mode = 0;
        CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 100000);
        plane.SetSeed(CPoint(3000, 3000));
        return plane;
    }

    // `rounds` random crowded boards of generator seed `seed`, each filled: none may fail or come
    // nearer than clearance - slack to other copper (the first that does ends the run). Returns
    // how many were filled; seeds that lie where no fill may be ask to be moved and do not count.
    int32_t FillCrowdedBoardsOfSeed(const std::array<int32_t, 3>& stacks, uint32_t seed,
                                    int32_t rounds, int32_t slack)
    {
        std::mt19937 rng(20240611 + seed);
        int32_t filled = 0;
        for (int32_t round = 0; round < rounds; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            fakes.messages.ClearShown();
            CPour& plane = SetUpCrowded(RandomCrowdedBoard(rng), stacks);
            CPlaneBuild(board, plane);
            if (board.mode == ID_PLANE_MOVE_SEEDPOINT_MODE)
                continue;
            EXPECT_EQ(plane.GetFillErrorCount(), 0);
            EXPECT_TRUE(fakes.messages.ShownTexts().empty());
            EXPECT_EQ(CountViolations(board, plane, {}, slack), 0);
            if (HasFailure())
                break;
            ++filled;
        }
        return filled;
    }

    // Each board fills without a message and keeps clear of other copper.
    void FillEachAndExpectItClean(std::span<const CrowdedBoard> boards)
    {
        const std::array<int32_t, 3> stacks = AddCrowdedPadStacks();
        for (size_t k = 0; k < boards.size(); ++k) {
            SCOPED_TRACE("board " + std::to_string(k));
            FillAndExpectItClean(SetUpCrowded(boards[k], stacks));
        }
    }

    CFakeServices fakes;
    PlaneBuildBoard board;
};

} // namespace

// Other nets' pads of every shape and turn, with pads of the plane's own net beside them that
// get thermal reliefs, tracks, a via and a pad placed on the other side.
TEST_F(CPlaneBuildTest, FillKeepsClearOfOtherNetsCopperAndInsideTheOutline)
{
    int32_t column = 0;
    std::vector<CPoint> ownRoundPins;
    for (const PadForm& f : padForms) {
        const int32_t stack = board.AddPadStack(f.shape, f.x1, f.y1, f.x2, f.y2);
        int32_t row = 0;
        for (int32_t angle : {0, 45000, 90000}) {
            const int32_t x = 60000 + column * 90000;
            const int32_t y = 60000 + row * 100000;
            board.nets[2]->AddPin(x, y, 0, 0, stack, angle, row == 2, 3);
            board.nets[1]->AddPin(x, y + 50000, 0, 0, stack, angle, false, 3);
            if (f.shape == PAD_ROUND && f.x1 == -8000)
                ownRoundPins.emplace_back(x, y + 50000);
            ++row;
        }
        ++column;
    }
    CNet& other = *board.nets[2];
    const int32_t pen = other.AddPen(4000);
    const CPoint track[] = {{20000, 340000}, {400000, 340000}, {480000, 300000}, {700000, 310000}};
    for (size_t k = 0; k < std::size(track); ++k)
        other.AppendVertex(track[k].x, track[k].y, LAYER_TOP, k == 0 ? 0 : pen);
    const int32_t via = board.AddPadStack(PAD_ROUND, -4000, -4000, 4000, 4000, 2000);
    other.AppendPadVertex(800000, 330000, via, 0, false);
    // A pad defined for the top side, placed on the bottom: its copper is on layer 2.
    const int32_t smd = board.padStacks.Add(
        CPadStack("SMD", PAD_RECTANGLE, -9000, -3000, 9000, 3000, 0, LAYER_TOP, 1));
    other.AppendPadVertex(900000, 330000, smd, 30000, true);

    for (int32_t layer : {LAYER_TOP, LAYER_BOTTOM}) {
        CPour& plane = board.AddPlane(1, layer, 0, 0, 1000000, 380000);
        plane.SetSeed(CPoint(5000, 5000));
        plane.SetMinSpace(2500);
        CPlaneBuild build(board, plane);
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
        EXPECT_TRUE(fakes.messages.Shown().empty());
        EXPECT_GT(plane.GetFillStrokes().GetSize(), 300);
        EXPECT_EQ(CountViolations(board, plane), 0) << "layer " << layer;
        // The spokes of the thermal reliefs reach the pins.
        for (const CPoint& pin : ownRoundPins)
            EXPECT_LE(NearestFillVertex(plane, pin), 8);
        board.planes.clear();
    }
}

// An oval pin of the plane's own net, turned three ways: the fill keeps a relief round it and
// reaches it by spokes along its axes, as round and square pins get.
TEST_F(CPlaneBuildTest, OvalPinsOfThePlanesNetGetAThermalRelief)
{
    const int32_t oval = board.AddPadStack(PAD_OVAL, -12000, -5000, 12000, 5000);
    const std::array<int32_t, 3> angles{0, 45000, 90000};
    for (size_t k = 0; k < angles.size(); ++k)
        board.nets[1]->AddPin(60000 + int32_t(k) * 60000, 60000, 0, 0, oval, angles[k], k == 2, 3);
    CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 240000, 120000);
    plane.SetSeed(CPoint(3000, 3000));
    FillAndExpectItClean(plane);

    // Pad-frame points a pen's half outside the pad, clear of the spokes: the relief is the
    // pad grown by one and a half pens, the fill's edge stroke takes half a pen of that.
    const int32_t half = plane.GetPenWidth() / 2;
    std::vector<CPoint> gap;
    for (int32_t sx : {-1, 1}) {
        for (int32_t sy : {-1, 1}) {
            gap.emplace_back(sx * 6000, sy * (5000 + half));
            for (double degrees : {30.0, 60.0}) {
                const double a = degrees * M_PI / 180.0;
                gap.emplace_back(sx * int32_t(7000 + (5000 + half) * std::cos(a)),
                                 sy * int32_t((5000 + half) * std::sin(a)));
            }
        }
    }
    const std::vector<Stroke> strokes = FillStrokesOf(plane);
    for (size_t k = 0; k < angles.size(); ++k) {
        const CPoint pin(60000 + int32_t(k) * 60000, 60000);
        SCOPED_TRACE("angle " + std::to_string(angles[k]));
        EXPECT_LE(NearestFillVertex(plane, pin), 8) << "a spoke reaches the pin";
        for (const CPoint& local : gap) {
            const CPoint turned = RotatePoint(local.x, local.y, angles[k]);
            const CPoint at(pin.x + turned.x, pin.y + turned.y);
            int32_t nearest = INT32_MAX;
            for (const Stroke& stroke : strokes) {
                CPoint foot;
                nearest = std::min(nearest,
                                   std::abs(PointToSegmentDistance(stroke.a, stroke.b, at, foot)));
            }
            EXPECT_GE(nearest, half - 2) << "copper at (" << local.x << "," << local.y << ")";
        }
    }
}

TEST_F(CPlaneBuildTest, FillKeepsClearOfHolesTextsAndASeedOnCopper)
{
    // A via whose inner-layer pad is missing still has its plated hole there.
    const int32_t via = board.AddPadStack(PAD_ROUND, -5000, -5000, 5000, 5000, 4000);
    board.padStacks.GetPadStack(via)->GetPad(LAYER_GROUND)->Clear();
    board.nets[2]->AppendPadVertex(100000, 100000, via, 0, false);

    ASSERT_TRUE(
        board.font.Load(std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / CWevraFont::fileName));
    auto text = std::make_unique<CWevraText>();
    text->SetText("Wevra 42");
    text->SetPosition(CPoint(150000, 60000));
    text->SetHeight(30000);
    text->SetLineWidth(2500);
    text->SetAngle(30000);
    text->SetLayer(LAYER_GROUND);
    const std::vector<Stroke> textStrokes = TextStrokes(*text, board.font);
    ASSERT_FALSE(textStrokes.empty());
    board.texts.push_back(std::move(text));

    // The seed lies on the via: the fill must not take the via's clearance for itself.
    for (CPoint seed : {CPoint(5000, 5000), CPoint(100500, 100200)}) {
        CPour& plane = board.AddPlane(2, LAYER_GROUND, 0, 0, 400000, 200000);
        plane.SetSeed(seed);
        CPlaneBuild build(board, plane);
        EXPECT_EQ(plane.GetFillErrorCount(), 0) << "seed " << seed.x;
        EXPECT_GT(plane.GetFillStrokes().GetSize(), 100);
        EXPECT_EQ(CountViolations(board, plane, {textStrokes}), 0);
        board.planes.clear();
    }
}

TEST_F(CPlaneBuildTest, OverlappingPlanesOfOtherNetsKeepTheirClearance)
{
    CPour& first = board.AddPlane(1, LAYER_TOP, 0, 0, 200000, 150000);
    first.SetSeed(CPoint(10000, 10000));
    CPour& second =
        board.AddPlane(2, LAYER_TOP, 120000, 50000, 300000, 250000, CPour::styleLine, 3000);
    second.SetSeed(CPoint(290000, 240000));
    CPlaneBuild(board, first);
    CPlaneBuild(board, second);
    ASSERT_EQ(first.GetFillErrorCount() + second.GetFillErrorCount(), 0);
    const int32_t clearance = board.nets[2]->GetClearance();
    const std::vector<Stroke> a = FillStrokesOf(first);
    const std::vector<Stroke> b = FillStrokesOf(second);
    ASSERT_FALSE(b.empty());
    int32_t touching = 0;
    for (const Stroke& s : a) {
        for (const Stroke& t : b)
            touching += SegmentsTouch(s.a, s.b, t.a, t.b, first.GetPenWidth() / 2,
                                      second.GetPenWidth() / 2 + clearance - 2);
    }
    EXPECT_EQ(touching, 0);
}

// Solid fills overlap their lines (pen width - 1007, at least 806 apart); line and cross
// hatches run at the hatch grid and rotation. Hatching never moves the polygons or earlier
// lines.
TEST_F(CPlaneBuildTest, HatchStylesSpaceAndTurnTheirLines)
{
    struct Case {
        int32_t style;
        int32_t pen;
        int32_t rotation;
        int32_t spacing;
    };
    const Case cases[] = {{CPour::styleSolid, 2000, 45000, 993},
                          {CPour::styleSolid, 1500, 45000, 806},
                          {CPour::styleLine, 2000, 45000, 6047},
                          {CPour::styleCross, 2000, 30000, 6047}};
    const int32_t stack = board.AddPadStack(PAD_ROUND, -9000, -9000, 9000, 9000);
    board.nets[2]->AddPin(70000, 60000, 0, 0, stack, 0, false, 3);

    const auto fill = [&](int32_t style, int32_t pen, int32_t rotation) {
        board.planes.clear();
        CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 150000, 120000, style, pen);
        plane.SetSeed(CPoint(5000, 5000));
        plane.SetHatchRotation(rotation);
        CPlaneBuild(board, plane);
        return &plane;
    };
    const auto polygonsOf = [](const CPour& plane) {
        std::vector<std::vector<CPoint>> rings;
        for (const auto& p : plane.GetFillPolylines())
            rings.emplace_back(p->GetData(), p->GetData() + p->GetSize());
        return rings;
    };
    const CPour* bare = fill(0, 2000, 0);
    EXPECT_EQ(bare->GetFillStrokes().GetSize(), 0);
    const auto polygons = polygonsOf(*bare);
    const CPour* line = fill(CPour::styleLine, 2000, 30000);
    const std::vector<FillStroke> lineSet(line->GetFillStrokes().begin(),
                                          line->GetFillStrokes().end());

    for (const Case& c : cases) {
        const CPour* plane = fill(c.style, c.pen, c.rotation);
        if (c.pen == 2000) {
            EXPECT_EQ(polygonsOf(*plane), polygons);
        }
        EXPECT_EQ(plane->GetHatchGrid(), 6047);
        const int32_t turn = c.style == CPour::styleSolid ? 0 : c.rotation;
        // Turned back by the rotation, every line is horizontal and they sit `spacing` apart.
        std::vector<int32_t> rows;
        for (const FillStroke& s : plane->GetFillStrokes()) {
            const CPoint a = RotatePoint(s.x1, s.y1, turn);
            const CPoint b = RotatePoint(s.x2, s.y2, turn);
            if (c.style == CPour::styleCross && std::abs(a.y - b.y) >= std::abs(a.x - b.x))
                continue; // the second set
            EXPECT_LE(std::abs(a.y - b.y), 2);
            rows.push_back(a.y);
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end(),
                               [](int32_t p, int32_t q) { return std::abs(p - q) <= 2; }),
                   rows.end());
        ASSERT_GT(rows.size(), 10u);
        for (size_t k = 1; k < rows.size(); ++k)
            EXPECT_NEAR(rows[k] - rows[k - 1], c.spacing, 2) << "style " << c.style;
        if (c.style == CPour::styleCross) {
            ASSERT_GT(plane->GetFillStrokes().GetSize(), int32_t(lineSet.size()));
            EXPECT_TRUE(
                std::equal(lineSet.begin(), lineSet.end(), plane->GetFillStrokes().begin()));
        }
    }
}

TEST_F(CPlaneBuildTest, SeedOutsideTheOutlineAsksToMoveIt)
{
    CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 100000);
    plane.SetSeed(CPoint(150000, 50000));
    CPlaneBuild(board, plane);
    EXPECT_EQ(fakes.messages.ShownTexts(), std::vector<std::string>{"Move Seedpoint"});
    EXPECT_EQ(board.mode, ID_PLANE_MOVE_SEEDPOINT_MODE);
    EXPECT_TRUE(plane.GetFillPolylines().empty());
    EXPECT_EQ(plane.GetFillErrorCount(), 0);
}

// A seed on another net's pad or track has nowhere to grow from: the user is asked to move it,
// as for a seed outside the outline, and the plane is no failed fill.
TEST_F(CPlaneBuildTest, SeedOnOtherCopperAsksToMoveIt)
{
    const int32_t stack = board.AddPadStack(PAD_ROUND, -5000, -5000, 5000, 5000);
    board.nets[2]->AddPin(50000, 50000, 0, 0, stack, 0, false, 3);
    CNet& other = *board.nets[2];
    const int32_t pen = other.AddPen(2000);
    other.AppendVertex(20000, 80000, LAYER_TOP, 0);
    other.AppendVertex(80000, 80000, LAYER_TOP, pen);
    for (const CPoint seed : {CPoint(50000, 50000), CPoint(54500, 50000), CPoint(30000, 80900)}) {
        CFakeServices services;
        board.mode = 0;
        board.planes.clear();
        CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 100000);
        plane.SetSeed(seed);
        CPlaneBuild(board, plane);
        EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{"Move Seedpoint"});
        EXPECT_EQ(board.mode, ID_PLANE_MOVE_SEEDPOINT_MODE);
        EXPECT_TRUE(plane.GetFillPolylines().empty());
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
    }
}

TEST_F(CPlaneBuildTest, OutlineOfFewerThanThreePointsFillsNothing)
{
    CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 100000);
    plane.GetOutline().SetSize(2);
    CPlaneBuild(board, plane);
    EXPECT_TRUE(fakes.messages.Shown().empty());
    EXPECT_TRUE(plane.GetFillPolylines().empty());
    EXPECT_EQ(plane.GetFillStrokes().GetSize(), 0);
    EXPECT_EQ(plane.GetErrorMark(), CPlaneBuild::noErrorMark);
}

// A plane whose net lies beyond the net list is filled without a net: clear of every net's
// copper, net 0's included, and its stored net stays.
TEST_F(CPlaneBuildTest, MissingNetFillsWithoutANetAndWarnsOnce)
{
    const int32_t stack = board.AddPadStack(PAD_SQUARE, -8000, -8000, 8000, 8000);
    board.nets[2]->AddPin(50000, 50000, 0, 0, stack, 0, false, 3);
    board.nets[0]->AddPin(50000, 80000, 0, 0, stack, 0, false, 3);
    CPour& plane = board.AddPlane(7, LAYER_TOP, 0, 0, 100000, 100000);
    plane.SetSeed(CPoint(5000, 5000));
    CPlaneBuild(board, plane);
    EXPECT_EQ(fakes.messages.ShownTexts(), std::vector<std::string>{"missing net"});
    EXPECT_EQ(plane.GetNet(), 7);
    EXPECT_EQ(plane.GetFillErrorCount(), 0);
    EXPECT_EQ(plane.GetFillPolylines().size(), 3u);
    EXPECT_EQ(CountViolations(board, plane), 0);
}

TEST_F(CPlaneBuildTest, CancelLeavesNoFillAndNoCarriesOn)
{
    const int32_t stack = board.AddPadStack(PAD_ROUND, -8000, -8000, 8000, 8000);
    for (int32_t k = 0; k < 6; ++k)
        board.nets[2]->AddPin(30000 + 30000 * k, 50000, 0, 0, stack, 0, false, 3);
    for (int32_t answer : {IDYES, IDNO}) {
        CFakeServices services;
        services.progress.cancelAfterSteps = 0;
        services.messages.QueueAnswer(answer);
        board.planes.clear();
        CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 220000, 100000);
        plane.SetSeed(CPoint(5000, 5000));
        CPlaneBuild build(board, plane);
        EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{"Cancel?"});
        EXPECT_EQ(build.IsCancelled(), answer == IDYES);
        EXPECT_EQ(plane.GetFillPolylines().empty(), answer == IDYES);
        EXPECT_EQ(plane.GetFillStrokes().IsEmpty(), answer == IDYES);
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
    }
}

// The outline stops short of its start (below the seed); its last edge still bounds the fill,
// the stored outline is left as it was, and every fill polygon is a closed ring.
TEST_F(CPlaneBuildTest, OutlineAndPolygonsEndingShortAreClosed)
{
    const int32_t stack = board.AddPadStack(PAD_OCTAGON, -8000, -8000, 8000, 8000);
    board.nets[2]->AddPin(41000, 43000, 0, 0, stack, 20000, false, 3);
    CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 80000);
    plane.GetOutline().SetSize(4);
    plane.GetOutline().SetAtGrow(4, 0, 30000);
    std::vector<CPoint> stored(plane.GetOutline().GetData(), plane.GetOutline().GetData() + 5);
    plane.SetSeed(CPoint(5000, 5000));
    CPlaneBuild(board, plane);
    EXPECT_EQ(plane.GetFillErrorCount(), 0);
    EXPECT_EQ(std::vector<CPoint>(plane.GetOutline().GetData(), plane.GetOutline().GetData() + 5),
              stored);
    int32_t rings = 0;
    for (const auto& polygon : plane.GetFillPolylines()) {
        if (polygon->GetSize() == 0)
            continue;
        ++rings;
        EXPECT_EQ((*polygon)[0], (*polygon)[polygon->GetSize() - 1]);
    }
    EXPECT_EQ(rings, 2);
    EXPECT_EQ(CountViolations(board, plane), 0);
}

TEST_F(CPlaneBuildTest, MoreThanAMillionGuidesStillFill)
{
    // 40000 short segments of about 28 guides each.
    CNet& net = *board.nets[2];
    const int32_t pen = net.AddPen(1000);
    for (int32_t k = 0; k < 40000; ++k) {
        const int32_t x = 1000 + (k % 300) * 600;
        const int32_t y = 1000 + (k / 300) * 600;
        net.AppendVertex(x, y, LAYER_TOP, 0);
        net.AppendVertex(x + 300, y + 200, LAYER_TOP, pen);
    }
    CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 200000, 100000);
    plane.SetSeed(CPoint(190000, 95000));
    FillAndExpectItClean(plane);
}

// Crowded boards: pads of both nets overlapping each other, the outline and the seed, and
// tracks across them. Every fill succeeds and keeps clear of the other net's copper and inside
// the outline, unless its seed lies where no fill may be (on other copper, or where the fill
// keeps clear of it or of a pin of its own net) and the user is asked to move it.
TEST_F(CPlaneBuildTest, CrowdedBoardsNeverGetAFillOverOtherCopper)
{
    const std::array<int32_t, 3> stacks = AddCrowdedPadStacks();
    std::mt19937 rng(20240611);
    const auto any = [&](int32_t from, int32_t span) { return from + int32_t(rng() % span); };
    int32_t filled = 0;
    constexpr int32_t rounds = 60;
    for (int32_t round = 0; round < rounds; ++round) {
        // Fresh nets: the pen tables would fill up over the rounds.
        for (auto& net : board.nets)
            net = std::make_unique<CNet>(net->GetName(), 1000, 50000, net->GetClearance());
        for (int32_t k = 0; k < 12; ++k)
            board.nets[size_t(1 + k % 2)]->AddPin(any(5000, 90000), any(5000, 90000), 0, 0,
                                                  stacks[k % 3], any(0, 360000), false, 3);
        CNet& other = *board.nets[2];
        const int32_t pen = other.AddPen(any(2000, 3000));
        other.AppendVertex(any(25000, 75000), any(25000, 75000), LAYER_TOP, 0);
        for (int32_t k = 0; k < 4; ++k)
            other.AppendVertex(any(25000, 75000), any(25000, 75000), LAYER_TOP, pen);

        CFakeServices services;
        board.mode = 0;
        board.planes.clear();
        CPour& plane = board.AddPlane(1, LAYER_TOP, 0, 0, 100000, 100000);
        plane.SetSeed(CPoint(3000, 3000));
        CPlaneBuild(board, plane);
        if (board.mode == ID_PLANE_MOVE_SEEDPOINT_MODE)
            continue;
        ASSERT_EQ(plane.GetFillErrorCount(), 0) << "round " << round;
        ASSERT_EQ(CountViolations(board, plane), 0) << "round " << round;
        ++filled;
    }
    EXPECT_GE(filled, rounds * 3 / 4);
}

// On this board the walk goes astray where a track's rounded joint runs into the clearance of an
// octagonal pad of the other net, and a corner of the fill it traced lies inside the pad's
// clearance: the last check refuses the fill, and the plane is left without fill and marked
// where it ran in.
TEST_F(CPlaneBuildTest, FillThatWouldRunIntoOtherCopperIsRefused)
{
    const std::array<int32_t, 3> stacks = AddCrowdedPadStacks();
    const CrowdedBoard crowded{
        {{2, 60922, 38031, 0, 64723}}, 3328, {{54427, 91719}, {67263, 34034}, {86633, 61416}}};
    CPour& plane = SetUpCrowded(crowded, stacks);
    CPlaneBuild(board, plane, 0);
    EXPECT_EQ(fakes.messages.ShownTexts(), std::vector<std::string>{"Error. Fill Plane Failure."});
    EXPECT_EQ(plane.GetFillErrorCount(), 1);
    EXPECT_TRUE(plane.GetFillPolylines().empty());
    EXPECT_EQ(plane.GetFillStrokes().GetSize(), 0);
    const FillStroke& mark = plane.GetErrorSegment();
    EXPECT_EQ(plane.GetErrorMark(), CPoint(mark.x1, mark.y1));
    // The mark is a corner of the fill deeper inside the pad's clearance than the fill may
    // reach into it.
    const CrowdedPin& pin = crowded.pins.front();
    const CPad* pad = board.padStacks.GetPad(stacks[size_t(pin.stack)], LAYER_TOP);
    ASSERT_NE(pad, nullptr);
    const int32_t keptClear = board.nets[2]->GetClearance() + plane.GetPenWidth() / 2;
    CCopperShape room;
    room.SetPad(pad->GetShape(), pad->GetRect(), pin.x, pin.y, false,
                (pin.angle + pad->GetRotation()) % 360000, keptClear - CPlaneBuild::maxIncursion);
    ASSERT_EQ(room.GetKind(), CCopperShape::Kind::Polygon);
    EXPECT_TRUE(CRingIndex::Contains(room.GetPolygon(), plane.GetErrorMark()));

    // Built again with the clearances a few units wider, the same board fills clean.
    FillAndExpectItClean(SetUpCrowded(crowded, stacks));
}

// Boards on which the walk slipped through the point where two guides of a ring meet, a
// fraction of a unit beside its segment: round the thermal reliefs of two pins into their
// channels, and past a circle's start, where its last chord turns into its first by a hair to
// the right.
TEST_F(CPlaneBuildTest, WalkNeverSlipsBetweenTwoGuidesOfARing)
{
    const CrowdedBoard boards[] = {
        {{{1, 31782, 29130, 2, 310549}, {2, 38056, 22437, 0, 344805}, {1, 20346, 23584, 1, 47256}},
         0,
         {}},
        {{{2, 59492, 24197, 2, 84976}}, 3610, {{67814, 30832}, {90706, 91486}}}};
    FillEachAndExpectItClean(boards);
}

// Boards on which the walk lost its way: a seed 5 units outside a thermal relief, whose
// boundary passes beside it; a walk caught in a loop after following the boundary of a hole
// for most of its way, which took that boundary with it; a track's joint, where the two caps
// are rounded 3 units apart and the walk found no way on; a track folding back on itself,
// whose side goes on from the joint a twentieth of a degree to the right.
TEST_F(CPlaneBuildTest, WalkFindsItsWayPastLoopsJointsAndASeedBesideCopper)
{
    const CrowdedBoard boards[] = {
        {{{1, 6767, 10063, 2, 315897}}, 4915, {{61846, 37152}, {52795, 89129}}},
        {{{1, 48868, 86794, 0, 281118},
          {2, 50010, 56824, 1, 204125},
          {1, 77382, 15860, 2, 353632},
          {2, 7042, 74014, 0, 101396},
          {1, 29068, 80159, 1, 101941},
          {2, 57088, 70943, 2, 314751},
          {1, 42920, 65915, 0, 114268},
          {2, 45646, 67261, 1, 297445},
          {1, 48815, 57127, 2, 199686},
          {2, 76774, 33915, 0, 266240},
          {1, 73167, 57092, 1, 96943},
          {2, 69156, 22056, 2, 219841}},
         4600,
         {{84311, 66122}, {86980, 42194}, {60878, 87209}, {90759, 55346}, {30719, 73604}}},
        {{}, 2793, {{72198, 66435}, {88843, 78299}, {78963, 92173}}},
        {{}, 4083, {{83648, 98938}, {36688, 26585}, {73782, 83711}}}};
    FillEachAndExpectItClean(boards);
}

// Boards on which the guide nearest the seed set out from deep inside other copper: where a
// track's clearance overlaps a pad's, where two pads meet in the outline's corner, and where a
// thermal relief lies in a pad's clearance. A walk set out from the guide's start went round a
// pocket inside the clearances, which the last check refused, or lost its way.
TEST_F(CPlaneBuildTest, WalkSetsOutFromTheBoundaryNearestTheSeed)
{
    const CrowdedBoard boards[] = {
        {{{2, 26352, 49412, 1, 327428}, {1, 46238, 37109, 1, 247750}},
         3989,
         {{51285, 70893}, {48180, 33493}}},
        {{{2, 40902, 61870, 1, 331462}},
         4080,
         {{46389, 90167}, {87229, 51319}, {54007, 53088}, {60941, 70271}}},
        {{{2, 14061, 10239, 1, 195976}, {2, 15311, 10919, 0, 237064}},
         2186,
         {{97167, 96952}, {98984, 51161}}},
        {{{2, 58193, 48790, 1, 204256}, {1, 53222, 48217, 1, 242589}},
         2973,
         {{62750, 32578}, {83013, 42457}}},
        {{{2, 25915, 76645, 1, 331173}}, 3471, {{27422, 69727}, {75323, 64568}, {39901, 88096}}},
        {{{2, 41190, 24217, 1, 175081}, {1, 40241, 15415, 2, 192166}, {2, 55483, 22267, 2, 270132}},
         0,
         {}},
        {{{1, 9864, 8607, 2, 237728}, {2, 10725, 15948, 0, 329321}}, 0, {}},
        {{{1, 66243, 16630, 1, 324279}, {2, 50193, 23187, 1, 202540}, {1, 60799, 9996, 2, 330145}},
         0,
         {}}};
    FillEachAndExpectItClean(boards);
}

// Boards on which a spoke of a thermal relief ends a fraction of a unit inside a track's
// clearance, all but parallel to its edge. A walk along that edge, its start rounded to the
// other side of the spoke, took the spoke for a turn out of the copper and followed the relief
// into the track's clearance.
TEST_F(CPlaneBuildTest, WalkTakesNoGuideThatStaysInTheCopper)
{
    const CrowdedBoard boards[] = {
        {{{2, 37313, 68818, 2, 208938}, {1, 31690, 50814, 1, 103807}},
         4449,
         {{28532, 39314}, {36629, 69210}}},
        {{{1, 56697, 69456, 0, 193911}}, 3116, {{70543, 93437}, {50758, 32086}}}};
    FillEachAndExpectItClean(boards);
}

// Seeds just inside the room kept clear round other copper or a pin of the plane's own net:
// 57 units inside a pad's clearance, less than the fill may reach into it, and between a
// thermal relief's arc and the chords that bound it. The walk has no boundary round the seed,
// and the user is asked to move it rather than told the fill failed.
TEST_F(CPlaneBuildTest, SeedJustInsideClearedRoomAsksToMoveIt)
{
    const std::array<int32_t, 3> stacks = AddCrowdedPadStacks();
    const CrowdedBoard boards[] = {
        {{{2, 8829, 11074, 2, 355911}}, 3795, {{61947, 42154}, {86908, 82159}}},
        {{{1, 9284, 7865, 2, 153794}}, 4289, {{31865, 80072}, {68757, 86326}}}};
    for (const CrowdedBoard& b : boards) {
        fakes.messages.ClearShown();
        CPour& plane = SetUpCrowded(b, stacks);
        CPlaneBuild(board, plane);
        EXPECT_EQ(fakes.messages.ShownTexts(), std::vector<std::string>{"Move Seedpoint"});
        EXPECT_EQ(board.mode, uint32_t(ID_PLANE_MOVE_SEEDPOINT_MODE));
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
        EXPECT_TRUE(plane.GetFillPolylines().empty());
    }
}

// Boards on which every walk failed at its first try: a corner of a thermal relief exactly on
// the outline's guide, whose loop took the guide the next walk needed, crossings within a
// unit of each other, and fills that ran into a pad's clearance. Each fills clean on a retry.
TEST_F(CPlaneBuildTest, FailedWalksFillOnARetry)
{
    const CrowdedBoard boards[] = {
        {{{1, 36285, 32206, 0, 253258},
          {2, 12789, 59708, 1, 302066},
          {1, 51677, 73684, 2, 151699},
          {2, 23443, 58397, 0, 158294},
          {1, 69386, 9102, 1, 295119},
          {2, 39883, 94998, 2, 156024},
          {1, 85150, 41349, 0, 34952},
          {2, 45304, 81962, 1, 223366},
          {1, 52315, 70892, 2, 304191},
          {2, 22680, 68417, 0, 289760},
          {1, 60118, 47620, 1, 350810},
          {2, 40118, 18945, 2, 30414}},
         4252,
         {{81592, 67505}, {69535, 80159}, {40870, 78869}, {66319, 33969}, {92892, 43556}}},
        {{{1, 34364, 59702, 0, 263334},
          {2, 51676, 75416, 1, 192674},
          {1, 82990, 46989, 2, 192539},
          {2, 93815, 34524, 0, 247182},
          {1, 92003, 37643, 1, 46233},
          {2, 35382, 16285, 2, 203973},
          {1, 83851, 40180, 0, 68830},
          {2, 24645, 85205, 1, 352741},
          {1, 55225, 94997, 2, 108702},
          {2, 75689, 26936, 0, 103196},
          {1, 39086, 59936, 1, 169388},
          {2, 53189, 25077, 2, 327074}},
         3004,
         {{59509, 98892}, {84153, 55625}, {82810, 55525}, {82652, 52229}, {75068, 86701}}},
        {{{1, 40441, 62462, 0, 310850},
          {2, 72231, 93421, 1, 31248},
          {1, 80954, 15613, 2, 241085},
          {2, 66262, 83792, 0, 293859},
          {1, 61212, 43691, 1, 202033},
          {2, 22763, 92981, 2, 43725},
          {1, 38431, 9273, 0, 12944},
          {2, 49293, 16501, 1, 59884},
          {1, 89834, 28805, 2, 321565},
          {2, 18718, 76599, 0, 231366},
          {1, 60993, 49493, 1, 55999},
          {2, 83171, 38387, 2, 305381}},
         4372,
         {{51758, 67370}, {66574, 49721}, {47941, 66286}, {79539, 48451}, {47761, 85121}}},
        {{{1, 63638, 46666, 0, 10486},
          {2, 79847, 80460, 1, 270440},
          {1, 8068, 68265, 2, 265625},
          {2, 22265, 46133, 0, 154404},
          {1, 28650, 37521, 1, 108608},
          {2, 58004, 8013, 2, 29300},
          {1, 81541, 19169, 0, 259864},
          {2, 16128, 42367, 1, 48703},
          {1, 34565, 72914, 2, 349096},
          {2, 16006, 36436, 0, 191038},
          {1, 68258, 89160, 1, 278951},
          {2, 91132, 42229, 2, 265000}},
         4413,
         {{73142, 85656}, {31462, 49235}, {26115, 53945}, {66023, 29516}, {43145, 43528}}},
        {{{1, 91506, 43085, 0, 151149},
          {2, 42099, 91005, 1, 287381},
          {1, 28145, 79179, 2, 197483},
          {2, 73631, 92057, 0, 313405},
          {1, 41765, 88808, 1, 200678},
          {2, 93616, 41542, 2, 265454},
          {1, 50463, 90613, 0, 277033},
          {2, 67666, 38426, 1, 173817},
          {1, 24454, 51145, 2, 210093},
          {2, 47399, 6605, 0, 344039},
          {1, 21907, 14582, 1, 132385},
          {2, 77927, 62832, 2, 245397}},
         3306,
         {{25827, 87337}, {90801, 97126}, {63890, 82885}, {82396, 42994}, {29159, 35225}}},
        {{{1, 36051, 45132, 0, 154890},
          {2, 32707, 74598, 1, 63334},
          {1, 86457, 87899, 2, 192785},
          {2, 73579, 41585, 0, 58047},
          {1, 74966, 11380, 1, 323257},
          {2, 47191, 71371, 2, 301076},
          {1, 56654, 27535, 0, 66029},
          {2, 27815, 77502, 1, 250572},
          {1, 16199, 81466, 2, 269956},
          {2, 67308, 74861, 0, 276107},
          {1, 8141, 33681, 1, 57224},
          {2, 18761, 19171, 2, 104127}},
         2421,
         {{87732, 78844}, {61689, 40861}, {98676, 35225}, {45070, 58838}, {95419, 55602}}},
        {{{1, 41947, 87667, 0, 47480},
          {2, 43822, 72068, 1, 17372},
          {1, 11922, 40862, 2, 199913},
          {2, 42706, 66841, 0, 256328},
          {1, 10252, 82565, 1, 312612},
          {2, 22566, 55372, 2, 40822},
          {1, 54551, 8889, 0, 314152},
          {2, 66921, 20870, 1, 140596},
          {1, 9203, 37673, 2, 224451},
          {2, 41577, 73930, 0, 58899},
          {1, 80283, 11998, 1, 204099},
          {2, 13310, 81941, 2, 201134}},
         3038,
         {{77639, 73298}, {53014, 93355}, {34113, 50601}, {33103, 68322}, {69366, 68305}}},
        {{{1, 65914, 11843, 0, 269481},
          {2, 11483, 92517, 1, 174146},
          {1, 86811, 10644, 2, 46457},
          {2, 26386, 26026, 0, 305766},
          {1, 43529, 82648, 1, 202251},
          {2, 11280, 41682, 2, 234240},
          {1, 35510, 38475, 0, 141931},
          {2, 55310, 78990, 1, 60632},
          {1, 20211, 37276, 2, 25356},
          {2, 75045, 42842, 0, 251600},
          {1, 26259, 89007, 1, 287529},
          {2, 70775, 9726, 2, 150566}},
         2657,
         {{91992, 91908}, {32631, 76783}, {42090, 37062}, {29868, 66857}, {32678, 46829}}},
        {{{1, 10971, 34769, 0, 327858},
          {2, 54616, 80502, 1, 77309},
          {1, 16140, 32847, 2, 234765},
          {2, 84465, 91696, 0, 131919},
          {1, 19323, 58017, 1, 41125},
          {2, 24426, 83726, 2, 43253},
          {1, 22710, 65570, 0, 224782},
          {2, 16157, 85223, 1, 4283},
          {1, 73734, 19479, 2, 270020},
          {2, 44667, 57970, 0, 178289},
          {1, 30457, 46887, 1, 44012},
          {2, 57444, 36413, 2, 59234}},
         4762,
         {{34247, 89622}, {51266, 64751}, {98793, 87726}, {27913, 81516}, {36853, 74626}}},
        {{{1, 73222, 91157, 0, 180534},
          {2, 16877, 66465, 1, 305910},
          {1, 43769, 43287, 2, 80493},
          {2, 71504, 18660, 0, 302364},
          {1, 10056, 34685, 1, 231415},
          {2, 66041, 54386, 2, 291418},
          {1, 21201, 83734, 0, 210531},
          {2, 23357, 86642, 1, 182719},
          {1, 19816, 67212, 2, 47743},
          {2, 84165, 33353, 0, 148239},
          {1, 87125, 85933, 1, 98231},
          {2, 44913, 40692, 2, 342699}},
         2094,
         {{66875, 81166}, {53941, 62935}, {68766, 85292}, {80390, 62256}, {33242, 27616}}},
        {{{1, 7109, 58950, 0, 331750},
          {2, 8820, 44105, 1, 330547},
          {1, 25995, 23509, 2, 95057},
          {2, 32273, 32706, 0, 269778},
          {1, 59887, 21709, 1, 7846},
          {2, 36198, 48230, 2, 43961},
          {1, 15073, 13260, 0, 202029},
          {2, 60686, 78219, 1, 89696},
          {1, 23742, 35991, 2, 141186},
          {2, 34338, 54266, 0, 166407},
          {1, 85328, 66466, 1, 40324},
          {2, 78523, 27934, 2, 167697}},
         3753,
         {{61167, 26010}, {26878, 93520}, {27064, 34081}, {91123, 95554}, {87984, 71407}}},
        {{{1, 68202, 13796, 0, 149462},
          {2, 21782, 32607, 1, 35704},
          {1, 14582, 59499, 2, 259779},
          {2, 88906, 28040, 0, 57438},
          {1, 60943, 71288, 1, 61000},
          {2, 15186, 57360, 2, 210045},
          {1, 69998, 63303, 0, 120029},
          {2, 64732, 40065, 1, 292527},
          {1, 45195, 38486, 2, 139515},
          {2, 61250, 12101, 0, 4460},
          {1, 67596, 86278, 1, 177321},
          {2, 17352, 14905, 2, 60407}},
         3747,
         {{80452, 97720}, {91600, 43275}, {39888, 85230}, {90909, 27877}, {51694, 92865}}},
        {{{1, 27047, 13252, 0, 68390},
          {2, 89055, 14669, 1, 343967},
          {1, 45971, 43379, 2, 4027},
          {2, 48185, 5891, 0, 182029},
          {1, 89976, 38731, 1, 309437},
          {2, 68849, 44883, 2, 241821},
          {1, 87430, 34992, 0, 129545},
          {2, 75457, 80256, 1, 230609},
          {1, 56347, 55091, 2, 189485},
          {2, 35775, 64323, 0, 265363},
          {1, 25591, 55810, 1, 144703},
          {2, 83531, 92257, 2, 264143}},
         2338,
         {{89893, 69849}, {97576, 36586}, {59061, 59954}, {45873, 99762}, {77311, 43838}}},
    };
    FillEachAndExpectItClean(boards);
}

// Crowded boards drawn from several generators: none fails, and none is laid over other
// copper. Seeds that lie where no fill may be ask to be moved.
TEST_F(CPlaneBuildTest, CrowdedBoardsNeverFail)
{
    const std::array<int32_t, 3> stacks = AddCrowdedPadStacks();
    int32_t filled = 0;
    for (uint32_t seed = 0; seed < 22; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        filled += FillCrowdedBoardsOfSeed(stacks, seed, 5, 2);
        if (HasFailure())
            return;
    }
    EXPECT_GE(filled, 90);
}

// The long run of the crowded boards: 2,000 boards of each of the 22 generator seeds, one test a
// seed so that they run side by side. No fill fails, none is laid over other copper; a few
// fills come a fraction of a micrometre into a track's clearance, which no fab resolves, so the
// check allows 10 units (about 1 um) here.
class CPlaneBuildLongRunTest : public CPlaneBuildTest,
                               public ::testing::WithParamInterface<uint32_t> {};

TEST_P(CPlaneBuildLongRunTest, CrowdedBoardsOfASeedNeverFail)
{
    EXPECT_GE(FillCrowdedBoardsOfSeed(AddCrowdedPadStacks(), GetParam(), 2000, 10), 1700);
}

INSTANTIATE_TEST_SUITE_P(Seeds, CPlaneBuildLongRunTest, ::testing::Range(0u, 22u));
