#include "analysis/CConnectTracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/CCopperContact.h"
#include "analysis/CNetConnectCheck.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentLink.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CResString.h"
#include "framework/CResourcePack.h"
#include "model/CComponentArray.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"
#include "tests/support/CFakeServices.h"

namespace {

namespace fs = std::filesystem;

// A vertex as text: its point, then its padstack or its layer and width.
std::string Key(const TrackRec& rec, int32_t width)
{
    std::string key = " " + std::to_string(rec.x) + "," + std::to_string(rec.y);
    if (rec.IsPad())
        return key + "#" + std::to_string(rec.GetPadStack());
    return key + "L" + std::to_string(rec.GetLayer()) + "w" + std::to_string(width);
}

// The copper of a net in order.
std::string CopperText(const CNet& net)
{
    std::string text;
    for (int32_t v = 0; v < net.GetVertexCount(); ++v)
        text += Key(net.GetVertex(v), net.GetVertexPen(v) >= 1 ? net.GetVertexWidth(v) : 0);
    return text;
}

// A design with three footprints: two top-side SMD pads 20000 apart, three through-hole pads
// 40000 apart, and one long SMD pad.
class CTracerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin");
        NewBoard();
    }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    void NewBoard()
    {
        board = std::make_unique<CWevraDoc>();
        CShapeLib& cache = Doc().Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        smd = stacks.Add(CPadStack("TS", PAD_RECTANGLE, -5000, -3000, 5000, 3000, 0, LAYER_TOP,
                                   PADSTACK_KIND_SHAPE_PAD));
        tht = stacks.Add(CPadStack("TT", PAD_ROUND, -6000, -6000, 6000, 6000, 3000, LAYER_COMMON,
                                   PADSTACK_KIND_SHAPE_PAD));
        via = stacks.Add(CPadStack("TV", PAD_ROUND, -4000, -4000, 4000, 4000, 2000, LAYER_COMMON,
                                   PADSTACK_KIND_VIA));
        const int32_t wide = stacks.Add(CPadStack("TW", PAD_OVAL, -9000, -2000, 9000, 2000, 0,
                                                  LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        r2 = cache.AddShape("R2");
        cache.AddPadToShape(r2, -10000, 0, uint16_t(smd), 0);
        cache.AddPadToShape(r2, 10000, 0, uint16_t(smd), 0);
        t3 = cache.AddShape("T3");
        for (int32_t k = 0; k < 3; ++k)
            cache.AddPadToShape(t3, k * 40000, 0, uint16_t(tht), 0);
        w1 = cache.AddShape("W1");
        cache.AddPadToShape(w1, 0, 0, uint16_t(wide), 30000);
    }
    CWevraDoc& Doc() const { return *board; }

    int32_t Part(const std::string& reference, int32_t shape, int32_t x, int32_t y,
                 int32_t rotation = 0, bool mirrored = false)
    {
        CComponentArray& components = Doc().Design().GetComponents();
        EXPECT_TRUE(components.AddComponent(reference, "T", shape, x, y, rotation, mirrored));
        Doc().Design().ResetPadNets();
        return components.GetCount() - 1;
    }
    CPoint Pad(int32_t component, int32_t pad) const
    {
        return Doc().Design().GetComponents().GetPadPosition(component, pad);
    }
    CNet& Net(int32_t i) { return *Doc().Design().GetNets().GetNet(i); }
    // A run through the points on the layer, drawn with a pen of the width.
    void Run(int32_t net, const std::vector<CPoint>& points, int32_t layer, int32_t width)
    {
        CNet& target = Net(net);
        const int32_t pen = target.AddPen(width);
        for (size_t k = 0; k < points.size(); ++k)
            target.AppendVertex(points[k].x, points[k].y, layer, k == 0 ? 0 : pen);
    }
    void Via(int32_t net, CPoint at) { Net(net).AppendPadVertex(at.x, at.y, via, 0, false); }

    std::vector<uint8_t> Stored()
    {
        CArchive ar;
        Doc().Design().GetNets().Serialize(ar);
        Doc().Design().GetComponents().Serialize(ar);
        return ar.TakeBuffer();
    }

    CFakeServices services;
    std::unique_ptr<CWevraDoc> board;
    int32_t smd = 0;
    int32_t tht = 0;
    int32_t via = 0;
    int32_t r2 = 0;
    int32_t t3 = 0;
    int32_t w1 = 0;
};

// ---- The operations on a hand-built board -------------------------------------------------------

TEST_F(CTracerTest, NetsFromTracksThenUpdateFromPinsIsStable)
{
    const int32_t a = Part("R1", r2, 100000, -100000);
    const int32_t b = Part("R2", r2, 200000, -100000);
    const int32_t c = Part("J1", t3, 300000, -200000);
    // Its pads lie on the bottom layer.
    const int32_t d = Part("R3", r2, 300000, -300000, 90000, true);
    CNetArray& nets = Doc().Design().GetNets();
    const int32_t netA = nets.AddNet("A");
    const int32_t netB = nets.AddNet("B");
    Doc().Design().SetPadNet(a, 0, netA);
    Doc().Design().SetPadNet(b, 1, netB);
    nets.GetNet(0)->SetName("2");

    // R1.2 to R2.1 on the top layer, a middle segment passing over R2.1.
    const CPoint r1b = Pad(a, 1);
    const CPoint r2a = Pad(b, 0);
    Run(netA, {r1b, {r1b.x, -130000}, {r2a.x, -130000}, {r2a.x, -70000}, {r2a.x + 30000, -70000}},
        1, 3023);
    // R2.2 through a via onto the bottom layer to J1.1, drawn with a width net 0 lacks.
    const CPoint r2b = Pad(b, 1);
    const CPoint j1a = Pad(c, 0);
    Via(netB, {r2b.x, j1a.y});
    Run(netB, {r2b, {r2b.x, j1a.y}}, 1, 7000);
    Run(netB, {{r2b.x, j1a.y}, j1a}, 2, 7000);
    // J1.2 to R3.1 on the bottom layer; a track that touches nothing stays in net 0.
    const CPoint j1b = Pad(c, 1);
    Run(0, {j1b, Pad(d, 0)}, 2, 2015);
    Run(0, {{0, -500000}, {50000, -500000}}, 1, 2015);

    Doc().Analysis().AllNetsToNet0();
    ASSERT_EQ(nets.GetCount(), 1);
    EXPECT_EQ(Net(0).GetPinCount(), 9);
    EXPECT_EQ(Net(0).GetVertexCount(), 5 + 5 + 4);
    for (int32_t i = 0; i < Doc().Design().GetComponents().GetCount(); ++i)
        for (int32_t net : Doc().Design().GetComponentPadNets(i))
            EXPECT_EQ(net, 0);

    ASSERT_TRUE(Doc().Analysis().RebuildFromTracks());
    const auto groupOf = [&](int32_t component, int32_t pad) {
        return Doc().Design().GetComponentPadNets(component)[size_t(pad)];
    };
    // Groups in pin order: R1.1 alone, R1.2+R2.1, R2.2+J1.1, J1.2+R3.1, J1.3 alone, R3.2 alone;
    // "2" is net 0's name, so the numbers move on past it.
    ASSERT_EQ(nets.GetCount(), 7);
    const char* names[] = {"2", "1", "3", "4", "5", "6", "7"};
    for (int32_t n = 0; n < 7; ++n)
        EXPECT_EQ(nets.GetNetName(n), names[n]);
    const int32_t groups[][3] = {{a, 0, 1}, {a, 1, 2}, {b, 0, 2}, {b, 1, 3}, {c, 0, 3},
                                 {c, 1, 4}, {d, 0, 4}, {c, 2, 5}, {d, 1, 6}};
    for (const auto& g : groups)
        EXPECT_EQ(groupOf(g[0], g[1]), g[2]) << g[0] << "." << g[1];
    EXPECT_EQ(Net(2).GetVertexCount(), 5);
    EXPECT_EQ(Net(3).GetVertexCount(), 5);
    EXPECT_EQ(Net(3).GetVertexWidth(2), 7000);
    EXPECT_EQ(Net(4).GetVertexCount(), 2);
    EXPECT_EQ(Net(0).GetVertexCount(), 2);
    EXPECT_EQ(Net(1).GetVertexCount(), 0);
    for (int32_t n = 1; n < 7; ++n)
        EXPECT_EQ(Net(n).GetToDo(), 0) << n;

    ASSERT_TRUE(Doc().Analysis().UpdateFromNetPins());
    const std::vector<uint8_t> stored = Stored();
    ASSERT_TRUE(Doc().Analysis().UpdateFromNetPins());
    EXPECT_EQ(Stored(), stored);
}

// A net takes the copper its own pins reach: pads of no net pass the flood on, but copper
// that touches only pads of no net stays in net 0.
TEST_F(CTracerTest, UpdateFloodsFromTheNetsOwnPinsOnly)
{
    const int32_t a = Part("R1", r2, 100000, -100000);
    const int32_t b = Part("R2", r2, 200000, -100000);
    const int32_t netA = Doc().Design().GetNets().AddNet("A");
    Doc().Design().SetPadNet(a, 0, netA);
    // R1.1 to the left end of R2.1, and on from its right end without touching the first run.
    Run(0, {Pad(a, 0), {90000, -130000}, {186000, -130000}, {186000, -100000}}, 1, 2015);
    Run(0, {{194000, -100000}, {194000, -200000}}, 1, 2015);
    // Touches R2.2 alone.
    Run(0, {Pad(b, 1), {Pad(b, 1).x, -50000}}, 1, 2015);

    ASSERT_TRUE(Doc().Analysis().UpdateFromNetPins());
    EXPECT_EQ(Net(netA).GetVertexCount(), 6);
    ASSERT_EQ(Net(0).GetVertexCount(), 2);
    EXPECT_EQ(Net(0).GetVertex(1).y, -50000);
}

// A run drawn on from a free pad goes with the pad only on a layer the pad has copper on; apart,
// the run takes a start of its own at the pad, and the pins stay unjoined in whichever order
// they come.
TEST_F(CTracerTest, ARunMeetsTheFreePadItStartsAtOnlyWhereThePadHasCopper)
{
    for (const bool smdFirst : {true, false}) {
        SCOPED_TRACE(smdFirst ? "SMD part first" : "through-hole part first");
        NewBoard();
        const int32_t first = Part(smdFirst ? "R1" : "J1", smdFirst ? r2 : t3, 100000, -100000);
        const int32_t second = Part(smdFirst ? "J1" : "R1", smdFirst ? t3 : r2, 200000, -200000);
        const int32_t r1 = smdFirst ? first : second;
        const int32_t j1 = smdFirst ? second : first;
        const CPoint onSmd = Pad(r1, 0);
        const CPoint onThrough = Pad(j1, 0);
        Net(0).AppendPadVertex(onSmd.x, onSmd.y, smd, 0, false);
        Net(0).AppendVertex(onThrough.x, onThrough.y, LAYER_BOTTOM, Net(0).AddPen(3023));

        ASSERT_TRUE(Doc().Analysis().RebuildFromTracks());
        const int32_t smdNet = Doc().Design().GetComponentPadNets(r1)[0];
        const int32_t throughNet = Doc().Design().GetComponentPadNets(j1)[0];
        ASSERT_NE(smdNet, throughNet);
        const std::string at = " " + std::to_string(onSmd.x) + "," + std::to_string(onSmd.y);
        EXPECT_EQ(CopperText(Net(smdNet)), at + "#" + std::to_string(smd));
        EXPECT_EQ(CopperText(Net(throughNet)),
                  at + "L2w0" + Key(Net(throughNet).GetVertex(1), 3023));
        EXPECT_EQ(Net(throughNet).GetVertex(1).x, onThrough.x);
        for (int32_t n = 1; n < Doc().Design().GetNets().GetCount(); ++n)
            EXPECT_EQ(Net(n).GetToDo(), 0) << n;

        // Both pins in one net: the pad and the run join it, its two pins still apart.
        Doc().Design().SetPadNet(r1, 0, throughNet);
        ASSERT_TRUE(Doc().Analysis().UpdateFromNetPins());
        EXPECT_EQ(Net(throughNet).GetVertexCount(), 3);
        EXPECT_EQ(Net(throughNet).GetClusterCount(), 2);
        EXPECT_EQ(Net(throughNet).GetToDo(), 2);
    }
}

// Every net's box is its copper's once the nets are built, net 0's too, with a run of no net
// far off and the box it had before the copper was gathered.
TEST_F(CTracerTest, BoxesAreWorkedOutForTheNewNets)
{
    const int32_t a = Part("R1", r2, 100000, -100000);
    const int32_t b = Part("R2", r2, 200000, -100000);
    Run(0, {Pad(a, 1), Pad(b, 0)}, 1, 2015);
    Run(0, {{900000, -900000}, {950000, -900000}}, 1, 3000);
    CNetArray& nets = Doc().Design().GetNets();
    Net(0).CalcBoundingBox(Doc().Link());
    ASSERT_TRUE(Doc().Analysis().RebuildFromTracks());
    ASSERT_GE(nets.GetCount(), 3);
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CRect built = Net(n).GetBox();
        Net(n).CalcBoundingBox(Doc().Link());
        EXPECT_EQ(built, Net(n).GetBox()) << n;
    }
}

// Gathering keeps pads, vias and every width; when net 0's pen table cannot take the widths,
// widths none of net 0's copper draws with go first, and without room nothing changes.
TEST_F(CTracerTest, GatheringKeepsEveryVertexAndWidth)
{
    const struct {
        const char* what;
        bool netZeroDrawsAllWidths;
        bool done;
        uint32_t message;
    } cases[] = {
        {"room made", false, true, IDS_TOO_MANY_PENS},
        {"no room", true, false, IDS_TRACER_PENS_FULL},
    };
    for (const auto& c : cases) {
        CWevraDoc design;
        CNetArray& nets = design.Design().GetNets();
        CNet& zero = *nets.GetNet(0);
        zero.AddPen(30000);
        ASSERT_EQ(zero.GetPenCount(), CNetArray::maxNetZeroPens) << c.what;
        if (c.netZeroDrawsAllWidths) {
            for (int32_t p = 1; p < zero.GetPenCount(); ++p)
                zero.AppendSegment(0, p * 1000, 1000, p * 1000, 1, p, false);
        }
        CNet& net = *nets.GetNet(nets.AddNet("A"));
        net.AppendPadVertex(5000, 5000, 0, 45000, true);
        net.AppendSegment(0, 0, 100, 0, 1, net.AddPen(7000), false);
        net.AppendVertex(100, 100, 1, net.AddPen(8000));
        services.messages.ClearShown();
        CArchive before;
        nets.Serialize(before);

        CConnectTracer tracer(design.Analysis());
        EXPECT_EQ(tracer.AllNetsToNet0(), c.done) << c.what;
        ASSERT_EQ(services.messages.ShownTexts().size(), 1u) << c.what;
        EXPECT_EQ(services.messages.ShownTexts()[0], CResString::Load(c.message));
        if (!c.done) {
            CArchive after;
            nets.Serialize(after);
            EXPECT_EQ(after.TakeBuffer(), before.TakeBuffer()) << c.what;
            continue;
        }
        ASSERT_EQ(nets.GetCount(), 1) << c.what;
        const CNet& all = *nets.GetNet(0);
        ASSERT_EQ(all.GetVertexCount(), 4) << c.what;
        EXPECT_EQ(all.GetVertexPadStack(0), 0);
        EXPECT_EQ(all.GetVertexRotation(0), 45000);
        EXPECT_TRUE(all.IsVertexMirrored(0));
        EXPECT_EQ(all.GetVertexPen(1), 0);
        EXPECT_EQ(all.GetVertexWidth(2), 7000);
        EXPECT_EQ(all.GetVertexWidth(3), 8000);
    }
}

// Net 0's table takes the widths its copper lacks in the order the nets draw with them; a width
// a net only lists, or gives only to a run start, stays out.
TEST_F(CTracerTest, GatheringAddsOnlyTheWidthsDrawnInTheirOrder)
{
    CNetArray& nets = Doc().Design().GetNets();
    Net(0).SetPenTable({0, 2015, 3023});
    CNet& a = Net(nets.AddNet("A"));
    a.AddPen(9000);
    a.AppendSegment(0, 0, 100, 0, 1, a.AddPen(7000), false);
    CNet& b = Net(nets.AddNet("B"));
    b.AppendVertex(0, 100, 1, b.AddPen(6000));
    b.AppendVertex(100, 100, 1, b.AddPen(8000));
    b.AppendVertex(200, 100, 1, b.AddPen(7000));
    // A net drawing with the same widths under other pen numbers.
    CNet& c = Net(nets.AddNet("C"));
    c.SetPenTable({0, 8000, 7000});
    c.AppendSegment(0, 200, 100, 200, 1, 1, false);
    c.AppendVertex(200, 200, 1, 2);

    ASSERT_TRUE(Doc().Analysis().AllNetsToNet0());
    EXPECT_EQ(Net(0).GetPenTable(), (std::vector<uint16_t>{0, 2015, 3023, 7000, 8000}));
    const int32_t widths[] = {0, 7000, 0, 8000, 7000, 0, 8000, 7000};
    ASSERT_EQ(Net(0).GetVertexCount(), 8);
    for (int32_t v = 0; v < 8; ++v)
        EXPECT_EQ(Net(0).GetVertexPen(v) >= 1 ? Net(0).GetVertexWidth(v) : 0, widths[v]) << v;
}

// More groups than a pad can name a net for, a chain of 20000 touching pads and a run of 30000
// vertices: no stamp wraps, no stack runs out, and the groups past the last net number stay
// in net 0.
TEST_F(CTracerTest, LargeBoardsNeedNoLimits)
{
    CShapeLib& cache = Doc().Design().GetEditableShapeCache();
    const int32_t row = cache.AddShape("ROW");
    const int32_t chain = cache.AddShape("CHAIN");
    for (int32_t k = 0; k < 1000; ++k) {
        cache.AddPadToShape(row, k * 20000, 0, uint16_t(smd), 0);
        // 10000 wide pads every 9000 units touch their neighbours.
        cache.AddPadToShape(chain, k * 9000, 0, uint16_t(smd), 0);
    }
    CComponentArray& components = Doc().Design().GetComponents();
    for (int32_t i = 0; i < 20; ++i)
        components.AddComponent("C" + std::to_string(i), "", chain, 100000 + i * 9000000, -100000,
                                0, false);
    for (int32_t i = 0; i < 66; ++i)
        components.AddComponent("P" + std::to_string(i), "", row, 100000, -200000 - i * 20000, 0,
                                false);
    Doc().Design().ResetPadNets();
    std::vector<CPoint> points{{100000, -100000}};
    for (int32_t k = 1; k < 30000; ++k)
        points.push_back({100000 + k * 1000, -50000});
    Run(0, points, 1, 2015);

    ASSERT_TRUE(Doc().Analysis().RebuildFromTracks());
    CNetArray& nets = Doc().Design().GetNets();
    ASSERT_EQ(nets.GetCount(), 65536);
    EXPECT_EQ(Net(1).GetPinCount(), 20000);
    EXPECT_EQ(Net(1).GetVertexCount(), 30000);
    EXPECT_EQ(nets.GetNetName(65535), "65535");
    EXPECT_EQ(Net(65535).GetPinCount(), 1);
    EXPECT_EQ(Net(0).GetPinCount(), 66000 - 65534);
    EXPECT_EQ(Doc().Design().GetComponentPadNets(85)[999], 0);
    ASSERT_FALSE(services.messages.Shown().empty());
    EXPECT_EQ(services.messages.Shown()[0].text, CResString::Load(IDS_TRACER_TOO_MANY_NETS));
}

// ---- The flood compared with the algorithm that tests every pair ------------------------------

struct Item {
    CopperPad copper;
    int32_t net = 0;
    int32_t component = 0;
    int32_t padIndex = 0;
};

// The tracer's flood as first written: every pin and vertex tested against every other, pins
// recursively, vertices through a stack that a run enters whole from its start.
struct CLiteralFlood {
    void Flood(int32_t pin, int32_t net)
    {
        current = net;
        FloodPin(pin);
        while (!pending.empty()) {
            const int32_t v = pending.back();
            pending.pop_back();
            FloodVertex(v);
        }
    }

    bool Drawn(int32_t v) const { return v > 0 && vertices[size_t(v)].IsDrawn(); }
    bool IsPad(int32_t v) const { return vertices[size_t(v)].IsPad(); }
    bool Open(int32_t j) const
    {
        return pinStamps[size_t(j)] == 0 &&
               (pins[size_t(j)].net == 0 || pins[size_t(j)].net == current);
    }
    CopperPad PadOf(int32_t v) const
    {
        const TrackRec& r = vertices[size_t(v)];
        return {r.x, r.y, r.GetPadStack(), r.GetRotation(), r.IsMirrored()};
    }
    CopperSegment SegmentOf(int32_t v) const
    {
        const TrackRec& a = vertices[size_t(v) - 1];
        const TrackRec& b = vertices[size_t(v)];
        return {{a.x, a.y}, {b.x, b.y}, widths[size_t(v)] >> 1, b.GetLayer()};
    }
    int32_t PushRun(int32_t k)
    {
        int32_t start = k;
        while (start > 0 && vertices[size_t(start)].IsDrawn())
            --start;
        int32_t end = k;
        while (end + 1 < int32_t(vertices.size()) && vertices[size_t(end) + 1].IsDrawn())
            ++end;
        // A pad the run starts at is reached only through its copper.
        if (IsPad(start))
            ++start;
        if (vertexStamps[size_t(start)] == 0 &&
            std::find(pending.begin(), pending.end(), start) == pending.end()) {
            for (int32_t v = start; v <= end; ++v)
                pending.push_back(v);
        }
        return end;
    }
    void FloodPin(int32_t i)
    {
        if (pinStamps[size_t(i)] != 0)
            return;
        pinStamps[size_t(i)] = current;
        FloodFromPad(pins[size_t(i)].copper);
    }
    void FloodFromPad(const CopperPad& pad)
    {
        for (int32_t j = 0; j < int32_t(pins.size()); ++j) {
            if (Open(j) && contact.PadsTouch(pad, pins[size_t(j)].copper))
                FloodPin(j);
        }
        for (int32_t k = 1; k < int32_t(vertices.size()); ++k) {
            if (vertexStamps[size_t(k)] == 0 && Drawn(k) &&
                contact.PadTouchesSegment(pad, SegmentOf(k)))
                k = PushRun(k);
        }
        for (int32_t k = 0; k < int32_t(vertices.size()); ++k) {
            if (vertexStamps[size_t(k)] == 0 && IsPad(k) && contact.PadsTouch(pad, PadOf(k)))
                pending.push_back(k);
        }
    }
    void FloodVertex(int32_t v)
    {
        if (vertexStamps[size_t(v)] != 0)
            return;
        vertexStamps[size_t(v)] = current;
        if (IsPad(v))
            return FloodFromPad(PadOf(v));
        if (!Drawn(v) || !contact.IsLayerInUse(vertices[size_t(v)].GetLayer()))
            return;
        const CopperSegment s = SegmentOf(v);
        for (int32_t j = 0; j < int32_t(pins.size()); ++j) {
            if (Open(j) && contact.PadTouchesSegment(pins[size_t(j)].copper, s))
                FloodPin(j);
        }
        for (int32_t k = 0; k < int32_t(vertices.size()); ++k) {
            if (vertexStamps[size_t(k)] == 0 && IsPad(k) && contact.PadTouchesSegment(PadOf(k), s))
                pending.push_back(k);
        }
        for (int32_t k = 1; k < int32_t(vertices.size()); ++k) {
            if (vertexStamps[size_t(k)] == 0 && Drawn(k) && contact.SegmentsTouch(s, SegmentOf(k)))
                k = PushRun(k);
        }
    }

    const CCopperContact& contact;
    std::vector<Item> pins;
    std::vector<TrackRec> vertices;
    std::vector<int32_t> widths;
    std::vector<int32_t> pinStamps = std::vector<int32_t>(pins.size(), 0);
    std::vector<int32_t> vertexStamps = std::vector<int32_t>(vertices.size(), 0);
    std::vector<int32_t> pending = {};
    int32_t current = 0;
};

class CTracerRandomTest : public CTracerTest {
protected:
    // Components of every footprint at random places, angles and sides, their pads on nets
    // 0..3, and runs and vias of random widths in those nets; layer 3 sometimes not in use.
    void BuildRandomBoard(std::mt19937& random)
    {
        const auto uniform = [&](int32_t lo, int32_t hi) {
            return std::uniform_int_distribution<int32_t>(lo, hi)(random);
        };
        for (int32_t k = 1; k <= 3; ++k)
            Doc().Design().GetNets().AddNet("N" + std::to_string(k));
        const int32_t shapes[] = {r2, t3, w1};
        const int32_t angles[] = {0, 45000, 90000, 135000};
        for (int32_t i = 0; i < 8; ++i)
            Part("U" + std::to_string(i), shapes[uniform(0, 2)], uniform(60000, 300000),
                 uniform(-300000, -60000), angles[uniform(0, 3)], uniform(0, 3) == 0);
        for (int32_t i = 0; i < Doc().Design().GetComponents().GetCount(); ++i)
            for (int32_t pad = 0; pad < Doc().Design().GetComponents().GetShapePadCount(i); ++pad)
                Doc().Design().SetPadNet(i, pad, uniform(0, 3));
        // Short runs, half of them starting at a pad, a third ending at one; vias at run
        // corners and anywhere.
        const auto anyPad = [&] {
            const int32_t part = uniform(0, 7);
            return Pad(part, uniform(0, Doc().Design().GetComponents().GetShapePadCount(part) - 1));
        };
        const int32_t widths[] = {2015, 3023, 5039, 7000};
        std::vector<CPoint> corners;
        for (int32_t r = 0; r < 26; ++r) {
            std::vector<CPoint> points{
                uniform(0, 1) == 0 ? anyPad()
                                   : CPoint(uniform(40000, 340000), uniform(-340000, -40000))};
            for (int32_t k = uniform(1, 3); k > 0; --k)
                points.push_back({points.back().x + uniform(-40000, 40000),
                                  points.back().y + uniform(-40000, 40000)});
            if (uniform(0, 2) == 0)
                points.push_back(anyPad());
            corners.insert(corners.end(), points.begin(), points.end());
            Run(uniform(0, 3), points, uniform(1, 3), widths[uniform(0, 3)]);
        }
        for (int32_t v = 0; v < 8; ++v)
            Via(uniform(0, 3), uniform(0, 1) == 0
                                   ? corners[size_t(uniform(0, int32_t(corners.size()) - 1))]
                                   : CPoint(uniform(40000, 340000), uniform(-340000, -40000)));
        Doc().Design().GetLayers().GetLayer(3)->SetEnabled(uniform(0, 1) == 0);
    }

    // Runs drawn on from free SMD pads and vias, on either copper layer, some pads mirrored.
    void AddRunsFromFreePads(std::mt19937& random)
    {
        const auto uniform = [&](int32_t lo, int32_t hi) {
            return std::uniform_int_distribution<int32_t>(lo, hi)(random);
        };
        for (int32_t r = 0; r < 12; ++r) {
            CNet& net = Net(uniform(0, 3));
            const int32_t pen = net.AddPen(3023);
            CPoint at(uniform(40000, 340000), uniform(-340000, -40000));
            net.AppendPadVertex(at.x, at.y, uniform(0, 1) == 0 ? smd : via, 0, uniform(0, 3) == 0);
            for (int32_t k = uniform(1, 3); k > 0; --k) {
                at = {at.x + uniform(-40000, 40000), at.y + uniform(-40000, 40000)};
                net.AppendVertex(at.x, at.y, uniform(1, 2), pen);
            }
        }
    }

    // The copper of nets 0.. in the order gathering puts it into net 0, with its widths.
    void TakeCopper(std::vector<TrackRec>& vertices, std::vector<int32_t>& widths)
    {
        for (int32_t n = 0; n < Doc().Design().GetNets().GetCount(); ++n) {
            const CNet& net = Net(n);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                vertices.push_back(net.GetVertex(v));
                widths.push_back(net.GetVertexPen(v) >= 1 ? net.GetVertexWidth(v) : 0);
            }
        }
    }

    std::vector<Item> TakePins()
    {
        Doc().Design().RebuildNetPins();
        std::vector<Item> pins;
        for (int32_t n = 0; n < Doc().Design().GetNets().GetCount(); ++n) {
            for (int32_t i = 0; i < Net(n).GetPinCount(); ++i) {
                const NetPinRec& p = Net(n).GetPin(i);
                pins.push_back(
                    {{p.x, p.y, p.padStack, p.angle, p.side != 0}, n, p.component, p.pad});
            }
        }
        return pins;
    }

    // What each net should hold afterwards: the copper stamped with its number, in order; a
    // run parted from the pad it starts at starts at the pad's point in its own net.
    static std::vector<std::string> Expected(const std::vector<TrackRec>& vertices,
                                             const std::vector<int32_t>& widths,
                                             const std::vector<int32_t>& stamps, int32_t nets)
    {
        std::vector<std::string> text(static_cast<size_t>(nets));
        for (size_t v = 0; v < vertices.size(); ++v) {
            if (v > 0 && vertices[v].IsDrawn() && stamps[v - 1] != stamps[v]) {
                TrackRec runStart = vertices[v];
                runStart.x = vertices[v - 1].x;
                runStart.y = vertices[v - 1].y;
                text[size_t(stamps[v])] += Key(runStart, 0);
            }
            text[size_t(stamps[v])] += Key(vertices[v], widths[v]);
        }
        return text;
    }
    uint32_t LayersInUse() const
    {
        uint32_t layers = 0;
        for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer)
            layers |= Doc().Design().IsLayerEnabled(layer) ? LayerBit(layer) : 0;
        return layers;
    }
};

// Both operations on random boards: the same copper and pins end in the same nets.
TEST_F(CTracerRandomTest, MatchesTheLiteralFlood)
{
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        const bool rebuild = seed % 2 == 1;
        NewBoard();
        std::mt19937 random(seed);
        BuildRandomBoard(random);
        AddRunsFromFreePads(random);
        std::vector<TrackRec> vertices;
        std::vector<int32_t> widths;
        TakeCopper(vertices, widths);
        if (rebuild)
            Doc().Design().ResetPadNets();
        const std::vector<Item> pins = TakePins();
        const CCopperContact contact(Doc().Design().GetPadStacks(), LayersInUse());
        CLiteralFlood literal{contact, pins, vertices, widths};
        int32_t nets = Doc().Design().GetNets().GetCount();
        if (rebuild) {
            nets = 1;
            for (int32_t i = 0; i < int32_t(pins.size()); ++i) {
                if (literal.pinStamps[size_t(i)] == 0)
                    literal.Flood(i, nets++);
            }
        } else {
            for (int32_t n = 1; n < nets; ++n) {
                for (int32_t i = 0; i < int32_t(pins.size()); ++i) {
                    if (pins[size_t(i)].net == n && literal.pinStamps[size_t(i)] == 0)
                        literal.Flood(i, n);
                }
            }
        }

        ASSERT_TRUE(rebuild ? Doc().Analysis().RebuildFromTracks()
                            : Doc().Analysis().UpdateFromNetPins());
        ASSERT_EQ(Doc().Design().GetNets().GetCount(), nets);
        const std::vector<std::string> expected =
            Expected(vertices, widths, literal.vertexStamps, nets);
        for (int32_t n = 0; n < nets; ++n)
            EXPECT_EQ(CopperText(Net(n)), expected[size_t(n)]) << "net " << n;
        for (size_t i = 0; i < pins.size(); ++i) {
            const int32_t net = rebuild ? literal.pinStamps[i] : pins[i].net;
            EXPECT_EQ(
                Doc().Design().GetComponentPadNets(pins[i].component)[size_t(pins[i].padIndex)],
                net);
        }
        // The pins and boxes are those the pads' nets make afresh, record for record but for
        // the clusters, which the nets have worked out since.
        std::vector<std::vector<NetPinRec>> pinsBuilt(static_cast<size_t>(nets));
        std::vector<CRect> boxesBuilt;
        for (int32_t n = 0; n < nets; ++n) {
            for (int32_t i = 0; i < Net(n).GetPinCount(); ++i) {
                pinsBuilt[size_t(n)].push_back(Net(n).GetPin(i));
                pinsBuilt[size_t(n)].back().cluster = 0;
            }
            boxesBuilt.push_back(Net(n).GetBox());
        }
        Doc().Design().RebuildNetPins();
        for (int32_t n = 0; n < nets; ++n) {
            std::vector<NetPinRec> fresh;
            for (int32_t i = 0; i < Net(n).GetPinCount(); ++i) {
                fresh.push_back(Net(n).GetPin(i));
                fresh.back().cluster = 0;
            }
            EXPECT_TRUE(fresh == pinsBuilt[size_t(n)]) << "net " << n;
            Net(n).CalcBoundingBox(Doc().Link());
            EXPECT_EQ(Net(n).GetBox(), boxesBuilt[size_t(n)]) << "net " << n;
        }
    }
}

// The clusters of the rebuilt nets come from the pairs the tracer joined; they must be what the
// cluster check finds on its own: each rebuilt net is one joined group.
TEST_F(CTracerRandomTest, RebuiltNetsHaveTheClustersOfTheFullCheck)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        NewBoard();
        std::mt19937 random(seed);
        BuildRandomBoard(random);
        AddRunsFromFreePads(random);
        ASSERT_TRUE(Doc().Analysis().RebuildFromTracks());
        for (int32_t n = 1; n < Doc().Design().GetNets().GetCount(); ++n) {
            CNet alone = Net(n);
            const int32_t clusters = CNetConnectCheck(Doc().Link(), alone).Check();
            ASSERT_EQ(Net(n).GetClusterCount(), clusters) << "net " << n;
            EXPECT_EQ(clusters, 1) << "net " << n;
            for (int32_t i = 0; i < alone.GetPinCount(); ++i)
                EXPECT_EQ(Net(n).GetPinCluster(i), alone.GetPinCluster(i)) << "net " << n;
            for (int32_t i = 0; i < alone.GetVertexCount(); ++i)
                EXPECT_EQ(Net(n).GetVertexCluster(i), alone.GetVertexCluster(i)) << "net " << n;
        }
    }
}

} // namespace
