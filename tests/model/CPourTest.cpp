#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "model/CPour.h"
#include "model/LayerMaps.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

// The fields every record below shares after its name and spacing: net 3, layer 1, seed
// (1000, 2000), style 2, pen width 2015, hatch grid 6047, rotation 45000, flags 1, and an
// outline of (10, 20), (30, 40).
const Bytes commonFields = {
    0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,             // net, layer
    0xE8, 0x03, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00,             // seed
    0x02, 0x00, 0x00, 0x00, 0xDF, 0x07, 0x00, 0x00,             // style, pen width
    0x9F, 0x17, 0x00, 0x00, 0xC8, 0xAF, 0x00, 0x00,             // hatch grid, rotation
    0x01, 0x00, 0x00, 0x00,                                     // flags
    0x02, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00, // outline
    0x1E, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
};
// Name "Q", minimal space 512, second parameter 7.
const Bytes namedFields = {0x01, 'Q', 0x00, 0x02, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};

std::unique_ptr<CPour> Square(int32_t left, int32_t top, int32_t side)
{
    auto pour = std::make_unique<CPour>(0, 1, left + side / 2, top + side / 2, 1, 2015, 6047, 0);
    const CPoint ring[] = {{left, top},
                           {left + side, top},
                           {left + side, top + side},
                           {left, top + side},
                           {left, top}};
    for (const CPoint& p : ring)
        pour->GetOutline().SetAtGrow(pour->GetOutline().GetSize(), p.x, p.y);
    return pour;
}

std::vector<CPoint> Outline(const CPour& pour)
{
    const CPointArray& outline = pour.GetOutline();
    return std::vector<CPoint>(outline.GetData(), outline.GetData() + outline.GetSize());
}

TEST(CPourFile, StoresTheRecordByteForByteAndReadsItBack)
{
    CPour pour(3, 1, 1000, 2000, 2, 2015, 6047, 45000);
    pour.SetName("Q");
    pour.SetMinSpace(512);
    pour.SetSecondParam(7);
    pour.GetOutline().SetAtGrow(0, 10, 20);
    pour.GetOutline().SetAtGrow(1, 30, 40);
    pour.GetFillStrokes().Add(FillStroke{1, 2, 3, 4});

    const Bytes expected = Concat({{0x42, 0x1F, 0x00, 0x00}, namedFields, commonFields});
    EXPECT_EQ(Store(pour), expected) << "the fill is never stored";

    CPour loaded;
    Load(loaded, expected);
    EXPECT_EQ(Store(loaded), expected);
    ExpectEveryPrefixFails(expected, [](CArchive& ar) {
        CPour partial;
        partial.Serialize(ar);
    });

    // As an element of the document's object array.
    CArchive out;
    out.WriteObject(&pour);
    CArchive in(out.TakeBuffer());
    const std::unique_ptr<CPour> read = in.ReadObjectOf<CPour>();
    ASSERT_TRUE(read);
    EXPECT_EQ(Store(*read), expected);
}

TEST(CPourFile, OlderRecordsGiveTheDefaults)
{
    const struct {
        const char* name;
        Bytes bytes;
        std::string expectedName;
    } cases[] = {
        {"8000 stores neither name nor spacing", Concat({{0x40, 0x1F, 0x00, 0x00}, commonFields}),
         "NotNamed"},
        {"8001 stores spacing that does not count",
         Concat({{0x41, 0x1F, 0x00, 0x00}, namedFields, commonFields}), "Q"},
    };
    for (const auto& c : cases) {
        CPour pour;
        Load(pour, c.bytes);
        EXPECT_EQ(pour.GetName(), c.expectedName) << c.name;
        EXPECT_EQ(pour.GetMinSpace(), 0) << c.name;
        EXPECT_EQ(pour.GetSecondParam(), 0) << c.name;
        EXPECT_EQ(pour.GetNet(), 3) << c.name;
        EXPECT_EQ(pour.GetLayer(), 1) << c.name;
        EXPECT_EQ(pour.GetSeed(), CPoint(1000, 2000)) << c.name;
        EXPECT_EQ(pour.GetHatchRotation(), 45000) << c.name;
        EXPECT_EQ(Outline(pour), (std::vector<CPoint>{{10, 20}, {30, 40}})) << c.name;
    }
}

TEST(CPourFile, LoadingClampsParametersWithOneWarning)
{
    // Pen width 500, hatch grid 30000, layer 40.
    Bytes bytes = Concat({{0x42, 0x1F, 0x00, 0x00}, namedFields, commonFields});
    const size_t fields = 4 + namedFields.size();
    bytes[fields + 4] = 40;
    bytes[fields + 20] = 0xF4;
    bytes[fields + 21] = 0x01;
    bytes[fields + 24] = 0x30;
    bytes[fields + 25] = 0x75;
    CPour pour;
    pour.GetFillStrokes().Add(FillStroke{1, 2, 3, 4});
    CArchive ar(bytes);
    pour.Serialize(ar);
    EXPECT_EQ(pour.GetPenWidth(), 1007);
    EXPECT_EQ(pour.GetHatchGrid(), 25600);
    EXPECT_EQ(pour.GetLayer(), CPour::defaultLayer);
    EXPECT_EQ(ar.GetLoadWarnings().size(), 1u);
    EXPECT_TRUE(pour.GetFillStrokes().IsEmpty()) << "a loaded plane is unfilled";

    // An outline count larger than the rest of the record fails before allocating.
    Bytes huge = Concat({{0x42, 0x1F, 0x00, 0x00}, namedFields, commonFields});
    const size_t countAt = 4 + namedFields.size() + 36;
    huge[countAt] = 0xFF;
    huge[countAt + 1] = 0xFF;
    huge.insert(huge.begin() + ptrdiff_t(countAt + 2), {0xFF, 0xFF, 0xFF, 0x0F});
    CPour bad;
    EXPECT_THROW(Load(bad, huge), CArchiveException);
}

TEST(CPourParams, ClampParams)
{
    const struct {
        int32_t pen, grid, expectedPen, expectedGrid;
    } cases[] = {
        {500, 6047, 1007, 6047},    {20000, 6047, 10078, 10078}, {2015, 1000, 2015, 2015},
        {2015, 30000, 2015, 25600}, {3023, 6047, 3023, 6047},
    };
    for (const auto& c : cases) {
        CPour pour(0, 1, 0, 0, 1, c.pen, c.grid, 0);
        EXPECT_EQ(pour.GetPenWidth(), c.expectedPen) << c.pen << " " << c.grid;
        EXPECT_EQ(pour.GetHatchGrid(), c.expectedGrid) << c.pen << " " << c.grid;
        EXPECT_EQ(pour.GetDisplayMode(), CPour::displayWysiwyg);
    }
}

TEST(CPourCopy, CopyKeepsThePlaceButNotTheFill)
{
    auto pour = Square(0, 0, 100000);
    pour->GetFillStrokes().Add(FillStroke{1, 2, 3, 4});
    pour->GetFillPolylines().push_back(std::make_unique<CPointArray>());
    pour->SetDisplayMode(CPour::displayHatch);
    const CPour copy(*pour, "02. Signal Top", true);
    EXPECT_EQ(copy.GetName(), "02. Signal Top");
    EXPECT_TRUE(copy.IsSelected());
    EXPECT_EQ(copy.GetDisplayMode(), CPour::displayHatch);
    EXPECT_EQ(Outline(copy), Outline(*pour));
    EXPECT_TRUE(copy.GetFillStrokes().IsEmpty());
    EXPECT_TRUE(copy.GetFillPolylines().empty());
}

TEST(CPourOutline, EditingKeepsTheRingClosed)
{
    using Ring = std::vector<CPoint>;
    const CPoint a(0, 0), b(100000, 0), c(100000, 100000), d(0, 100000);
    {
        SCOPED_TRACE("deleting either copy of the first corner removes that corner");
        for (int32_t i : {0, 4}) {
            auto pour = Square(0, 0, 100000);
            EXPECT_TRUE(pour->DeleteVertex(i));
            EXPECT_EQ(Outline(*pour), (Ring{b, c, d, b})) << i;
        }
        auto pour = Square(0, 0, 100000);
        EXPECT_TRUE(pour->DeleteVertex(2));
        EXPECT_EQ(Outline(*pour), (Ring{a, b, d, a}));
        EXPECT_TRUE(pour->DeleteVertex(1));
        EXPECT_FALSE(pour->DeleteVertex(1)) << "three points cannot lose one";
        EXPECT_FALSE(pour->DeleteVertex(-1));
    }
    {
        SCOPED_TRACE("moving the first vertex moves the closing point, within the board");
        auto pour = Square(0, 0, 100000);
        pour->SetCurrentVertex(0);
        pour->MoveVertex(-50, 20, 500000, 500000, false);
        EXPECT_EQ(Outline(*pour), (Ring{{0, 20}, b, c, d, {0, 20}}));
        pour->SetCurrentVertex(4);
        pour->MoveVertex(600000, 30, 500000, 500000, true);
        EXPECT_EQ(Outline(*pour).front(), CPoint(0, 20)) << "kept open";
        EXPECT_EQ(Outline(*pour).back(), CPoint(500000, 30));
    }
    {
        SCOPED_TRACE("closing merges repeated and straight-run points");
        auto pour = std::make_unique<CPour>();
        for (const CPoint& p : {a, CPoint(50000, 0), b, b, c, d})
            pour->GetOutline().SetAtGrow(pour->GetOutline().GetSize(), p.x, p.y);
        pour->CloseOutline();
        EXPECT_EQ(Outline(*pour), (Ring{a, b, c, d, a}));
        EXPECT_EQ(pour->GetCurrentVertex(), 4);
    }
    {
        SCOPED_TRACE("a hit inserts a vertex where the segment allows, else takes an end");
        auto pour = Square(0, 0, 100000);
        EXPECT_EQ(pour->HitOutline(CPoint(50000, 300), 2), -1) << "another layer";
        EXPECT_EQ(pour->HitOutline(CPoint(50000, 300), 1), 1);
        EXPECT_EQ(Outline(*pour)[1], CPoint(50000, 0));
        EXPECT_EQ(pour->HitOutline(CPoint(99000, 0), 1), 2) << "too near the corner";
        EXPECT_EQ(pour->GetOutline().GetSize(), 6);
        EXPECT_FALSE(pour->InsertVertexAt(0, 5, 5));
        EXPECT_FALSE(pour->InsertVertexAt(6, 5, 5));
    }
    {
        SCOPED_TRACE("square at the cursor, backup and restore");
        CPour pour;
        pour.StartSquareAtCursor(2, CPoint(50000, 50000));
        EXPECT_EQ(pour.GetLayer(), 2);
        EXPECT_EQ(pour.GetCurrentVertex(), 1);
        EXPECT_EQ(
            Outline(pour),
            (Ring{{37200, 37200}, {37200, 62800}, {62800, 62800}, {62800, 37200}, {37200, 37200}}));
        pour.SaveOutline();
        pour.InsertVertex();
        EXPECT_EQ(pour.GetCurrentVertex(), 2);
        pour.RestoreOutline();
        EXPECT_EQ(pour.GetOutline().GetSize(), 5);
        EXPECT_EQ(pour.GetCurrentVertex(), 1);
        EXPECT_TRUE(pour.IsNearOtherVertex(1) == false);
        pour.GetOutline()[2] = CPoint(38000, 63000);
        EXPECT_TRUE(pour.IsNearOtherVertex(1));
    }
}

TEST(CPourSelect, SelectInRect)
{
    const uint32_t all = 0xFFFFFFFFu;
    const struct {
        const char* name;
        CRect rect;
        uint32_t mask;
        int32_t expected;
    } cases[] = {
        {"an outline point inside", CRect(-10, -10, 10, 10), all, 1},
        {"an edge crossing", CRect(50000, -10, 50010, 10), all, 1},
        {"the rectangle inside the plane", CRect(40000, 40000, 60000, 60000), all, 1},
        {"beside the plane", CRect(200000, 0, 300000, 10), all, 0},
        {"another layer", CRect(-10, -10, 10, 10), all & ~LayerBit(1), 0},
    };
    for (const auto& c : cases) {
        auto pour = Square(0, 0, 100000);
        EXPECT_EQ(
            pour->SelectInRect(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, 4, c.mask),
            c.expected)
            << c.name;
        EXPECT_EQ(pour->IsSelected(), c.expected == 1) << c.name;
    }
}

TEST(CPourDraw, HatchViewAndErrorMark)
{
    auto pour = Square(0, 0, 1000);
    pour->SetDisplayMode(CPour::displayHatch);
    pour->IncrementFillErrorCount();
    pour->SetErrorMark(CPoint(500, 500));
    CRecordingDC dc;
    pour->Draw(dc, 0, 0, 10, 0xFF);
    const std::vector<std::string> expected = {
        "SelectPen solid 1 0x000000FF",
        "SelectBrush hatched bdiagonal 0x000000FF",
        "Polygon 0 0, 100 0, 100 100, 0 100, 0 0",
        "SelectBrush solid 0x00FFFFFF",
        "SelectPen solid 0 0x00000000",
        "SelectPen solid 1 0x00C8C8FF",
        "MoveTo 18 18",
        "LineTo 82 18",
        "LineTo 82 82",
        "LineTo 18 82",
        "LineTo 18 18",
        "LineTo 82 82",
        "MoveTo 82 18",
        "LineTo 18 82",
        "SelectPen solid 0 0x00000000",
    };
    EXPECT_EQ(dc.Lines(), expected);

    dc.Clear();
    pour->SetDisplayMode(CPour::displayHidden);
    pour->Draw(dc, 0, 0, 10, 0xFF);
    pour->DrawSeedPoint(dc, 0, 0, 10);
    EXPECT_TRUE(dc.Lines().empty());
}

} // namespace
