#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CRect.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

CWevraText MakeText(const std::string& s, CPoint position, int32_t layer = LAYER_SILK_TOP)
{
    CWevraText text;
    text.SetText(s);
    text.SetPosition(position);
    text.SetLayer(layer);
    return text;
}

// Three unselected texts at (0, 0), (100000, 0) and (200000, 0), the last on the bottom
// silkscreen.
CTextArray ThreeTexts()
{
    CTextArray list;
    const CWevraText a = MakeText("A", CPoint(0, 0));
    const CWevraText b = MakeText("B", CPoint(100000, 0));
    const CWevraText c = MakeText("C", CPoint(200000, 0), LAYER_SILK_BOTTOM);
    for (const CWevraText* text : {&a, &b, &c})
        list.AddText(text);
    list.SelectAll(false);
    return list;
}

std::vector<std::string> Names(const CTextArray& list)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        names.push_back(list.GetText(i)->GetText() + (list.IsSelected(i) ? "*" : ""));
    return names;
}

TEST(CWevraText, AngleIsBroughtIntoOneTurnForAnyValue)
{
    const struct {
        int32_t set;
        int32_t expected;
    } cases[] = {
        {-90000, 270000},
        {720000, 0},
        {-1, 359999},
        {std::numeric_limits<int32_t>::max(), 83647},
        {std::numeric_limits<int32_t>::min(), 276352},
    };
    for (const auto& c : cases) {
        CWevraText text;
        text.SetAngle(c.set);
        EXPECT_EQ(text.GetAngle(), c.expected) << c.set;
    }
}

TEST(CTextArraySelection, CountFollowsEveryEdit)
{
    CTextArray list = ThreeTexts();
    EXPECT_EQ(list.GetSelectedCount(), 0);

    // A selected template gives a copy that is selected once, not twice.
    CWevraText selected = MakeText("T", CPoint(5, 5));
    selected.SetSelected(true);
    EXPECT_EQ(list.AddText(&selected), 3);
    EXPECT_EQ(list.GetCurrent(), 3);
    list.Select(3, true);
    EXPECT_EQ(list.GetSelectedCount(), 1);

    list.Select(0, true);
    list.CopySelected();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C", "T", "A*", "T*"}));
    EXPECT_EQ(list.GetSelectedCount(), 2);

    list.SelectAll(true);
    list.Select(1, false);
    list.Select(1, false);
    EXPECT_EQ(list.GetSelectedCount(), 5);
    list.SetCurrent(5);
    list.DeleteSelected();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B"}));
    EXPECT_EQ(list.GetCurrent(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    list.SelectAll(true);
    list.DeleteSelected();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurrent(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

TEST(CTextArraySelection, PicksByWindowLayerAndRectangle)
{
    CTextArray list = ThreeTexts();
    const uint32_t silkTop = LayerBit(LAYER_SILK_TOP);

    // The window is the point +- 10078 with its right and bottom edges outside.
    CPoint point(100000 - 10078, 5);
    EXPECT_EQ(list.FindAtPoint(point, CTextArray::hitSelect, silkTop), -1);
    point = CPoint(100000 + 10078, 10078);
    EXPECT_EQ(list.FindAtPoint(point, CTextArray::hitSelect, silkTop), 1);
    EXPECT_EQ(point, CPoint(100000, 0));
    EXPECT_EQ(list.GetCurrent(), 1);
    EXPECT_TRUE(list.IsSelected(1));
    point = CPoint(100000, 0);
    EXPECT_EQ(list.FindAtPoint(point, CTextArray::hitToggle, silkTop), 1);
    EXPECT_FALSE(list.IsSelected(1));

    // Other layers are passed over, unless the mask holds them.
    point = CPoint(200000, 0);
    EXPECT_EQ(list.FindAtPoint(point, CTextArray::hitSelect, silkTop), -1);
    EXPECT_EQ(list.FindAtPoint(point, 0, LAYER_MASK_ALL), 2);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    // Corners in any order; the right edge is outside.
    list.SelectInRect(CRect(150000, 10, -10, -10), CTextArray::hitSelect, LAYER_MASK_ALL);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A*", "B*", "C"}));
    list.SelectInRect(CRect(0, -1, 200000, 1), CTextArray::hitToggle, LAYER_MASK_ALL);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

TEST(CTextArraySelection, MovesAndRotatesOnlySelectedTexts)
{
    CTextArray list = ThreeTexts();
    list.MoveSelected(7, 7);
    EXPECT_EQ(list.GetText(0)->GetPosition(), CPoint(0, 0));

    list.GetText(1)->SetAngle(300000);
    list.Select(1, true);
    list.RotateSelected(90000, 0, 90000);
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(90000, -10000));
    EXPECT_EQ(list.GetText(1)->GetAngle(), 30000);
    list.MoveSelected(10, std::numeric_limits<int32_t>::max());
    list.MoveSelected(10, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(90020, std::numeric_limits<int32_t>::max()));
    EXPECT_EQ(list.GetText(0)->GetPosition(), CPoint(0, 0));
    EXPECT_EQ(list.GetText(2)->GetPosition(), CPoint(200000, 0));

    // The undo copy holds every text and the current index, all deselected.
    list.SetCurrent(2);
    const CTextArray copy(list);
    EXPECT_EQ(Names(copy), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(copy.GetCurrent(), 2);
    EXPECT_EQ(copy.GetSelectedCount(), 0);
    EXPECT_TRUE(list.IsSelected(1));
}

// Two texts: a mirrored "R1" at (25600, -12800) turned 90 degrees, and a default one.
const Bytes twoTexts = Concat({
    {0x02, 0x00, 0x00, 0x00},                         // count
    {0x01, 0x00, 0x00, 0x00, 0x15, 0x00, 0x00, 0x00}, // flags mirrored, layer 21
    {0xDF, 0x07, 0x00, 0x00, 0x90, 0x5F, 0x01, 0x00}, // width 2015, angle 90000
    {0x5E, 0x27, 0x00, 0x00},                         // height 10078
    {0x00, 0x64, 0x00, 0x00, 0x00, 0xCE, 0xFF, 0xFF}, // x 25600, y -12800
    {0x02, 'R', '1'},                                 // text
    {0x00, 0x00, 0x00, 0x00, 0x15, 0x00, 0x00, 0x00}, // flags, layer 21
    {0xDF, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // width 2015, angle 0
    {0x5E, 0x27, 0x00, 0x00},                         // height 10078
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // x, y
    {0x00},                                           // empty text
});

TEST(CTextArrayFile, StoresHandWrittenBytesAndReadsThemBack)
{
    CTextArray list;
    CWevraText first = MakeText("R1", CPoint(25600, -12800));
    first.SetMirrored(true);
    first.SetAngle(90000);
    list.AddText(&first);
    list.AddText(nullptr);
    list.SelectAll(false);
    EXPECT_EQ(Store(list), twoTexts);

    CTextArray loaded;
    Load(loaded, twoTexts);
    EXPECT_EQ(Store(loaded), twoTexts);
    EXPECT_TRUE(loaded.GetText(0)->IsMirrored());
    EXPECT_EQ(loaded.GetText(0)->GetPosition(), CPoint(25600, -12800));

    // The older designs' form is only read; storing always writes the fields.
    CArchive ar;
    loaded.Serialize(ar, 8033);
    EXPECT_EQ(ar.GetBuffer(), twoTexts);

    ExpectEveryPrefixFails(twoTexts, [](CArchive& in) {
        CTextArray texts;
        texts.Serialize(in, CTextArray::fieldFormVersion);
    });
}

TEST(CTextArrayFile, LoadsSafelyWhateverTheStreamHolds)
{
    // Texts stored selected arrive deselected.
    Bytes selected = twoTexts;
    selected[4] = 0x03;
    CTextArray list = ThreeTexts();
    Load(list, selected);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"R1", ""}));
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_TRUE(list.GetText(0)->IsMirrored());

    // A count beyond what is left fails before anything is allocated or replaced.
    Bytes huge = twoTexts;
    huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;
    CArchive ar(huge);
    try {
        list.Serialize(ar);
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badCount);
    }
    EXPECT_EQ(list.GetCount(), 2);

    // An angle out of range is brought into one turn and noted.
    Bytes turned = twoTexts;
    turned[16] = 0x00;
    turned[17] = 0x00;
    turned[18] = 0x00;
    turned[19] = 0x80;
    CArchive in(turned);
    list.Serialize(in);
    EXPECT_EQ(list.GetText(0)->GetAngle(), 276352);
    EXPECT_EQ(in.GetLoadWarnings().size(), 1u);
}

TEST(CTextArrayFile, OlderDesignsGiveDefaultTexts)
{
    const Bytes objectList = Concat({
        {0x03, 0x00},                         // count
        {0xFF, 0xFF, 0x00, 0x00, 0x0A, 0x00}, // new class, schema 0, name length
        Ascii("CWevraText"),                  //
        {0x01, 0x80, 0x01, 0x80},             // two more of class 1
    });
    CTextArray list;
    CArchive ar(objectList);
    list.Serialize(ar, 8033);
    EXPECT_TRUE(ar.IsAtEnd());
    ASSERT_EQ(list.GetCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const CWevraText& text = *list.GetText(i);
        EXPECT_EQ(text.GetLayer(), 21);
        EXPECT_EQ(text.GetHeight(), 10078);
        EXPECT_EQ(text.GetLineWidth(), 2015);
        EXPECT_EQ(text.GetText(), "");
    }
    ExpectEveryPrefixFails(objectList, [](CArchive& in) {
        CTextArray texts;
        texts.Serialize(in, 8032);
    });

    // An empty record in place of a text is damage, not a text less.
    Bytes withEmpty = objectList;
    withEmpty[withEmpty.size() - 2] = 0x00;
    withEmpty[withEmpty.size() - 1] = 0x00;
    CArchive damaged(withEmpty);
    EXPECT_THROW(list.Serialize(damaged, 8033), CArchiveException);
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(CTextArrayDraw, DrawsEachGroupWithItsPen)
{
    CWevraFont font;
    ASSERT_TRUE(font.Load(std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / CWevraFont::fileName));
    CTextArray list;
    CWevraText text = MakeText("L", CPoint(0, 0));
    text.SetHeight(4800);
    list.AddText(&text); // selected, skipped by Draw
    text.SetLineWidth(100);
    list.AddText(&text); // width 100 / 10 = 10
    text.SetLayer(LAYER_SILK_BOTTOM);
    list.AddText(&text); // other layer
    text.SetLayer(LAYER_SILK_TOP);
    text.SetLineWidth(5);
    list.AddText(&text); // at least one pixel
    list.SelectAll(false);
    list.Select(0, true);

    const std::vector<std::string> glyph = {"MoveTo 90 90", "LineTo 90 570", "LineTo 360 570"};
    auto expect = [&](std::vector<std::string> pens) {
        std::vector<std::string> lines;
        for (size_t i = 0; i < pens.size(); ++i) {
            lines.push_back(pens[i]);
            if (i + 1 < pens.size())
                lines.insert(lines.end(), glyph.begin(), glyph.end());
        }
        return lines;
    };

    CRecordingDC dc;
    list.Draw(dc, LAYER_SILK_TOP, font, 0x0000FF, 0, 0, 10);
    EXPECT_EQ(dc.Lines(), expect({"SelectPen solid 10 0x000000FF", "SelectPen solid 1 0x000000FF",
                                  "SelectPen solid 0 0x00000000"}));

    std::array<COLORREF, LAYER_COUNT> highlight{};
    highlight[LAYER_SILK_TOP] = 0x00FF00;
    highlight[LAYER_SILK_BOTTOM] = 0xFF0000;
    list.SelectAll(true);
    list.GetText(3)->SetLayer(99);
    dc.Clear();
    list.DrawSelected(dc, font, highlight, 0, 0, 10);
    EXPECT_EQ(dc.Lines(),
              expect({"SelectPen solid 201 0x0000FF00", "SelectPen solid 10 0x0000FF00",
                      "SelectPen solid 10 0x00FF0000", "SelectPen solid 0 0x00000000"}));
}

} // namespace
