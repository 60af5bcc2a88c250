#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/CShapeLibDocument.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

// Padstacks of the standard table: 0 is drilled, 42 a top-side SMD pad.
constexpr int32_t DRILLED = 0;
constexpr int32_t SMD = 42;

uint16_t Word(int32_t layer, int32_t pen)
{
    return uint16_t(layer << 4 | pen);
}

class CFakeDocument : public CShapeLibDocument {
public:
    std::vector<int32_t> GetComponentShapeIndexes() const override { return componentShapes; }
    std::vector<int32_t> GetNetPadStackIndexes() const override { return netPadStacks; }
    void RenumberNetPadStacks(const std::vector<int32_t>& newIndex) override
    {
        ++renumbered;
        for (int32_t& k : netPadStacks)
            k = newIndex[size_t(k)];
    }
    void NormalizePadStackKinds(CShapeLib&) override { ++kindPasses; }

    std::vector<int32_t> componentShapes;
    std::vector<int32_t> netPadStacks;
    int renumbered = 0;
    int kindPasses = 0;
};

// A shape with one pad per padstack index given.
int32_t AddShapeWithPads(CShapeLib& lib, const std::string& name, std::vector<int32_t> stacks)
{
    const int32_t i = lib.AddShape(name);
    for (size_t n = 0; n < stacks.size(); ++n)
        lib.GetShape(i)->AddPad(int32_t(n) * 1000, 0, stacks[n], 0);
    return i;
}

TEST(CShapeLibShapes, DeletingKeepsTheCurrentShapeStorable)
{
    CShapeLib lib;
    lib.AddShape("DIP8");
    lib.AddShape("SO8");
    EXPECT_EQ(lib.FindShape("so8"), 1);
    lib.SetCurShape(7);
    EXPECT_EQ(lib.GetCurShape(), 1);
    EXPECT_TRUE(lib.DeleteShape(1));
    EXPECT_EQ(lib.GetCurShape(), 0);
}

TEST(CShapeLibShapes, NormaliseAnchorsOnTheDrillOrTheCentre)
{
    CShapeLib lib;
    // Through-hole: the first pad goes to the origin.
    AddShapeWithPads(lib, "TH", {DRILLED, DRILLED});
    lib.GetShape(0)->Offset(1000, 2000);
    // Surface pads and an outline point: the centre of their box.
    const int32_t smd = AddShapeWithPads(lib, "SMD", {SMD, SMD});
    lib.GetShape(smd)->SetPad(1, 3001, 1000, SMD, 0);
    lib.GetShape(smd)->SetPad(0, 1000, 1000, SMD, 0);
    lib.AddOutlineToShape(smd, 0, 0, Word(LAYER_SILK_TOP, 0));
    const int32_t empty = lib.AddShape("EMPTY");

    lib.NormalizeAll();
    EXPECT_EQ(lib.GetShape(0)->GetPadPos(0), CPoint(0, 0));
    EXPECT_EQ(lib.GetShape(0)->GetPadPos(1), CPoint(1000, 0));
    EXPECT_EQ(lib.GetShapeExtent(0), CRect(-1000, -1000, 1000, 1000));
    EXPECT_EQ(lib.GetShape(smd)->GetPadPos(0), CPoint(-500, 500));
    EXPECT_EQ(lib.GetShape(smd)->GetPadPos(1), CPoint(1501, 500));
    EXPECT_EQ(lib.GetShape(smd)->GetOutlinePoint(0), CPoint(-1500, -500));
    EXPECT_EQ(lib.GetShapeExtent(smd), CRect(-1500, -500, 1501, 1500));
    EXPECT_EQ(lib.GetShapeExtent(empty), CRect(-10, -10, 10, 10));
}

TEST(CShapeLibShapes, CompareShapesReportsEachDifference)
{
    struct Case {
        const char* what;
        std::vector<int32_t> padsA, padsB;
        std::vector<uint16_t> wordsA, wordsB;
        uint32_t mask;
    };
    const uint16_t move = Word(21, 0), line21 = Word(21, 1), line22 = Word(22, 1);
    const std::vector<Case> cases = {
        {"equal", {1, 2}, {1, 2}, {move, line21}, {move, line21}, 0},
        {"pad count", {1, 2}, {1}, {move, line21}, {move, line21}, 1},
        {"outline count", {1}, {1}, {move}, {move, line21}, 2},
        {"padstack", {1, 2}, {1, 3}, {}, {}, 4},
        {"line layer", {}, {}, {move, line21}, {move, line22}, 8},
        {"move-to layer only", {}, {}, {Word(22, 0), line21}, {move, line21}, 0},
        {"both counts", {1}, {}, {move}, {}, 3},
    };
    for (const Case& c : cases) {
        CShapeLib lib;
        const int32_t a = AddShapeWithPads(lib, "A", c.padsA);
        const int32_t b = AddShapeWithPads(lib, "B", c.padsB);
        for (uint16_t w : c.wordsA)
            lib.AddOutlineToShape(a, 0, 0, w);
        for (uint16_t w : c.wordsB)
            lib.AddOutlineToShape(b, 0, 0, w);
        EXPECT_EQ(lib.CompareShapes(a, b), c.mask) << c.what;
    }
    CShapeLib lib;
    EXPECT_EQ(lib.CompareShapes(0, 0), 15u);
}

class CShapeLibImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two pads on identical padstacks, lines with pens 1 (2015) and 2 (1000).
        const int32_t dip = AddShapeWithPads(source, "DIP", {SMD, SMD});
        source.FindOrAddPen(1000);
        source.AddOutlineToShape(dip, 0, 0, Word(21, 0));
        source.AddOutlineToShape(dip, 100, 0, Word(21, 2));
        source.AddOutlineToShape(dip, 200, 0, Word(21, 1));
        target.GetPadStacks().RemoveAll();
    }

    CShapeLib source{"Source"};
    CShapeLib target{"Cache"};
};

TEST_F(CShapeLibImport, CopiesPadstacksOnceAndMapsPensByWidth)
{
    target.FindOrAddPen(1500);
    ASSERT_EQ(target.ImportShape(source, 0, ""), 0);
    const CShape& copy = *target.GetShape(0);
    EXPECT_EQ(copy.GetName(), "DIP");
    EXPECT_EQ(target.GetPadStacks().GetCount(), 1);
    EXPECT_EQ(target.GetPadStacks().GetName(0), "TOP RCT W0.45_H0.90");
    EXPECT_EQ(copy.GetPadStackIndex(0), 0);
    EXPECT_EQ(copy.GetPadStackIndex(1), 0);
    EXPECT_EQ(target.GetPens(), (std::vector<uint16_t>{0, 2015, 1500, 1000}));
    EXPECT_EQ(copy.GetOutlinePen(0), 0);
    EXPECT_EQ(copy.GetOutlinePen(1), 3);
    EXPECT_EQ(copy.GetOutlinePen(2), 1);
    EXPECT_EQ(copy.GetExtent(), CRect(-1000, -1000, 1000, 1000));

    // A name already present, in any case, is returned and nothing is copied.
    EXPECT_EQ(target.ImportShape(source, 0, "dip"), 0);
    EXPECT_EQ(target.GetCount(), 1);
    // Copying a shape of the library itself under another name.
    EXPECT_EQ(target.ImportShape(target, 0, "DIP2"), 1);
    EXPECT_EQ(target.GetPadStacks().GetCount(), 1);
    EXPECT_EQ(target.ImportShape(source, 5, "X"), -1);
}

TEST_F(CShapeLibImport, ByNameAndReplaceFindTheirShapes)
{
    CShapeLibArray libraries;
    libraries.AddLib(std::make_unique<CShapeLib>("Empty"));
    libraries.AddLib(std::make_unique<CShapeLib>(source));
    EXPECT_EQ(target.ImportShapeByName(libraries, "dip"), -1);
    EXPECT_EQ(target.ImportShapeByName(libraries, "DIP"), 0);
    EXPECT_EQ(target.GetCount(), 1);

    EXPECT_EQ(target.ReplaceShape("SO8", source, 0), -1);
    target.AddShape("other");
    target.GetShape(0)->SetPadStackIndex(0, 5);
    EXPECT_EQ(target.ReplaceShape("dip", source, 0), 0);
    EXPECT_EQ(target.GetShape(0)->GetPadStackIndex(0), 0);
    EXPECT_EQ(target.GetCount(), 2);
}

// What a library file brings back of the library, with its current shape and pen table
// replaced as a file may have them.
class CShapeLibFromFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        CResourcePack pack;
        pack.SetString(IDS_SHAPE_PADSTACK_REPAIRED, "padstack repaired");
        pack.SetString(IDS_SHAPE_PEN_REPAIRED, "pen repaired");
        pack.SetString(IDS_CURRENT_INDEX_REPAIRED, "current repaired");
        CResourcePack::SetCurrent(pack);
    }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    // Loads `lib` as stored, with the stored current shape and pen table replaced.
    CShapeLib Reload(CShapeLib& lib, int32_t curShape, const std::vector<uint16_t>& pens)
    {
        Bytes bytes = Store(lib);
        const size_t cur = 4 + 1 + lib.GetName().size();
        const size_t table = cur + 4;
        const Bytes current = I32(curShape);
        std::copy(current.begin(), current.end(), bytes.begin() + ptrdiff_t(cur));
        Bytes newTable = U16(uint16_t(pens.size()));
        for (uint16_t width : pens)
            newTable = Concat({newTable, U16(width)});
        bytes.erase(bytes.begin() + ptrdiff_t(table),
                    bytes.begin() + ptrdiff_t(table + 2 + 2 * lib.GetPens().size()));
        bytes.insert(bytes.begin() + ptrdiff_t(table), newTable.begin(), newTable.end());
        CShapeLib loaded;
        CArchive ar(bytes);
        loaded.Serialize(ar);
        warnings = ar.GetLoadWarnings();
        return loaded;
    }

    std::vector<std::string> warnings;
};

TEST_F(CShapeLibFromFile, SortPensMergesAndRenumbersWithinReach)
{
    struct Case {
        std::vector<uint16_t> table;
        std::vector<int32_t> pens;
        std::vector<uint16_t> sortedTable;
        std::vector<int32_t> sortedPens;
    };
    std::vector<uint16_t> wide = {0};
    for (uint16_t w = 100; w <= 1500; w += 100)
        wide.push_back(w);
    std::vector<uint16_t> tooWide = wide;
    for (uint16_t w : {50, 60, 70, 80})
        tooWide.push_back(w);
    const std::vector<Case> cases = {
        {{0, 3000, 1000, 3000, 2000}, {1, 2, 3, 4}, {0, 1000, 2000, 3000}, {3, 1, 3, 2}},
        {{0}, {}, {0, 2015}, {}},
        // Widths past the last pen a vertex can name never push a used pen out of reach.
        {tooWide, {15, 1}, wide, {15, 1}},
    };
    for (const Case& c : cases) {
        CShapeLib lib("L");
        const int32_t s = lib.AddShape("S");
        lib.AddOutlineToShape(s, 0, 0, Word(21, 0));
        for (int32_t pen : c.pens)
            lib.AddOutlineToShape(s, 0, 0, Word(21, pen));
        CShapeLib loaded = Reload(lib, 0, c.table);
        loaded.SortPens();
        EXPECT_EQ(loaded.GetPens(), c.sortedTable);
        for (size_t n = 0; n < c.pens.size(); ++n)
            EXPECT_EQ(loaded.GetShape(0)->GetOutlinePen(int32_t(n) + 1), c.sortedPens[n]);
        EXPECT_EQ(loaded.GetCurPen(), 1);
    }
}

TEST(CShapeLibPens, FindOrAddPenStaysWithinTheVerticesReach)
{
    CShapeLib lib;
    EXPECT_EQ(lib.FindOrAddPen(2015), 1);
    for (int32_t width = 100; width <= 1400; width += 100)
        lib.FindOrAddPen(width);
    ASSERT_EQ(lib.GetPens().size(), 16u);
    EXPECT_EQ(lib.FindOrAddPen(1990), 1);
    EXPECT_EQ(lib.FindOrAddPen(1340), 14);
    EXPECT_EQ(lib.GetCurPen(), 14);
    EXPECT_EQ(lib.GetPens().size(), 16u);
}

TEST_F(CShapeLibFromFile, IndexesBeyondTheTablesAreRepairedOnce)
{
    CShapeLib lib("Lib");
    lib.GetPadStacks().SetDefault(PADSTACK_KIND_SHAPE_PAD, 3);
    AddShapeWithPads(lib, "S", {300, 5, 44});
    lib.AddOutlineToShape(0, 0, 0, Word(21, 0));
    lib.AddOutlineToShape(0, 0, 0, Word(21, 9));
    lib.AddOutlineToShape(0, 0, 0, Word(21, 1));

    CShapeLib loaded = Reload(lib, 7, {0, 2015});
    const CShape& shape = *loaded.GetShape(0);
    EXPECT_EQ(shape.GetPadStackIndex(0), 3);
    EXPECT_EQ(shape.GetPadStackIndex(1), 5);
    EXPECT_EQ(shape.GetPadStackIndex(2), 3);
    EXPECT_EQ(shape.GetOutlinePen(1), 1);
    EXPECT_EQ(loaded.GetCurShape(), 0);
    EXPECT_EQ(warnings,
              (std::vector<std::string>{"padstack repaired", "pen repaired", "current repaired"}));
    // A library's padstacks are all shape padstacks once loaded; the cache keeps its kinds.
    EXPECT_TRUE(loaded.GetPadStacks().IsShapePadKind(0));
    EXPECT_FALSE(loaded.GetPadStacks().IsPadKind(0));
    lib.SetName("Cache");
    EXPECT_TRUE(Reload(lib, 0, {0, 2015}).GetPadStacks().IsPadKind(0));

    // A damaged record leaves the library as it was.
    Bytes bytes = Store(lib);
    bytes.pop_back();
    CArchive ar(bytes);
    EXPECT_THROW(loaded.Serialize(ar), CArchiveException);
    EXPECT_EQ(loaded.GetName(), "Lib");
    EXPECT_EQ(loaded.GetShape(0)->GetPadStackIndex(0), 3);
}

// ---- Padstacks -------------------------------------------------------------------------------

class CShapeLibPadStacks : public ::testing::Test {
protected:
    CShapeLib cache{"Cache"};
    CFakeDocument document;
};

TEST_F(CShapeLibPadStacks, DeleteRefusesWhatIsInUse)
{
    CShapeLib lib("Lib");
    AddShapeWithPads(lib, "S", {4});
    EXPECT_FALSE(lib.DeletePadStack(document, 4)); // a pad uses it
    EXPECT_FALSE(lib.DeletePadStack(document, 44));
    EXPECT_FALSE(lib.DeletePadStack(document, -1));
    lib.GetPadStacks().SetShapePadKind(6, true);
    EXPECT_FALSE(lib.DeletePadStack(document, 6));
    EXPECT_TRUE(lib.DeletePadStack(document, 7));

    CShapeLib single("One");
    single.GetPadStacks().RemoveAll();
    single.GetPadStacks().Add(CPadStack());
    EXPECT_FALSE(single.DeletePadStack(document, 0));
}

TEST_F(CShapeLibPadStacks, DeleteRenumbersPadsVerticesAndDefaultsOnce)
{
    AddShapeWithPads(cache, "S", {20, 4});
    document.componentShapes = {0};
    document.netPadStacks = {25, 3};
    cache.GetPadStacks().SetDefault(PADSTACK_KIND_PAD, 10);
    cache.GetPadStacks().SetDefault(PADSTACK_KIND_VIA, 30);
    cache.GetPadStacks().SetDefault(PADSTACK_KIND_SHAPE_PAD, 43);

    EXPECT_FALSE(cache.DeletePadStack(document, 3)); // a via uses it
    ASSERT_TRUE(cache.DeletePadStack(document, 2));
    EXPECT_EQ(cache.GetShape(0)->GetPadStackIndex(0), 19);
    EXPECT_EQ(cache.GetShape(0)->GetPadStackIndex(1), 3);
    EXPECT_EQ(document.netPadStacks, (std::vector<int32_t>{24, 2}));
    EXPECT_EQ(document.renumbered, 1);
    EXPECT_EQ(cache.GetPadStacks().GetDefault(PADSTACK_KIND_PAD), 9);
    EXPECT_EQ(cache.GetPadStacks().GetDefault(PADSTACK_KIND_VIA), 29);
    EXPECT_EQ(cache.GetPadStacks().GetDefault(PADSTACK_KIND_SHAPE_PAD), 42);
    EXPECT_EQ(cache.GetPadStacks().GetCount(), 43);
}

TEST_F(CShapeLibPadStacks, DeleteUnusedKeepsDefaultsAndEveryShapesPadstacks)
{
    AddShapeWithPads(cache, "Placed", {3});
    AddShapeWithPads(cache, "NotPlaced", {7});
    document.componentShapes = {0, 0};
    document.netPadStacks = {10};
    cache.GetPadStacks().SetDefault(PADSTACK_KIND_PAD, 40);

    cache.DeleteUnusedPadStacks(document);
    const CPadStackArray& table = cache.GetPadStacks();
    ASSERT_EQ(table.GetCount(), 5);
    const std::vector<std::string> names = {"CIR 0.80 H0.60", "CIR 1.20 H1.00", "CIR 2.20 H1.50",
                                            "CIR 3.50 H3.20", "SQR 5.50 H5.20"};
    for (int32_t k = 0; k < 5; ++k)
        EXPECT_EQ(table.GetName(k), names[size_t(k)]);
    EXPECT_EQ(cache.GetShape(0)->GetPadStackIndex(0), 1);
    EXPECT_EQ(cache.GetShape(1)->GetPadStackIndex(0), 2);
    EXPECT_EQ(document.netPadStacks, (std::vector<int32_t>{3}));
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_PAD), 4);
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_VIA), 0);
    EXPECT_EQ(document.renumbered, 1);
    EXPECT_EQ(document.kindPasses, 1);

    // A library with nothing in use keeps one padstack and never reaches the design's kinds.
    CShapeLib lib("Lib");
    lib.DeleteUnusedPadStacks(document);
    EXPECT_EQ(lib.GetPadStacks().GetCount(), 1);
    EXPECT_EQ(lib.GetPadStacks().GetName(0), "CIR 0.80 H0.60");
    EXPECT_EQ(document.kindPasses, 1);
    EXPECT_EQ(document.renumbered, 1);
}

TEST_F(CShapeLibPadStacks, InsertShiftsLaterIndexesEverywhere)
{
    AddShapeWithPads(cache, "S", {5, 2});
    document.netPadStacks = {5, 2};
    cache.GetPadStacks().SetDefault(PADSTACK_KIND_PAD, 5);
    const std::string third = cache.GetPadStacks().GetName(3);

    // The copy of one of the table's own padstacks survives the shifting.
    ASSERT_TRUE(cache.InsertPadStack(document, *cache.GetPadStacks().GetPadStack(3), 4));
    EXPECT_EQ(cache.GetPadStacks().GetCount(), 45);
    EXPECT_EQ(cache.GetPadStacks().GetName(4), third);
    EXPECT_EQ(cache.GetPadStacks().GetLayerMask(4, false),
              cache.GetPadStacks().GetLayerMask(3, false));
    EXPECT_EQ(cache.GetShape(0)->GetPadStackIndex(0), 6);
    EXPECT_EQ(cache.GetShape(0)->GetPadStackIndex(1), 2);
    EXPECT_EQ(document.netPadStacks, (std::vector<int32_t>{6, 2}));
    EXPECT_EQ(cache.GetPadStacks().GetDefault(PADSTACK_KIND_PAD), 6);
    EXPECT_EQ(cache.GetPadStackUse(4), 0u);

    // At the end nothing moves.
    CPadStack extra;
    extra.SetName("END");
    ASSERT_TRUE(cache.InsertPadStack(document, extra, 45));
    EXPECT_EQ(cache.GetPadStacks().GetName(45), "END");
    EXPECT_EQ(document.renumbered, 1);
    EXPECT_FALSE(cache.InsertPadStack(document, extra, 47));
}

// ---- Drawing ---------------------------------------------------------------------------------

TEST(CShapeLibDrawing, OutlineRunsAndPadsOfOneLayer)
{
    CShapeLib lib;
    lib.SetScale(10);
    AddShapeWithPads(lib, "S", {SMD});
    lib.AddOutlineToShape(0, 0, 0, Word(21, 0));
    lib.AddOutlineToShape(0, 1000, 0, Word(21, 1));
    lib.AddOutlineToShape(0, 1000, 1000, Word(21, 1));
    lib.AddOutlineToShape(0, 0, 0, Word(22, 0));
    lib.AddOutlineToShape(0, 500, 0, Word(22, 1));

    CRecordingDC dc;
    dc.SelectPen(CPen(CPen::Style::Solid, 1, RGB(255, 0, 0)));
    dc.Clear();
    lib.DrawShape(dc, 0, 100, 200, LAYER_SILK_TOP);
    lib.DrawShape(dc, 0, 100, 200, LAYER_TOP);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                              "SelectPen solid 0 0x00000000",
                              "SelectPen solid 1 0x000000FF",
                              "SelectPen solid 201 0x000000FF",
                              "MoveTo 10 20",
                              "LineTo 110 20",
                              "LineTo 110 120",
                              "SelectPen solid 1 0x000000FF",
                              "SelectPen solid 0 0x00000000",
                              "SelectPen solid 1 0x000000FF",
                              "Polygon -216 -433, 236 -433, 236 473, -216 473, -216 -433",
                          }));

    // As a component: mirrored, then turned, then placed.
    dc.Clear();
    lib.DrawComponentOutline(dc, 0, 100, 200, 90000, true, LAYER_SILK_TOP, RGB(0, 255, 0));
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                              "SelectPen solid 201 0x0000FF00",
                              "MoveTo 10 20",
                              "LineTo 10 120",
                              "LineTo 110 120",
                              "SelectPen solid 1 0x000000FF",
                          }));
}

} // namespace
