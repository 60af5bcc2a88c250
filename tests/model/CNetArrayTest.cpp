#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "model/CDialogService.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/CNetArrayDocument.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

const std::vector<uint16_t> newNetZeroPens = {0,    2015, 2519,  3023,  3527,  4031,  5039,
                                              6047, 8062, 10078, 12094, 15118, 20157, 25196};

// A design that records what the net list asks of it. Its cluster check joins no two pins, so
// a net's ToDo is its pin count.
class CRecordingNetDocument : public CNetArrayDocument {
public:
    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetBoardWidth() const override { return 10000000; }
    int32_t GetBoardHeight() const override { return 10000000; }
    bool IsLayerEnabled(int32_t layer) const override { return !disabled.contains(layer); }
    int32_t CheckNetClusters(CNet& net) override
    {
        for (int32_t p = 0; p < net.GetPinCount(); ++p)
            net.SetPinCluster(p, p + 1);
        return net.GetPinCount();
    }
    CPoint GetCursor() const override { return cursor; }

    uint32_t GetMode() const override { return 0; }
    uint32_t GetAction() const override { return action; }
    void SetAction(uint32_t code) override { action = code; }
    int32_t GetWorkLayer() const override { return workLayer; }
    int32_t GetUnit() const override { return CLengthText::unitMillimetre; }
    CPoint GetOrigin() const override { return {}; }
    bool IsAutoRatsnest() const override { return true; }
    void SetModified() override { ++modified; }
    void SetStatusText(const std::string& text) override { status = text; }
    CGridArr& GetGridSettings() override { return grids; }

    void FillNetCombo() override { ++comboFills; }
    void SelectNetInCombo(int32_t) override {}
    void RedrawBoardViews() override { ++redraws; }
    void RedrawLeftPane(int32_t row) override { leftPaneRows.push_back(row); }

    std::string GetComponentReference(int32_t component) const override
    {
        return "R" + std::to_string(component + 1);
    }
    void SetPadNet(int32_t component, int32_t pad, int32_t net) override
    {
        padNets.emplace_back(component, pad, net);
    }
    void ResetPadNets() override { ++padNetResets; }
    void RenumberNets(const std::vector<int32_t>& newIndex) override
    {
        renumbers.push_back(newIndex);
    }
    void RecalcComponentBoxes() override {}
    void RebuildNetPins() override {}
    void DeselectAll() override {}

    bool AllNetsToNet0() override
    {
        netCountAtTrace = nets ? nets->GetCount() : -1;
        return traceSucceeds;
    }
    bool traceSucceeds = true;
    void TestAllNets() override {}
    bool RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                         int32_t y2) override
    {
        routes.push_back({layer, x1, y1, x2, y2});
        if (routeFits)
            net.AppendSegment(x1, y1, x2, y2, layer, net.GetCurrentPen());
        return routeFits;
    }
    bool RouteAllDefaultLayer() override { return false; }
    bool RouteAllTopBottom() override { return false; }

    CPadStackArray padStacks;
    CGridArr grids;
    CNetArray* nets = nullptr;
    CPoint cursor;
    uint32_t action = 1;
    int32_t workLayer = LAYER_TOP;
    std::set<int32_t> disabled;
    bool routeFits = true;

    int32_t modified = 0;
    std::string status;
    int32_t comboFills = 0;
    int32_t redraws = 0;
    std::vector<int32_t> leftPaneRows;
    std::vector<std::tuple<int32_t, int32_t, int32_t>> padNets;
    int32_t padNetResets = 0;
    std::vector<std::vector<int32_t>> renumbers;
    int32_t netCountAtTrace = -1;
    std::vector<std::vector<int32_t>> routes;
};

// Answers the "Add Net" dialog from a script and records the names it proposed.
class CScriptedNetNames : public CDialogService {
public:
    CScriptedNetNames() : m_previous(CDialogService::Set(this)) {}
    ~CScriptedNetNames() override { CDialogService::Set(m_previous); }

    int32_t NetAdd(std::string& name) override
    {
        proposed.push_back(name);
        if (answers.empty())
            return resultCancel;
        name = answers.front();
        answers.erase(answers.begin());
        return resultOk;
    }

    std::vector<std::string> answers;
    std::vector<std::string> proposed;

private:
    CDialogService* m_previous;
};

void AddPinAt(CNet& net, int32_t x, int32_t y, int32_t component)
{
    net.AddPin(x, y, component, 0, 0, 0, false, 0x3);
}

bool HasPin(const CNet& net, int32_t component)
{
    return net.FindPin(component, 0) >= 0;
}

std::vector<std::string> Names(const CNetArray& nets)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < nets.GetCount(); ++i)
        names.push_back(nets.GetNetName(i));
    return names;
}

TEST(CNetArrayNamingTest, NetZeroNamesAndNumberedNets)
{
    CNetArray nets;
    ASSERT_EQ(nets.GetCount(), 1);
    EXPECT_EQ(nets.GetNetName(0), "Zero");
    EXPECT_EQ(nets.GetNet(0)->GetPenTable(), newNetZeroPens);

    nets.AddNet("5");
    nets.AddNet("6");
    EXPECT_EQ(nets.MakeUniqueName(5), "7");
    EXPECT_EQ(nets.MakeUniqueName(1), "1");

    CNetArray numbered;
    numbered.CreateNumberedNets(3);
    EXPECT_EQ(Names(numbered), (std::vector<std::string>{"Zero", "N000001", "N000002", "N000003"}));
    EXPECT_EQ(numbered.GetCurrentIndex(), 3);
    numbered.CreateNumberedNets(7);
    EXPECT_EQ(numbered.GetNetName(7), "N000007");
    EXPECT_EQ(numbered.FindNet("N000007"), 7);
    EXPECT_EQ(numbered.FindNet("n000007"), -1);
}

// Net 0 as a new list has it, and a net "A" with the default pens and no copper.
const Bytes twoNetBytes = Concat({
    {0x02, 0x00},                         // two nets
    {0xFF, 0xFF, 0x00, 0x00, 0x04, 0x00}, // new class, schema 0, name length 4
    Ascii("CNet"),
    {0x00},                                           // stored byte
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // current vertex, flags
    {0xDF, 0x07, 0x00, 0x00, 0x6C, 0x62, 0x00, 0x00}, // widths 2015 .. 25196
    {0xDF, 0x07, 0x00, 0x00},                         // clearance 2015
    Bytes(8, 0x00),                                   // selected counts
    Bytes(16, 0x00),                                  // box
    {0x04},
    Ascii("Zero"),
    {0x01, 0x00, 0x00, 0x00}, // current pen
    {0x0E, 0x00, 0x00, 0x00, 0xDF, 0x07, 0xD7, 0x09, 0xCF, 0x0B, 0xC7, 0x0D, 0xBF, 0x0F},
    {0xAF, 0x13, 0x9F, 0x17, 0x7E, 0x1F, 0x5E, 0x27, 0x3E, 0x2F, 0x0E, 0x3B, 0xBD, 0x4E},
    {0x6C, 0x62},
    {0x00, 0x00}, // no vertices
    {0x01, 0x80}, // a further object of class 1
    {0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0xDF, 0x07, 0x00, 0x00, 0x6C, 0x62, 0x00, 0x00},
    {0xDF, 0x07, 0x00, 0x00},
    Bytes(8, 0x00),
    Bytes(16, 0x00),
    {0x01, 'A'},
    {0x01, 0x00, 0x00, 0x00},
    {0x02, 0x00, 0x00, 0x00, 0xDF, 0x07}, // pens 0, 2015
    {0x00, 0x00},
});

TEST(CNetArrayStorageTest, StoresAsWrittenByHandAndLoadsWithItsFixUps)
{
    CNetArray nets;
    nets.AddNet("A");
    EXPECT_EQ(Store(nets), twoNetBytes);

    CNetArray loaded;
    loaded.AddError(CNetErrorRec({"Track", 1, {1, 2}}, {"Via", 2, {3, 4}}));
    Load(loaded, twoNetBytes);
    EXPECT_EQ(Names(loaded), (std::vector<std::string>{"0", "A"}));
    EXPECT_EQ(loaded.GetErrorCount(), 0);
    // A net that draws nothing keeps the fallback width only; net 0 already has it.
    EXPECT_EQ(loaded.GetNet(1)->GetPenTable(), (std::vector<uint16_t>{0, 3023}));
    EXPECT_EQ(loaded.GetNet(0)->GetPenTable(), newNetZeroPens);

    ExpectEveryPrefixFails(twoNetBytes, [](CArchive& ar) {
        CNetArray nets;
        nets.Serialize(ar);
    });
}

TEST(CNetArrayStorageTest, SecondSaveOfALoadedListIsIdentical)
{
    CFakeServices fakes;
    CNetArray nets;
    CNet& b = *nets.GetNet(nets.AddNet("B"));
    b.AddPen(7777);
    b.AddPen(9999);
    b.AppendVertex(0, 0, LAYER_TOP, 0);
    b.AppendVertex(5000, 0, LAYER_TOP, b.FindPen(7777));
    b.SelectVertex(1, true);

    CNetArray first;
    Load(first, Store(nets));
    EXPECT_EQ(first.GetNetName(0), "0");
    EXPECT_EQ(first.GetNet(1)->GetPenTable(), (std::vector<uint16_t>{0, 7777}));
    EXPECT_EQ(first.GetNet(1)->GetVertexWidth(1), 7777);
    EXPECT_EQ(first.GetNet(0)->GetPenCount(), 15);
    EXPECT_EQ(first.GetNet(0)->GetPenWidth(8), 7777);
    EXPECT_EQ(first.GetSelectedCount(), 1);

    const Bytes saved = Store(first);
    CNetArray second;
    Load(second, saved);
    EXPECT_EQ(Store(second), saved);
    EXPECT_TRUE(fakes.messages.Shown().empty());
}

TEST(CNetArrayStorageTest, DamagedListsAreRepairedOrRefused)
{
    CArchive empty(Bytes{0x00, 0x00});
    CNetArray nets;
    nets.AddNet("kept");
    nets.Serialize(empty);
    EXPECT_EQ(Names(nets), (std::vector<std::string>{"0"}));
    EXPECT_EQ(nets.GetNet(0)->GetPenTable(), newNetZeroPens);
    EXPECT_EQ(empty.GetLoadWarnings(),
              (std::vector<std::string>{CResString::Load(IDS_NET_ZERO_CREATED)}));

    // A null record where a net should be: refused, the list stays as it was.
    CNetArray before;
    before.AddNet("kept");
    EXPECT_THROW(Load(before, Bytes{0x01, 0x00, 0x00, 0x00}), CArchiveException);
    EXPECT_EQ(Names(before), (std::vector<std::string>{"Zero", "kept"}));
}

struct CollectCase {
    const char* what;
    std::vector<std::vector<uint16_t>> otherNets; // pens 1.. of nets 1..
    int32_t netZeroDrawnWidth;                    // 0: net 0 draws nothing
    std::vector<uint16_t> expectedNetZero;
    uint32_t expectedMessage; // 0: none
};

TEST(CNetArrayPensTest, CollectingIntoNetZeroKeepsEveryWidthInUse)
{
    const std::vector<uint16_t> board(newNetZeroPens.begin() + 1, newNetZeroPens.end());
    auto with = [](std::vector<uint16_t> pens, std::initializer_list<uint16_t> more) {
        pens.insert(pens.end(), more);
        std::sort(pens.begin(), pens.end());
        return pens;
    };
    auto without = [](std::vector<uint16_t> pens, std::initializer_list<uint16_t> less) {
        for (uint16_t w : less)
            pens.erase(std::find(pens.begin(), pens.end(), w));
        return pens;
    };
    const std::vector<CollectCase> cases = {
        {"one more width fits", {{2015, 7000}}, 0, with(newNetZeroPens, {7000}), 0},
        {"the widest unused width makes room",
         {{7000}, {8000}},
         0,
         with(without(newNetZeroPens, {25196}), {7000, 8000}),
         IDS_TOO_MANY_PENS},
        {"a width net 0 draws with stays",
         {{7000}, {8000}},
         25196,
         with(without(newNetZeroPens, {20157}), {7000, 8000}),
         IDS_TOO_MANY_PENS},
        {"widths of other nets stay: refused",
         {{board.begin(), board.begin() + 13}, {7000, 8000}},
         0,
         newNetZeroPens,
         IDS_NET_ZERO_PENS_FULL},
    };
    for (const CollectCase& c : cases) {
        SCOPED_TRACE(c.what);
        CFakeServices fakes;
        CNetArray nets;
        CNet& zero = *nets.GetNet(0);
        if (c.netZeroDrawnWidth != 0) {
            zero.AppendVertex(0, 0, LAYER_TOP, 0);
            zero.AppendVertex(100, 0, LAYER_TOP, zero.FindPen(c.netZeroDrawnWidth));
        }
        for (const auto& pens : c.otherNets) {
            CNet& net = *nets.GetNet(nets.AddNet("N"));
            for (uint16_t w : pens)
                net.AddPen(w);
        }
        EXPECT_EQ(nets.CollectPensIntoNetZero(), c.expectedMessage != IDS_NET_ZERO_PENS_FULL);
        EXPECT_EQ(zero.GetPenTable(), c.expectedNetZero);
        if (c.netZeroDrawnWidth != 0) {
            EXPECT_EQ(zero.GetVertexWidth(1), c.netZeroDrawnWidth);
        }
        const std::vector<std::string> expectedShown =
            c.expectedMessage ? std::vector<std::string>{CResString::Load(c.expectedMessage)}
                              : std::vector<std::string>{};
        EXPECT_EQ(fakes.messages.ShownTexts(), expectedShown);
    }
}

TEST(CNetArrayDeleteTest, EmptyNetsHandTheirCopperToNetZeroAndNumbersFollow)
{
    CFakeServices fakes;
    CRecordingNetDocument document;
    CNetArray nets(document);
    AddPinAt(*nets.GetNet(nets.AddNet("A")), 0, 0, 0);
    CNet& b = *nets.GetNet(nets.AddNet("B"));
    b.AddPen(7777);
    b.AppendSegment(10, 20, 30, 40, LAYER_BOTTOM, b.FindPen(7777));
    b.AppendPadVertex(30, 40, 3, 90000, true);
    AddPinAt(*nets.GetNet(nets.AddNet("C")), 0, 0, 1);
    nets.SetCurrentNet(3);
    nets.AddError(CNetErrorRec({"Track", 2, {1, 2}}, {"Via", 3, {3, 4}}));

    EXPECT_EQ(nets.DeleteEmptyNets(), 1);
    EXPECT_EQ(Names(nets), (std::vector<std::string>{"Zero", "A", "C"}));
    EXPECT_EQ(document.renumbers, (std::vector<std::vector<int32_t>>{{0, 1, 0, 2}}));
    EXPECT_EQ(nets.GetCurrentIndex(), 2);
    EXPECT_EQ(nets.GetErrorCount(), 0);

    const CNet& zero = *nets.GetNet(0);
    ASSERT_EQ(zero.GetVertexCount(), 3);
    EXPECT_EQ(zero.GetVertexPen(0), 0);
    EXPECT_EQ(zero.GetVertexWidth(1), 7777);
    EXPECT_EQ(zero.GetVertexLayer(1), LAYER_BOTTOM);
    EXPECT_TRUE(zero.IsVertexAutorouted(1));
    EXPECT_EQ(zero.GetVertexPadStack(2), 3);
    EXPECT_EQ(zero.GetVertexRotation(2), 90000);
    EXPECT_TRUE(zero.IsVertexMirrored(2));
    EXPECT_TRUE(fakes.messages.Shown().empty());

    // Net 0's pen table is full now: a net whose width it lacks stays.
    ASSERT_EQ(zero.GetPenCount(), CNetArray::maxNetZeroPens);
    CNet& d = *nets.GetNet(nets.AddNet("D"));
    d.AddPen(8888);
    d.AppendSegment(0, 0, 5, 5, LAYER_TOP, d.FindPen(8888));
    EXPECT_EQ(nets.DeleteEmptyNets(), 0);
    EXPECT_EQ(nets.GetCount(), 4);
    EXPECT_EQ(d.GetVertexCount(), 2);
    EXPECT_EQ(document.renumbers.size(), 1u);
    EXPECT_EQ(fakes.messages.ShownTexts(),
              (std::vector<std::string>{CResString::Load(IDS_EMPTY_NETS_KEPT)}));
}

TEST(CNetArrayDeleteTest, ResetKeepsNetZeroAfterTheTracerMovedTheCopper)
{
    CRecordingNetDocument document;
    CNetArray nets(document);
    document.nets = &nets;
    nets.GetNet(0)->AppendPadVertex(5, 5, 1, 0, false);
    nets.GetNet(0)->SelectAllVertices(true);
    AddPinAt(*nets.GetNet(nets.AddNet("A")), 0, 0, 0);
    nets.SetCurrentNet(1);
    nets.AddError(CNetErrorRec());

    // A tracer that cannot move the copper leaves every net as it was.
    document.traceSucceeds = false;
    EXPECT_FALSE(nets.Reset());
    EXPECT_EQ(Names(nets), (std::vector<std::string>{"Zero", "A"}));

    document.traceSucceeds = true;
    EXPECT_TRUE(nets.Reset());
    EXPECT_EQ(document.netCountAtTrace, 2);
    EXPECT_EQ(Names(nets), (std::vector<std::string>{"Zero"}));
    EXPECT_EQ(nets.GetNet(0)->GetVertexCount(), 1);
    EXPECT_EQ(nets.GetSelectedCount(), 0);
    EXPECT_EQ(nets.GetNet(0)->GetSelectedCount(), 0);
    EXPECT_EQ(nets.GetCurrentIndex(), 0);
    EXPECT_EQ(nets.GetErrorCount(), 0);
    EXPECT_EQ(document.padNetResets, 1);
}

TEST(CNetArrayConnectPinsTest, EachClickTakesItsStep)
{
    CRecordingNetDocument document;
    CScriptedNetNames dialog;
    CNetArray nets(document);
    CNet& zero = *nets.GetNet(0);
    AddPinAt(zero, 0, 0, 0);
    AddPinAt(zero, 100000, 0, 1);
    AddPinAt(*nets.GetNet(nets.AddNet("2")), 200000, 0, 2);

    // Nothing near: net 0.
    nets.SetCurrentNet(1);
    document.cursor = {0, 30000};
    EXPECT_FALSE(nets.OnConnectPinsClick());
    EXPECT_EQ(nets.GetCurrentIndex(), 0);

    // Net 0 current, pin of net 0: a new net, asked again while the name exists.
    dialog.answers = {"2", "NEW"};
    document.cursor = {100, -100};
    EXPECT_TRUE(nets.OnConnectPinsClick());
    EXPECT_EQ(dialog.proposed, (std::vector<std::string>{"3", "3"}));
    ASSERT_EQ(nets.GetCount(), 3);
    const CNet& added = *nets.GetNet(2);
    EXPECT_EQ(added.GetName(), "NEW");
    EXPECT_EQ(nets.GetCurrentIndex(), 2);
    EXPECT_EQ(document.comboFills, 1);
    EXPECT_TRUE(HasPin(added, 0));
    EXPECT_FALSE(HasPin(zero, 0));
    EXPECT_EQ(document.padNets.back(), std::make_tuple(0, 0, 2));

    // A pin of the current net goes back to net 0.
    EXPECT_TRUE(nets.OnConnectPinsClick());
    EXPECT_EQ(added.GetPinCount(), 0);
    EXPECT_TRUE(HasPin(zero, 0));
    EXPECT_EQ(document.padNets.back(), std::make_tuple(0, 0, 0));

    // A real net current, pin of net 0: it joins the current net.
    document.cursor = {100000, 0};
    EXPECT_TRUE(nets.OnConnectPinsClick());
    EXPECT_TRUE(HasPin(added, 1));
    EXPECT_FALSE(HasPin(zero, 1));
    EXPECT_EQ(document.padNets.back(), std::make_tuple(1, 0, 2));

    // A pin of another real net makes that net current, from a real net and from net 0.
    document.cursor = {200000, 0};
    for (int32_t from : {2, 0}) {
        nets.SetCurrentNet(from);
        EXPECT_TRUE(nets.OnConnectPinsClick());
        EXPECT_EQ(nets.GetCurrentIndex(), 1);
    }
    EXPECT_EQ(document.padNets.size(), 3u);
    EXPECT_EQ(document.modified, 3);

    // Cancel adds no net.
    nets.SetCurrentNet(0);
    document.cursor = {0, 0};
    EXPECT_FALSE(nets.OnConnectPinsClick());
    EXPECT_EQ(nets.GetCount(), 3);
}

TEST(CNetArrayToDoTest, LinesSortByToDoAndLeadToTheirNet)
{
    CFakeServices fakes;
    CRecordingNetDocument document;
    CNetArray nets(document);
    const std::vector<std::pair<std::string, int32_t>> pinCounts = {
        {"VCC", 2}, {"ONE", 1}, {"GND", 12}, {"A_LONG_NAME", 3}};
    for (const auto& [name, pins] : pinCounts) {
        CNet& net = *nets.GetNet(nets.AddNet(name));
        for (int32_t p = 0; p < pins; ++p)
            AddPinAt(net, p * 1000, 0, p);
    }
    CNet& big = *nets.GetNet(nets.AddNet("BIG"));
    AddPinAt(big, 0, 0, 0);
    AddPinAt(big, 10, 0, 1);
    for (int32_t v = 0; v <= CNetArray::largeNetVertices; ++v)
        big.AppendVertex(v, 0, LAYER_TOP, 0);
    fakes.messages.QueueAnswer(IDCANCEL);

    nets.RecalcAll();
    EXPECT_EQ(fakes.messages.ShownTexts(),
              (std::vector<std::string>{"Net: 5 heeft 5001 records!\n"}));
    nets.BuildToDoList();
    EXPECT_EQ(nets.GetToDoList(),
              (std::vector<std::string>{"12   GND        12   ", "3    A_LONG_NAME 3    ",
                                        "2    VCC        2    "}));
    EXPECT_EQ(nets.GetToDoTotal(), 17);

    EXPECT_TRUE(nets.ShowToDoNet(1));
    EXPECT_EQ(nets.GetCurrentIndex(), 4);
    EXPECT_EQ(document.status, "Net: A_LONG_NAME, Pins: 3, ToDo:2");
    EXPECT_EQ(document.redraws, 1);
    EXPECT_FALSE(nets.ShowToDoNet(-1));
    EXPECT_FALSE(nets.ShowToDoNet(3));

    EXPECT_TRUE(nets.RefreshLeftPane(1));
    EXPECT_TRUE(nets.RefreshLeftPane(-1));
    EXPECT_FALSE(nets.RefreshLeftPane(2));
    EXPECT_EQ(document.leftPaneRows, (std::vector<int32_t>{2, -1}));
}

TEST(CNetArrayRouteTest, RoutesOnlyOnAnEnabledSignalLayer)
{
    struct Case {
        int32_t layer;
        bool disabled;
        bool fits;
        bool routed;
    };
    const Case cases[] = {
        {LAYER_SILK_TOP, false, true, false},
        {LAYER_BOTTOM, true, true, false},
        {LAYER_BOTTOM, false, false, false},
        {LAYER_BOTTOM, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layer);
        CRecordingNetDocument document;
        CNetArray nets(document);
        CNet& net = *nets.GetNet(nets.AddNet("A"));
        AddPinAt(net, 0, 0, 0);
        AddPinAt(net, 100000, 0, 1);
        net.CalcRatsnest(document);
        document.workLayer = c.layer;
        if (c.disabled)
            document.disabled.insert(c.layer);
        document.routeFits = c.fits;
        document.cursor = {50000, 1000};

        EXPECT_EQ(nets.RouteAtCursor(), c.routed);
        const bool asked = c.layer == LAYER_BOTTOM && !c.disabled;
        EXPECT_EQ(document.routes.size(), asked ? 1u : 0u);
        if (c.routed) {
            EXPECT_EQ(document.routes[0], (std::vector<int32_t>{LAYER_BOTTOM, 0, 0, 100000, 0}));
            EXPECT_EQ(nets.GetCurrentIndex(), 1);
            EXPECT_EQ(net.GetVertexCount(), 2);
            EXPECT_EQ(nets.GetSelectedCount(), 0);
        }
    }
}

TEST(CNetArrayErrorTest, DuplicatesAreDroppedInEitherOrder)
{
    CNetArray nets;
    auto record = [](int32_t net1, CPoint p1, int32_t net2, CPoint p2) {
        return CNetErrorRec({"Track", net1, p1}, {"Pad A(1)", net2, p2});
    };
    nets.AddError(record(1, {10, 20}, 3, {30, 40}));
    nets.AddError(record(2, {50, 60}, 4, {70, 80}));
    nets.AddError(record(3, {90, 10}, 5, {20, 30}));
    const CNetErrorRec sameOrSwapped[] = {record(7, {10, 20}, 8, {30, 40}),
                                          record(7, {30, 40}, 8, {10, 20})};
    for (const CNetErrorRec& again : sameOrSwapped)
        nets.AddError(again);
    EXPECT_EQ(nets.GetErrorCount(), 3);
    nets.AddError(record(1, {10, 20}, 3, {30, 41}));
    EXPECT_EQ(nets.GetErrorCount(), 4);

    nets.RemoveErrorsOfNet(3);
    ASSERT_EQ(nets.GetErrorCount(), 1);
    EXPECT_EQ(nets.GetError(0)->GetFirst().net, 2);

    nets.MoveAll(5, -5);
    CRecordingDC dc;
    nets.DrawErrors(dc, 10, 20, 10);
    // The line, and a ring of radius 6 pixels around its middle (7, 8).
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                              "SelectPen solid 1 0x00FFFFFF", "SelectBrush null", "MoveTo 6 7",
                              "LineTo 8 9", "Ellipse 1 2 14 15", "SelectBrush solid 0x00FFFFFF",
                              "SelectPen solid 0 0x00000000"}));
}

// Errors may name copper that a deletion took away: deleting anything drops them all.
TEST(CNetArrayErrorTest, DeletingCopperDropsTheErrors)
{
    CNetArray nets;
    CNet& net = *nets.GetNet(nets.AddNet("A"));
    net.AppendVertex(0, 0, LAYER_TOP, 0);
    net.AppendVertex(5000, 0, LAYER_TOP, net.AddPen(2000));
    nets.AddError(CNetErrorRec({"Track", 1, {0, 0}}, {"Track", 0, {0, 10}}));
    nets.DeleteSelected();
    EXPECT_EQ(nets.GetErrorCount(), 1) << "nothing was selected";
    net.SelectVertex(1, true);
    nets.DeleteSelected();
    EXPECT_EQ(nets.GetErrorCount(), 0);
}

} // namespace

// An undo snapshot is a copy of the list: it must not cost a copy of every net on a big board,
// nor may an edit of the live list reach the copy.
TEST(CNetArrayCopyTest, CopiesShareUntouchedNetsAndAnEditCopiesOnlyWhatItWrites)
{
    CNetArray live;
    for (const char* name : {"A", "B", "C"}) {
        const int32_t i = live.AddNet(name);
        live.GetNet(i)->AppendTrackVertex(100 * i, 0, LAYER_TOP, 1);
        live.GetNet(i)->AppendTrackVertex(100 * i, 500, LAYER_TOP, 1);
    }
    live.SetCurrentNet(1);
    live.SelectNet(2, true);
    const CNetArray& liveView = live;
    const CNet* untouched = liveView.GetNet(3);
    const auto bytesOf = [](const CNet* net) {
        CArchive ar;
        ar.WriteObject(net);
        return ar.TakeBuffer();
    };
    const Bytes before = bytesOf(untouched);

    const CNetArray copy(live);
    EXPECT_EQ(copy.GetNet(3), untouched) << "a net nobody is editing is shared";
    EXPECT_NE(copy.GetNet(1), liveView.GetNet(1)) << "the current net is copied at once";
    EXPECT_NE(copy.GetNet(2), liveView.GetNet(2)) << "a selected net is copied at once";
    EXPECT_EQ(copy.GetNet(2)->GetSelectedCount(), 0);
    EXPECT_EQ(liveView.GetNet(2)->GetSelectedCount(), 2);

    // Writing keeps the live net where it was, so that pointers into the design stay good, and
    // hands the copy an equal net of its own.
    CNet* writable = live.GetNet(3);
    EXPECT_EQ(writable, untouched);
    writable->AppendTrackVertex(900, 900, LAYER_TOP, 1);
    EXPECT_NE(copy.GetNet(3), liveView.GetNet(3));
    EXPECT_EQ(bytesOf(copy.GetNet(3)), before);
    EXPECT_EQ(liveView.GetNet(3)->GetVertexCount(), 3);

    // Deselecting the whole list writes only the nets that had a selection.
    const CNetArray second(live);
    live.SelectAll(false);
    EXPECT_EQ(second.GetNet(3), liveView.GetNet(3));
}
