#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResString.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/Ratsnest.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"

namespace {

using namespace archive_bytes;

// Padstacks only: the cluster check lives above the model and is tested there.
class CPadsOnlyDocument : public CNetDocument {
public:
    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetBoardWidth() const override { return 1000000; }
    int32_t GetBoardHeight() const override { return 1000000; }
    bool IsLayerEnabled(int32_t) const override { return true; }
    int32_t CheckNetClusters(CNet&) override { return 0; }

    CPadStackArray padStacks;
};

// A net with one run drawn with two pens and one via, as its record must look byte for byte.
CNet SmallNet()
{
    CNet net("N");
    EXPECT_EQ(net.AddPen(3023), 2);
    net.AppendVertex(100, 200, LAYER_TOP, 0);
    net.AppendVertex(300, 200, LAYER_TOP, 1);
    net.AppendVertex(300, 400, LAYER_TOP, 2);
    net.AppendPadVertex(300, 400, 5, 90000, true);
    return net;
}

const Bytes smallNetBytes = Concat({
    {0x00},                                           // stored byte
    {0x03, 0x00, 0x00, 0x00},                         // current vertex: the via
    {0x00, 0x00, 0x00, 0x00},                         // flags
    {0xDF, 0x07, 0x00, 0x00},                         // minimum width 2015
    {0x6C, 0x62, 0x00, 0x00},                         // maximum width 25196
    {0xDF, 0x07, 0x00, 0x00},                         // clearance 2015
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // selected pads, tracks
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // box left, top
    {0x2C, 0x01, 0x00, 0x00, 0x90, 0x01, 0x00, 0x00}, // box right 300, bottom 400
    {0x01, 'N'},
    {0x01, 0x00, 0x00, 0x00},                         // current pen
    {0x03, 0x00, 0x00, 0x00, 0xDF, 0x07, 0xCF, 0x0B}, // pens 0, 2015, 3023
    {0x04, 0x00},                                     // four vertices
    // run start on layer 1, change mark set
    {0x00, 0x00, 0x40, 0x00, 0x10, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00},
    {0xC8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // pen 1
    {0x00, 0x00, 0x40, 0x00, 0x11, 0x00, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00},
    {0xC8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // pen 2
    {0x00, 0x00, 0x40, 0x00, 0x12, 0x00, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00},
    {0x90, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // via of padstack 5 turned by 90 degrees on the other side
    {0x90, 0x5F, 0x49, 0x00, 0x05, 0x02, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00},
    {0x90, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
});

TEST(CNetRecordTest, StoresAsWrittenByHandAndReadsBack)
{
    CNet net = SmallNet();
    EXPECT_EQ(Store(net), smallNetBytes);

    CNet loaded;
    CArchive ar(smallNetBytes);
    loaded.Serialize(ar);
    EXPECT_TRUE(ar.GetLoadWarnings().empty());
    EXPECT_EQ(Store(loaded), smallNetBytes);
    EXPECT_EQ(loaded.GetVertexPadStack(3), 5);
    EXPECT_EQ(loaded.GetVertexRotation(3), 90000);
    EXPECT_TRUE(loaded.IsVertexMirrored(3));
    EXPECT_EQ(loaded.GetVertexWidth(2), 3023);
    EXPECT_TRUE(loaded.NeedsRatsnest());
    EXPECT_TRUE(loaded.AreClustersDirty());

    ExpectEveryPrefixFails(smallNetBytes, [](CArchive& in) { CNet().Serialize(in); });
    // A failed load leaves the net as it was.
    CNet kept = SmallNet();
    CArchive cut(Bytes(smallNetBytes.begin(), smallNetBytes.end() - 1));
    EXPECT_THROW(kept.Serialize(cut), CArchiveException);
    EXPECT_EQ(Store(kept), smallNetBytes);
}

// A stored net with the given current vertex, current pen, pen table and vertices.
struct StoredVertex {
    uint16_t penLayer;
    int32_t x;
};

Bytes NetStream(int32_t currentVertex, int32_t currentPen, const std::vector<uint16_t>& pens,
                const std::vector<StoredVertex>& vertices)
{
    CArchive ar;
    ar << uint8_t(7) << currentVertex << uint32_t(0) << int32_t(2015) << int32_t(25196)
       << int32_t(2015) << int32_t(0) << int32_t(0);
    ar << int32_t(0) << int32_t(0) << int32_t(1) << int32_t(1) << std::string("L") << currentPen;
    ar.WriteWordArray(pens);
    ar.WriteCount(vertices.size());
    for (const StoredVertex& v : vertices) {
        TrackRec rec;
        rec.penLayer = v.penLayer;
        rec.x = v.x;
        rec.Write(ar);
    }
    return ar.TakeBuffer();
}

TEST(CNetRecordTest, LoadRepairsWhatNamesNothingWithOneWarning)
{
    struct Vertex {
        int32_t x, pen, layer;
        bool operator==(const Vertex&) const = default;
    };
    struct Case {
        const char* what;
        int32_t currentPen, currentVertex, warnings; // after loading
        Bytes stream;
        std::vector<Vertex> vertices; // left after loading
    };
    const std::vector<Case> cases = {
        {"leading drawn vertices go",
         1,
         2,
         0,
         NetStream(9, 1, {0, 2015}, {{0x11, 1}, {0x11, 2}, {0x10, 3}, {0x11, 4}, {0x205, 5}}),
         {{3, 0, 1}, {4, 1, 1}, {5, -1, -1}}},
        {"only drawn vertices load empty",
         1,
         0,
         0,
         NetStream(0, 1, {0, 2015}, {{0x11, 1}, {0x11, 2}}),
         {}},
        {"a pen beyond the table takes pen 1",
         1,
         0,
         1,
         NetStream(0, 1, {0, 2015}, {{0x10, 1}, {0x17, 2}}),
         {{1, 0, 1}, {2, 1, 1}}},
        {"layer 31 becomes 30",
         1,
         0,
         1,
         NetStream(0, 1, {0, 2015}, {{0x1F0, 1}, {0x1F1, 2}}),
         {{1, 0, 30}, {2, 1, 30}}},
        {"a negative current pen becomes 1", 1, 0, 1, NetStream(0, -3, {0, 2015}, {}), {}},
        {"a current pen beyond the table becomes the last",
         2,
         0,
         1,
         NetStream(0, 9, {0, 2015, 4000}, {}),
         {}},
        {"every fault, one warning",
         1,
         0,
         1,
         NetStream(0, -1, {0, 2015}, {{0x1F0, 1}, {0x1FF, 2}}),
         {{1, 0, 30}, {2, 1, 30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CNet net;
        CArchive ar(c.stream);
        net.Serialize(ar);
        std::vector<Vertex> vertices;
        for (int32_t i = 0; i < net.GetVertexCount(); ++i)
            vertices.push_back(
                {net.GetVertexPoint(i).x, net.GetVertexPen(i), net.GetVertexLayer(i)});
        EXPECT_TRUE(vertices == c.vertices);
        EXPECT_EQ(net.GetCurrentPen(), c.currentPen);
        EXPECT_EQ(net.GetCurrentVertex(), c.currentVertex);
        EXPECT_EQ(net.GetStoredByte(), 7);
        EXPECT_EQ(ar.GetLoadWarnings().size(), size_t(c.warnings));
    }

    // Several damaged nets in one stream note one warning.
    CArchive ar(Concat({NetStream(0, -1, {0, 1}, {}), NetStream(0, 5, {0, 1}, {})}));
    CNet first;
    CNet second;
    first.Serialize(ar);
    second.Serialize(ar);
    EXPECT_EQ(ar.GetLoadWarnings(),
              std::vector<std::string>{CResString::Load(IDS_NET_RECORDS_REPAIRED)});
}

TEST(CNetVertexTest, RotationWrapsIntoOneTurn)
{
    const std::vector<std::pair<int64_t, int32_t>> table = {
        {-1, 359999},      {0, 0},       {360000, 360000},
        {720000, 360000},  {360001, 1},  {-360000, 0},
        {-360001, 359999}, {1080001, 1}, {INT32_MIN, 276352},
    };
    CNet net;
    net.AppendPadVertex(0, 0, 1, 0, false);
    for (const auto& [angle, expected] : table) {
        net.SetVertexRotation(0, angle);
        EXPECT_EQ(net.GetVertexRotation(0), expected) << angle;
    }
    // Rotating the selection advances the angle the same way, except for padstack 0.
    net.AppendPadVertex(0, 0, 0, 100, false);
    net.SetVertexRotation(0, 350000);
    net.SelectAllVertices(true);
    net.RotateSelected(0, 0, 20000);
    EXPECT_EQ(net.GetVertexRotation(0), 10000);
    EXPECT_EQ(net.GetVertexRotation(1), 100);
}

// Deselecting a whole net skips a net without a counted selection, so every way a vertex
// becomes selected, changes kind, is copied, deleted or loaded must keep the count.
TEST(CNetVertexTest, DeselectingAllClearsEverySelectedVertex)
{
    CNet net;
    ASSERT_TRUE(net.AppendVertex(0, 0, LAYER_TOP, 0));
    ASSERT_TRUE(net.AppendVertex(10, 0, LAYER_TOP, 1));
    ASSERT_TRUE(net.AppendPadVertex(5, 5, 3, 0, false));
    ASSERT_TRUE(net.AppendVertex(20, 0, LAYER_TOP, 0));
    net.SelectVertex(0, true);
    net.SelectVertex(2, true);
    net.SelectVertex(3, true);
    // A selected track vertex that becomes a pad, copies of the selection, a deleted one.
    ASSERT_TRUE(net.SetVertexPadType(3, 4));
    net.DuplicateSelectedVertices();
    ASSERT_TRUE(net.DeleteVertex(0));
    CArchive stored;
    net.Serialize(stored);
    CNet loaded;
    CArchive reading(stored.TakeBuffer());
    loaded.Serialize(reading);
    for (CNet* each : {&net, &loaded}) {
        ASSERT_GT(each->GetSelectedCount(), 0);
        each->SelectAllVertices(false);
        EXPECT_EQ(each->GetSelectedCount(), 0);
        for (int32_t v = 0; v < each->GetVertexCount(); ++v)
            EXPECT_FALSE(each->IsVertexSelected(v)) << v;
        EXPECT_EQ(each->SelectAllVertices(false), 0);
    }
}

TEST(CNetVertexTest, RefusesWhatTheRecordCannotHold)
{
    CFakeServices fakes;
    CNet net;
    ASSERT_TRUE(net.AppendVertex(0, 0, LAYER_TOP, 0));
    ASSERT_TRUE(net.AppendVertex(10, 0, LAYER_TOP, 1));

    // Padstack indexes have 9 bits: 512 must not become padstack 0 of a track vertex.
    EXPECT_FALSE(net.AppendPadVertex(5, 5, 512, 0, false));
    EXPECT_FALSE(net.InsertPadVertexAt(0, 5, 5, -1, 0, false));
    EXPECT_FALSE(net.SetVertexPadType(1, 512));
    EXPECT_TRUE(net.AppendPadVertex(5, 5, 511, 0, false));
    EXPECT_EQ(net.GetVertexPadStack(2), 511);

    // Pens beyond 15 or the table, and layers beyond 30, are refused rather than clamped.
    EXPECT_FALSE(net.SetVertexPen(1, 20));
    EXPECT_FALSE(net.SetVertexPen(1, 2));
    EXPECT_EQ(net.GetVertexPen(1), 1);
    EXPECT_FALSE(net.SetVertexPen(2, 1)) << "a via has no pen";
    EXPECT_FALSE(net.SetVertexLayer(1, 31));
    EXPECT_FALSE(net.SetVertexLayer(2, 1)) << "would overwrite the padstack";
    EXPECT_EQ(net.GetVertexPadStack(2), 511);
    EXPECT_FALSE(net.AppendVertex(0, 0, 31, 1));
    EXPECT_FALSE(net.AppendSegment(0, 0, 1, 1, LAYER_TOP, 16));
    EXPECT_EQ(net.GetVertexCount(), 3);

    // No pen table takes a pen wider than a design's pens may be, and says nothing of it: the
    // roads to a pen width refuse it first.
    CDrawRecArray lines;
    const std::vector<uint16_t> linePens = lines.GetPenTable();
    EXPECT_EQ(net.AddPen(65512), -1);
    EXPECT_EQ(lines.FindOrAddPen(65535), -1);
    EXPECT_EQ(lines.GetPenTable(), linePens);
    EXPECT_EQ(lines.FindOrAddPen(65511), int32_t(linePens.size()));

    // The 16th pen is the last one a vertex can name.
    for (int32_t width = 100; net.GetPenCount() < CNet::maxPenCount; width += 100)
        net.AddPen(width);
    EXPECT_TRUE(fakes.messages.Shown().empty());
    EXPECT_EQ(net.AddPen(9999), -1);
    EXPECT_EQ(fakes.messages.Shown().size(), 1u);
    net.SetWidths(0, 20000, 0);
    net.SetCurrentPen(3);
    EXPECT_EQ(net.SelectPenByWidth(9998), 3);
    EXPECT_EQ(fakes.messages.Shown().size(), 2u);
    EXPECT_EQ(net.SelectPenByWidth(1400), 15);
    EXPECT_EQ(net.AddPen(70000), -1) << "widths are 16-bit";
    EXPECT_EQ(net.GetPenCount(), CNet::maxPenCount);
}

TEST(CNetVertexTest, CopiesAreTheVerticesTheAppendsMake)
{
    // Records as another net may hold them: marks set and cleared, a turn beyond one full turn,
    // a selected vertex, and a layer no track vertex may have.
    std::vector<TrackRec> records(5);
    records[0].penLayer = uint16_t(LAYER_BOTTOM << TrackRec::layerShift);
    records[0].flags = TrackRec::flagAutorouted | TrackRec::flagSelected;
    records[1].penLayer = uint16_t((LAYER_BOTTOM << TrackRec::layerShift) | 2);
    records[1].x = 40;
    records[2].penLayer = uint16_t(TrackRec::padBit | 7);
    records[2].flags = TrackRec::flagChangeMark | TrackRec::flagMirrored | 0x7FFFF;
    records[2].y = -30;
    records[3].penLayer = uint16_t(31 << TrackRec::layerShift);
    records[4].penLayer = uint16_t(TrackRec::padBit | 3);
    records[4].flags = TrackRec::flagAutorouted | 1000;

    CNet made;
    CNet copied;
    for (CNet* net : {&made, &copied}) {
        net->SetActiveCluster(4);
        net->AddPen(3000);
    }
    for (const TrackRec& rec : records) {
        const int32_t pen = rec.IsPad() ? 0 : 2;
        bool appended = rec.IsPad() ? made.AppendPadVertex(rec.x, rec.y, rec.GetPadStack(),
                                                           rec.GetRotation(), rec.IsMirrored())
                                    : made.AppendVertex(rec.x, rec.y, rec.GetLayer(), pen);
        if (appended) {
            const int32_t last = made.GetVertexCount() - 1;
            made.SetVertexAutorouted(last, (rec.flags & TrackRec::flagAutorouted) != 0);
            made.SetVertexChangeMark(last, (rec.flags & TrackRec::flagChangeMark) != 0);
        }
        EXPECT_EQ(copied.AppendCopy(rec, pen), appended);
    }
    EXPECT_FALSE(copied.AppendCopy(records[1], 3)) << "pen 3 is beyond the table";
    ASSERT_EQ(copied.GetVertexCount(), 4);
    for (int32_t v = 0; v < copied.GetVertexCount(); ++v) {
        EXPECT_EQ(copied.GetVertex(v).flags, made.GetVertex(v).flags) << v;
        EXPECT_EQ(copied.GetVertex(v), made.GetVertex(v)) << v;
    }
    EXPECT_EQ(copied.GetCurrentVertex(), made.GetCurrentVertex());
    EXPECT_EQ(copied.GetBox(), made.GetBox());
    EXPECT_EQ(copied.IsBoxChanged(), made.IsBoxChanged());
    EXPECT_TRUE(copied.AreClustersDirty());
    EXPECT_EQ(copied.GetSelectedCount(), 0);
}

TEST(CNetPenTest, CompactsMergesAndDeletes)
{
    struct Case {
        const char* what;
        std::vector<int32_t> widths;     // pens 1.. added in this order
        std::vector<int32_t> vertexPens; // pens of the drawn vertices
        int32_t op;                      // 0 CompactPens(true), 1 MergePens, 2 DeletePen(2)
        std::vector<uint16_t> table;
        std::vector<int32_t> widthsAfter; // widths of the drawn vertices afterwards
    };
    const std::vector<Case> cases = {
        {"no drawn vertex ends with 3023", {}, {}, 0, {0, 3023}, {}},
        {"unused pens go and the rest sort",
         {5000, 1000, 3000},
         {2, 3, 2},
         0,
         {0, 1000, 5000},
         {5000, 1000, 5000}},
        {"merge keeps unused widths", {5000, 1000}, {1}, 1, {0, 1000, 2015, 5000}, {2015}},
        {"a deleted pen's vertices keep a twin width",
         {3000, 3000},
         {2, 3},
         2,
         {0, 2015, 3000},
         {3000, 3000}},
        {"a deleted pen's vertices lose their segment", {3000}, {2, 1}, 2, {0, 2015}, {0, 2015}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CNet net;
        for (int32_t w : c.widths) {
            // AddPen reuses an equal width; a twin is made by renaming a fresh one.
            const int32_t pen = net.AddPen(w + 1);
            net.ReplacePenWidth(w + 1, w);
            ASSERT_EQ(net.GetPenWidth(pen), w);
        }
        if (!c.vertexPens.empty())
            net.AppendVertex(0, 0, LAYER_TOP, 0);
        for (int32_t pen : c.vertexPens)
            ASSERT_TRUE(net.AppendVertex(10, 10, LAYER_TOP, pen));
        if (c.op == 0)
            net.CompactPens(true);
        else if (c.op == 1)
            net.MergePens();
        else
            net.DeletePen(2);
        EXPECT_EQ(net.GetPenTable(), c.table);
        for (size_t i = 0; i < c.widthsAfter.size(); ++i)
            EXPECT_EQ(net.GetVertexWidth(int32_t(i) + 1), c.widthsAfter[i]) << i;
        EXPECT_LT(net.GetCurrentPen(), net.GetPenCount());
    }
    CNet fresh;
    fresh.CompactPens(true);
    EXPECT_EQ(fresh.GetCurrentPen(), 1);
}

TEST(CNetBoxTest, CoversCopperAndClearance)
{
    CPadsOnlyDocument doc;
    CNet net;
    net.CalcBoundingBox(doc);
    EXPECT_EQ(net.GetBox(), CRect(0, 0, 1, 1));

    // Run start takes the next pen: 2015 / 2 + 2015 around it.
    net.AppendVertex(100000, 100000, LAYER_TOP, 0);
    net.AppendVertex(200000, 100000, LAYER_TOP, 1);
    net.CalcBoundingBox(doc);
    EXPECT_EQ(net.GetBox(), CRect(100000 - 3022, 100000 - 3022, 200000 + 3022, 100000 + 3022));

    // Padstack 0 reaches 5038 on its mask and inner pads (its largest on layers 1..26); the
    // pin keeps the margin of the via before it. A 45-degree via reaches its pad corners.
    net.AppendPadVertex(300000, 100000, 0, 0, false);
    net.AddPin(50000, 100000, 0, 0, 0, 0, false, 3);
    net.CalcBoundingBox(doc);
    EXPECT_EQ(net.GetBox(), CRect(50000 - 5038, 100000 - 5038, 300000 + 5038, 100000 + 5038));
    net.SetVertexRotation(2, 45000);
    net.CalcBoundingBox(doc);
    EXPECT_EQ(net.GetBox().right, 300000 + 7125) << "ceil(5038 * sqrt 2)";

    EXPECT_TRUE(net.IntersectsRect(CRect(0, 0, 50000 - 5038, 10)) == false);
    EXPECT_TRUE(net.IntersectsRect(CRect(305038, 105038, 400000, 400000)));
}

TEST(CNetPinTest, PinsKeepTheirClusterMarkAndMove)
{
    CNet net;
    EXPECT_EQ(net.AddPin(0, 0, 3, 1, 0, 0, false, 3), 0);
    EXPECT_EQ(net.AddPin(10, 0, 3, 2, 0, 0, true, 3), 1);
    EXPECT_EQ(net.AddPin(10, 0, -1, 2, 0, 0, true, 3), -1);
    EXPECT_EQ(net.AddPin(10, 0, 3, 70000, 0, 0, true, 3), -1);
    EXPECT_EQ(net.GetPinCluster(1), 1);
    EXPECT_EQ(net.FindPin(3, 2), 1);
    EXPECT_EQ(net.FindPin(4, 2), -1);

    NetPinRec marked = net.GetPin(1);
    marked.cluster = 0x8000;
    marked.SetCluster(0x7FFF + 5);
    EXPECT_EQ(marked.cluster, 0x8004) << "bit 15 stays";

    net.MarkRatsnestDirty(false);
    const CPadStackArray stacks;
    CPadStackReaches margins(stacks);
    net.MovePin(3, 2, 5, -5, margins);
    EXPECT_TRUE(net.NeedsRatsnest());
    EXPECT_EQ(net.GetPin(1).x, 15);
    EXPECT_TRUE(net.UpdatePin(1, 2, 3, 1, 7, 90000, true, 0xFF, margins));
    EXPECT_EQ(net.GetPin(0).padStack, 7);
    EXPECT_FALSE(net.UpdatePin(1, 2, 9, 9, 7, 0, false, 0, margins));
}

// The ratsnest as a pairwise scan over every reached and unreached pin, one line at a time.
std::vector<RatsLine> PairwiseRatsnest(const CNetPinArray& pins)
{
    std::vector<RatsLine> lines;
    std::vector<int32_t> work;
    for (const NetPinRec& pin : pins)
        work.push_back(pin.GetCluster());
    const int32_t c0 = work[0];
    for (;;) {
        int32_t best = 0x7FFFFFFF;
        int32_t bi = -1;
        int32_t bj = -1;
        for (size_t i = 0; i < work.size(); ++i) {
            if (work[i] != c0)
                continue;
            for (size_t j = 0; j < work.size(); ++j) {
                if (work[j] == c0)
                    continue;
                const int32_t d = Distance(pins[int32_t(i)].x, pins[int32_t(i)].y,
                                           pins[int32_t(j)].x, pins[int32_t(j)].y);
                if (d < best) {
                    best = d;
                    bi = int32_t(i);
                    bj = int32_t(j);
                }
            }
        }
        if (bi < 0)
            return lines;
        const int32_t joined = work[size_t(bj)];
        for (int32_t& w : work) {
            if (w == joined)
                w = c0;
        }
        lines.push_back({pins[bi].x, pins[bi].y, pins[bj].x, pins[bj].y});
    }
}

TEST(RatsnestTest, MatchesThePairwiseScanOnRandomNets)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const int32_t count = std::uniform_int_distribution<int32_t>(1, 40)(random);
        // A small lattice makes many equal distances, so the tie rules are exercised.
        const int32_t spread = round % 2 == 0 ? 6 : 1000000;
        std::uniform_int_distribution<int32_t> coordinate(0, spread);
        std::uniform_int_distribution<int32_t> cluster(0, std::max(1, count / 3));
        CNetPinArray pins;
        for (int32_t i = 0; i < count; ++i) {
            NetPinRec pin;
            pin.x = coordinate(random) * (spread == 6 ? 1000 : 1);
            pin.y = coordinate(random) * (spread == 6 ? 1000 : 1);
            pin.SetCluster(cluster(random));
            pins.Add(pin);
        }
        ASSERT_EQ(SpanPinClusters(pins), PairwiseRatsnest(pins)) << "round " << round;
    }
    // Lines of 2147483647 units or more are never drawn.
    CNetPinArray far;
    far.Add(NetPinRec{});
    NetPinRec other;
    other.x = INT32_MAX;
    other.y = INT32_MAX;
    other.SetCluster(1);
    far.Add(other);
    EXPECT_TRUE(SpanPinClusters(far).empty());
    EXPECT_EQ(SpanPinClusters(far), PairwiseRatsnest(far));
}

} // namespace
