#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "model/CComponent.h"
#include "model/CComponentDocument.h"
#include "model/CPadStack.h"
#include "model/CShapeLib.h"
#include "model/CWevraFont.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

TEST(CComponentRotation, IsKeptInOneTurnWithTheSideUntouched)
{
    constexpr int32_t minInt = std::numeric_limits<int32_t>::min();
    constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
    const struct {
        int32_t set;
        int32_t expected;
    } cases[] = {{-90000, 270000}, {-360000, 0}, {720000, 0},      {359999, 359999},
                 {360000, 0},      {-1, 359999}, {minInt, 276352}, {maxInt, 83647}};
    for (bool mirrored : {false, true}) {
        for (const auto& c : cases) {
            CComponent component("R1", "1k", 0, 0, 0, 0, mirrored);
            component.SetRotation(c.set);
            EXPECT_EQ(component.GetRotation(), c.expected) << c.set;
            EXPECT_EQ(component.IsMirrored(), mirrored) << c.set;
        }
    }
}

TEST(CComponentPadNets, SettingChecksPadAndNet)
{
    CComponent component;
    component.ResizePadNets(2);
    const struct {
        int32_t pad;
        int32_t net;
        bool accepted;
    } cases[] = {{1, 4, true},  {2, 1, false},  {-1, 1, false},
                 {0, 5, false}, {0, -1, false}, {0, 0, true}};
    for (const auto& c : cases)
        EXPECT_EQ(component.SetPadNet(c.pad, c.net, 5), c.accepted) << c.pad << " " << c.net;
    EXPECT_EQ(component.GetPadNets(), (std::vector<uint16_t>{0, 4}));
    // A net number is 16 bits wide in the file.
    EXPECT_FALSE(component.SetPadNet(0, 70000, 100000));
    EXPECT_FALSE(component.SetName(2, "x"));
}

// A shape cache holding one shape: a square top-side pad at (1000, 500), a round drilled pad at
// (-1000, 0), and a silkscreen-top line from (-2000, -1000) to (2000, -1000).
class CComponentShape : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_smd = m_cache.GetPadStacks().Add(CPadStack("SQ", PAD_SQUARE, -500, -500, 500, 500, 0,
                                                     LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        m_drilled = m_cache.GetPadStacks().Add(CPadStack(
            "RD", PAD_ROUND, -1000, -1000, 1000, 1000, 600, LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        const int32_t shape = m_cache.AddShape("L");
        m_cache.GetShape(shape)->AddPad(1000, 500, m_smd, 30000);
        m_cache.GetShape(shape)->AddPad(-1000, 0, m_drilled, 0);
        m_cache.GetShape(shape)->AddOutlineVertex(-2000, -1000, uint16_t(LAYER_SILK_TOP << 4));
        m_cache.GetShape(shape)->AddOutlineVertex(2000, -1000, uint16_t(LAYER_SILK_TOP << 4 | 1));
    }

    CShapeLib m_cache{CShapeLib::cacheName};
    int32_t m_smd = 0;
    int32_t m_drilled = 0;
};

TEST_F(CComponentShape, PadsAreMirroredThenTurnedThenPlaced)
{
    const struct {
        bool mirrored;
        int32_t rotation;
        CPoint pad;
    } cases[] = {
        {false, 0, {11000, 20500}},     {false, 90000, {10500, 19000}},
        {false, 180000, {9000, 19500}}, {false, 270000, {9500, 21000}},
        {false, 45000, {11061, 19646}}, {true, 0, {9000, 20500}},
        {true, 90000, {10500, 21000}},  {true, 180000, {11000, 19500}},
        {true, 270000, {9500, 19000}},  {true, 45000, {9646, 21061}},
    };
    for (const auto& c : cases) {
        CComponent component("U1", "x", 0, 10000, 20000, c.rotation, c.mirrored);
        EXPECT_EQ(component.GetPadPosition(0, m_cache), c.pad) << c.mirrored << " " << c.rotation;
    }
    CComponent component("U1", "x", 0, 10000, 20000, 350000, false);
    EXPECT_EQ(component.GetPadAngle(0, m_cache), 380000);
}

// The pins of a design are made from the one look-up: it must give what the single ones give,
// also for pads the shape lacks and for a component whose shape the cache lacks.
TEST_F(CComponentShape, PlacementIsWhatTheSingleLookUpsGive)
{
    for (const int32_t shape : {0, 7}) {
        for (const bool mirrored : {false, true}) {
            for (const int32_t rotation : {0, 90000, 45000, 350000}) {
                const CComponent component("U1", "x", shape, 10000, 20000, rotation, mirrored);
                for (const int32_t pad : {0, 1, 2, -1}) {
                    const CComponent::PadPlacement placed = component.GetPadPlacement(pad, m_cache);
                    EXPECT_EQ(placed.at, component.GetPadPosition(pad, m_cache));
                    EXPECT_EQ(placed.angle, component.GetPadAngle(pad, m_cache));
                    EXPECT_EQ(placed.padStack, component.GetPadStack(pad, m_cache));
                }
            }
        }
    }
}

TEST_F(CComponentShape, LoadRepairsShapeIndexPadNetsAndNets)
{
    CResourcePack pack;
    pack.SetString(IDS_COMPONENT_SHAPE_REPAIRED, "shape");
    pack.SetString(IDS_COMPONENT_PAD_NETS_REPAIRED, "pad nets");
    pack.SetString(IDS_COMPONENT_NET_REPAIRED, "net");
    CResourcePack::SetCurrent(pack);

    const struct {
        int32_t shape;
        std::vector<uint16_t> nets;
        int32_t expectedShape;
        std::vector<uint16_t> expectedNets;
        std::vector<std::string> warnings;
    } cases[] = {
        {0, {1, 4}, 0, {1, 4}, {}},      {1, {1, 4}, -1, {}, {"shape", "pad nets"}},
        {-7, {}, -1, {}, {"shape"}},     {0, {3}, 0, {3, 0}, {"pad nets"}},
        {0, {5, 4}, 0, {0, 4}, {"net"}},
    };
    for (const auto& c : cases) {
        CComponent component("U1", "x", c.shape, 0, 0, 0, false);
        component.ResizePadNets(int32_t(c.nets.size()));
        for (size_t n = 0; n < c.nets.size(); ++n)
            component.SetPadNet(int32_t(n), c.nets[n], 6);
        CArchive ar(Bytes{});
        component.RepairAfterLoad(ar, m_cache, 5);
        EXPECT_EQ(component.GetShapeIndex(), c.expectedShape) << c.shape;
        EXPECT_EQ(component.GetPadNets(), c.expectedNets) << c.shape;
        EXPECT_EQ(ar.GetLoadWarnings(), c.warnings) << c.shape;
    }
    CResourcePack::SetCurrent(CResourcePack());
}

// Colours: layer L is 0x10 + L in the normal set and 0x2000 + L in the highlight set.
class CFakeComponentDocument : public CComponentDocument {
public:
    explicit CFakeComponentDocument(const CShapeLib& cache) : m_cache(cache) {}

    const CShapeLib& GetShapeCache() const override { return m_cache; }
    const CWevraFont& GetFont() const override { return font; }
    CPoint GetViewOffset() const override { return CPoint(0, 0); }
    int32_t GetScale() const override { return 10; }
    COLORREF GetLayerColor(int32_t layer, int32_t colorSet) const override
    {
        return COLORREF(colorSet == highlightSet ? 0x2000 + layer : 0x10 + layer);
    }
    CPen GetLayerPen(int32_t layer, int32_t colorSet) const override
    {
        return CPen(CPen::Style::Solid, 1, GetLayerColor(layer, colorSet));
    }
    CBrush GetLayerBrush(int32_t layer, int32_t colorSet) const override
    {
        return CBrush(GetLayerColor(layer, colorSet));
    }
    CPen GetUnconnectedPadPen() const override { return CPen(CPen::Style::Solid, 1, 0x777777); }
    CBrush GetUnconnectedPadBrush() const override { return CBrush(0x777777); }
    CPen GetHolePen() const override { return CPen(CPen::Style::Solid, 1, 0x555555); }
    CBrush GetHoleBrush() const override { return CBrush(0x555555); }
    int32_t GetCurrentNet() const override { return currentNet; }
    int32_t GetNetCount() const override { return netCount; }

    CWevraFont font;
    int32_t currentNet = 0;
    int32_t netCount = 1;

private:
    const CShapeLib& m_cache;
};

class CComponentDraw : public CComponentShape {
protected:
    void SetUp() override
    {
        CComponentShape::SetUp();
        m_cache.SetScale(10);
        m_component.ResizePadNets(2);
        m_component.SetPadNet(0, 5, 6);
    }

    CComponent m_component{"L", "x", 0, 10000, 20000, 0, false};
    CFakeComponentDocument m_document{m_cache};
};

// The square pad turned by its own 30 degrees about (1100, 2050); the round pad at (900, 2000).
const std::string square = "Polygon 1032 2032, 1118 1982, 1168 2068, 1082 2118, 1032 2032";
const std::string round = "Ellipse 800 1900 1000 2100";
const std::string restore[] = {"SelectPen solid 0 0x00000000", "SelectBrush solid 0x00FFFFFF"};

TEST_F(CComponentDraw, PadPensFollowTheCurrentNet)
{
    using Lines = std::vector<std::string>;
    const std::string normal[] = {"SelectPen solid 1 0x00000011", "SelectBrush solid 0x00000011"};
    const std::string highlight[] = {"SelectPen solid 1 0x00002001",
                                     "SelectBrush solid 0x00002001"};
    CRecordingDC dc;
    m_document.currentNet = 5;
    m_document.netCount = 6;
    m_component.DrawPads(dc, m_document, LAYER_TOP, false);
    EXPECT_EQ(dc.Lines(), (Lines{highlight[0], highlight[1], square, normal[0], normal[1], round,
                                 restore[0], restore[1]}));

    // With a single net the current one is not told apart.
    m_document.netCount = 1;
    dc.Clear();
    m_component.DrawPads(dc, m_document, LAYER_TOP, false);
    EXPECT_EQ(dc.Lines(), (Lines{normal[0], normal[1], square, round, restore[0], restore[1]}));

    // Pads on no net, once a netlist is there.
    m_document.netCount = 6;
    m_document.currentNet = 0;
    dc.Clear();
    m_component.DrawPadsOnLayer(dc, m_document, LAYER_TOP, false);
    EXPECT_EQ(dc.Lines(), (Lines{normal[0], normal[1], square, "SelectPen solid 1 0x00777777",
                                 "SelectBrush solid 0x00777777", round, restore[0], restore[1]}));
    dc.Clear();
    m_component.DrawPadsOnLayer(dc, m_document, LAYER_TOP, true);
    EXPECT_EQ(dc.Lines(),
              (Lines{highlight[0], highlight[1], square, round, restore[0], restore[1]}));
}

TEST_F(CComponentDraw, BottomSideComponentsShowTheirShapeFromBelow)
{
    CRecordingDC dc;
    m_component.DrawPadsPlain(dc, m_document, LAYER_BOTTOM);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{round}));
    dc.Clear();
    m_component.DrawOutline(dc, m_document, LAYER_SILK_TOP, false);
    EXPECT_EQ(dc.Lines(),
              (std::vector<std::string>{"SelectPen solid 201 0x00000025", "MoveTo 800 1900",
                                        "LineTo 1200 1900", restore[0]}));

    m_component.SetMirrored(true);
    dc.Clear();
    m_component.DrawPadsPlain(dc, m_document, LAYER_TOP);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{"Ellipse 1000 1900 1200 2100"}));
    dc.Clear();
    m_component.DrawPadsPlain(dc, m_document, LAYER_BOTTOM);
    EXPECT_EQ(dc.Lines(),
              (std::vector<std::string>{"Polygon 832 2032, 918 1982, 968 2068, 882 2118, 832 2032",
                                        "Ellipse 1000 1900 1200 2100"}));
    dc.Clear();
    m_component.DrawOutline(dc, m_document, LAYER_SILK_TOP, false);
    EXPECT_TRUE(dc.Lines().empty());
    m_component.DrawOutline(dc, m_document, LAYER_SILK_BOTTOM, true);
    EXPECT_EQ(dc.Lines(),
              (std::vector<std::string>{"SelectPen solid 201 0x00002016", "MoveTo 1200 1900",
                                        "LineTo 800 1900", restore[0]}));
}

TEST_F(CComponentDraw, HolesAndTexts)
{
    CRecordingDC dc;
    m_component.DrawHoles(dc, m_document, 50, 400); // 300 raised to the minimum
    m_component.DrawHoles(dc, m_document, 100, 400);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                              "SelectPen solid 1 0x00555555", "SelectBrush solid 0x00555555",
                              "Ellipse 880 1980 920 2020", restore[0], restore[1],
                              "SelectPen solid 1 0x00555555", "SelectBrush solid 0x00555555",
                              "Ellipse 870 1970 930 2030", restore[0], restore[1]}));

    // The letter L of the stroke font, mirrored and then turned a quarter about its point.
    ASSERT_TRUE(m_document.font.Load(std::filesystem::path(WEVRA_BUILD_DIR) / "bin" /
                                     CWevraFont::fileName));
    m_component.SetMirrored(true);
    m_component.SetTextPoint(CComponent::textReference, CPoint(10000, 20000));
    m_component.SetTextAngle(CComponent::textReference, 90000);
    dc.Clear();
    m_component.DrawText(dc, m_document, CComponent::textReference, 4800);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{"MoveTo 1090 2090", "LineTo 1570 2090",
                                                    "LineTo 1570 2360"}));
}

// R1 / 10k, shape 2 at (1000, -2000), turned 90 degrees on the bottom side, Move locked and
// from the netlist, group 3, cluster 4, pads on nets 0 and 5, one part field "a".
const Bytes smallComponent = Concat({
    {0xE8, 0x03, 0x00, 0x00, 0x30, 0xF8, 0xFF, 0xFF}, // position
    {0x90, 0x5F, 0x11, 0x00},                         // rotation word
    {0x00, 0x02, 0x00, 0x04},                         // flags
    {0x02, 0x00, 0x00, 0x00},                         // shape index
    {0x03, 0x00, 0x04, 0x00},                         // group, cluster
    {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}, // reference text point
    {0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00}, // type text point
    {0x05, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00}, // shape-name text point
    {0x00, 0x00, 0x00, 0x00, 0x90, 0x5F, 0x01, 0x00, 0x07, 0x00, 0x00, 0x00}, // text angles
    {0x02, 0x00, 0x00, 0x00, 0x05, 0x00},                                     // pad nets
    {0x02, 0x00, 0x02, 'R', '1', 0x03, '1', '0', 'k'},                        // names
    {0x01, 0x00, 0x01, 'a'},                                                  // part fields
});

TEST(CComponentRecord, MatchesTheFileFormat)
{
    CComponent component("R1", "10k", 2, 1000, -2000, 90000, true);
    component.SetFlag(ComponentFlags::lockMove | ComponentFlags::fromNetlist, true);
    component.SetGroup(3);
    component.SetCluster(4);
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        component.SetTextPoint(kind, CPoint(2 * kind + 1, 2 * kind + 2));
    component.SetTextAngle(CComponent::textType, 90000);
    component.SetTextAngle(CComponent::textShapeName, 7);
    component.ResizePadNets(2);
    component.SetPadNet(1, 5, 6);
    component.GetPartFields().push_back("a");
    EXPECT_EQ(Store(component), smallComponent);

    CComponent loaded;
    Load(loaded, smallComponent);
    EXPECT_EQ(Store(loaded), smallComponent);
    EXPECT_EQ(loaded.GetPosition(), CPoint(1000, -2000));
    EXPECT_EQ(loaded.GetRotation(), 90000);
    EXPECT_TRUE(loaded.IsMirrored());
    EXPECT_EQ(loaded.GetType(), "10k");
    EXPECT_EQ(loaded.GetPadNet(1), 5);

    ExpectEveryPrefixFails(smallComponent, [](CArchive& ar) {
        CComponent c;
        c.Serialize(ar);
    });
}

TEST(CComponentRecord, LoadsDeselectedAndWithBothNames)
{
    CResourcePack pack;
    pack.SetString(IDS_COMPONENT_NAMES_REPAIRED, "names");
    CResourcePack::SetCurrent(pack);

    Bytes selected = smallComponent;
    selected[12] |= 0xC0; // selected and locked against selection
    selected[10] |= 0x20; // a rotation-word bit this program never sets
    CComponent component;
    Load(component, selected);
    EXPECT_FALSE(component.IsSelected());
    component.SetRotation(-1);
    EXPECT_EQ(component.GetRotationWord(), 0x200000u | 0x100000u | 359999u);
    EXPECT_EQ(component.GetFlags(),
              ComponentFlags::lockMove | ComponentFlags::lockSelect | ComponentFlags::fromNetlist);

    // A record that names only the reference.
    Bytes oneName(smallComponent.begin(), smallComponent.begin() + 66);
    oneName = Concat({oneName, {0x01, 0x00, 0x02}, Ascii("R1"), {0x00, 0x00}});
    CArchive ar(oneName);
    component.Serialize(ar);
    EXPECT_EQ(component.GetReference(), "R1");
    EXPECT_EQ(component.GetType(), "type");
    EXPECT_EQ(ar.GetLoadWarnings(), std::vector<std::string>{"names"});
    CResourcePack::SetCurrent(CResourcePack());
}

} // namespace
