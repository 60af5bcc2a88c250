#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"
#include "tests/support/CScopedLocale.h"

namespace {

using namespace archive_bytes;

struct StandardRow {
    const char* name;
    int32_t padWidth;
    int32_t drillWidth;
    int32_t maskWidth;
    int32_t innerWidth;
};

// The 14 through-hole sizes, shared by the CIR, OCT and SQR families.
const std::vector<StandardRow> kThroughHole = {
    {"0.80 H0.60", 8062, 6046, 10076, 10076},   {"0.90 H0.70", 9070, 7054, 11084, 11084},
    {"1.00 H0.80", 10078, 8062, 12092, 12092},  {"1.20 H1.00", 12094, 10078, 14108, 14108},
    {"1.50 H1.30", 15118, 13102, 17132, 17132}, {"1.80 H1.50", 18140, 15118, 20154, 19148},
    {"2.00 H1.50", 20156, 15118, 22170, 19148}, {"2.20 H1.50", 22172, 15118, 24186, 19148},
    {"2.50 H1.50", 25196, 15118, 27210, 19148}, {"3.00 H1.50", 30236, 15118, 32250, 19148},
    {"3.50 H3.20", 35274, 32250, 37288, 36280}, {"4.50 H4.20", 45354, 42330, 47368, 46360},
    {"5.50 H5.20", 55432, 52408, 57446, 56438}, {"6.50 H6.20", 65510, 62488, 67524, 66518},
};

const std::vector<StandardRow> kSurfaceMount = {
    {"TOP RCT W0.45_H0.90", 4534, 0, 6548, 0},
    {"TOP RCT W0.50_H1.00", 5038, 0, 7052, 0},
};

const std::vector<StandardRow> kVias = {
    {"VIA 0.45 H0.25", 4534, 2518, 6548, 6548},     {"VIA 0.50 H0.30", 5038, 3022, 7052, 7052},
    {"VIA 0.55 H0.35", 5542, 3526, 7556, 7556},     {"VIA 0.60 H0.40", 6046, 4030, 8060, 8060},
    {"VIA 0.65 H0.45", 6550, 4534, 8564, 8564},     {"VIA 0.70 H0.50", 7054, 5038, 9068, 9068},
    {"VIA 0.75 H0.55", 7558, 5542, 9572, 9572},     {"VIA 0.80 H0.60", 8062, 6046, 10076, 10076},
    {"VIA 0.85 H0.65", 8566, 6550, 10580, 10580},   {"VIA 0.90 H0.70", 9070, 7054, 11084, 11084},
    {"VIA 0.95 H0.75", 9574, 7558, 11588, 11588},   {"VIA 1.00 H0.80", 10078, 8062, 12092, 12092},
    {"VIA 1.05 H0.85", 10582, 8566, 12596, 12596},  {"VIA 1.10 H0.90", 11086, 9070, 13100, 13100},
    {"VIA 1.15 H0.95", 11590, 9574, 13604, 13604},  {"VIA 1.20 H1.00", 12094, 10078, 14108, 14108},
    {"VIA 1.25 H1.05", 12598, 10582, 14612, 14612}, {"VIA 1.30 H1.10", 13102, 11086, 15116, 15116},
    {"VIA 1.35 H1.15", 13606, 11590, 15620, 15620}, {"VIA 1.40 H1.20", 14110, 12094, 16124, 16124},
    {"VIA 1.45 H1.25", 14614, 12598, 16628, 16628}, {"VIA 1.50 H1.30", 15118, 13102, 17132, 17132},
    {"VIA 1.55 H1.35", 15622, 13606, 17636, 17636}, {"VIA 1.60 H1.40", 16124, 14110, 18138, 18140},
    {"VIA 1.65 H1.45", 16628, 14614, 18642, 18644}, {"VIA 1.70 H1.50", 17132, 15118, 19146, 19148},
    {"VIA 1.75 H1.55", 17636, 15622, 19650, 19652}, {"VIA 1.80 H1.60", 18140, 16124, 20154, 20154},
    {"VIA 1.85 H1.65", 18644, 16628, 20658, 20658}, {"VIA 1.90 H1.70", 19148, 17132, 21162, 21162},
    {"VIA 1.95 H1.75", 19652, 17636, 21666, 21666}, {"VIA 2.00 H1.80", 20156, 18140, 22170, 22170},
    {"VIA 2.05 H1.85", 20660, 18644, 22674, 22674}, {"VIA 2.10 H1.90", 21164, 19148, 23178, 23178},
    {"VIA 2.15 H1.95", 21668, 19652, 23682, 23682}, {"VIA 2.20 H2.00", 22172, 20156, 24186, 24186},
    {"VIA 2.25 H2.05", 22676, 20660, 24690, 24690}, {"VIA 2.30 H2.10", 23180, 21164, 25194, 25194},
    {"VIA 2.35 H2.15", 23684, 21668, 25698, 25698}, {"VIA 2.40 H2.20", 24188, 22172, 26202, 26202},
    {"VIA 2.45 H2.25", 24692, 22676, 26706, 26706}, {"VIA 2.50 H2.30", 25196, 23180, 27210, 27210},
    {"VIA 2.55 H2.35", 25700, 23684, 27714, 27714}, {"VIA 2.60 H2.40", 26204, 24188, 28218, 28218},
    {"VIA 2.65 H2.45", 26708, 24692, 28722, 28722}, {"VIA 2.70 H2.50", 27212, 25196, 29226, 29226},
    {"VIA 2.75 H2.55", 27716, 25700, 29730, 29730}, {"VIA 2.80 H2.60", 28220, 26204, 30234, 30234},
    {"VIA 2.85 H2.65", 28724, 26708, 30738, 30738}, {"VIA 2.90 H2.70", 29228, 27212, 31242, 31242},
    {"VIA 2.95 H2.75", 29732, 27716, 31746, 31746}, {"VIA 3.00 H2.80", 30236, 28220, 32250, 32250},
    {"VIA 3.05 H2.85", 30740, 28724, 32754, 32754}, {"VIA 3.10 H2.90", 31244, 29228, 33258, 33258},
    {"VIA 3.15 H2.95", 31748, 29732, 33762, 33762}, {"VIA 3.20 H3.00", 32250, 30236, 34264, 34266},
    {"VIA 3.25 H3.05", 32754, 30740, 34768, 34770}, {"VIA 3.30 H3.10", 33258, 31244, 35272, 35274},
    {"VIA 3.35 H3.15", 33762, 31748, 35776, 35778}, {"VIA 3.40 H3.20", 34266, 32250, 36280, 36280},
    {"VIA 3.45 H3.25", 34770, 32754, 36784, 36784}, {"VIA 3.50 H3.30", 35274, 33258, 37288, 37288},
    {"VIA 3.55 H3.35", 35778, 33762, 37792, 37792}, {"VIA 3.60 H3.40", 36282, 34266, 38296, 38296},
    {"VIA 3.65 H3.45", 36786, 34770, 38800, 38800}, {"VIA 3.70 H3.50", 37290, 35274, 39304, 39304},
    {"VIA 3.75 H3.55", 37794, 35778, 39808, 39808}, {"VIA 3.80 H3.60", 38298, 36282, 40312, 40312},
    {"VIA 3.85 H3.65", 38802, 36786, 40816, 40816}, {"VIA 3.90 H3.70", 39306, 37290, 41320, 41320},
    {"VIA 3.95 H3.75", 39810, 37794, 41824, 41824}, {"VIA 4.00 H3.80", 40314, 38298, 42328, 42328},
};

void ExpectRows(const CPadStackArray& table, int32_t first, const std::vector<StandardRow>& rows,
                const std::string& prefix = "")
{
    ASSERT_GE(table.GetCount(), first + int32_t(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int32_t stack = first + int32_t(i);
        const StandardRow& row = rows[i];
        EXPECT_EQ(table.GetName(stack), prefix + row.name) << stack;
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_TOP), row.padWidth) << stack;
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_DRILL), row.drillWidth) << stack;
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_MASK_TOP), row.maskWidth) << stack;
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_GROUND), row.innerWidth) << stack;
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_INNER_12), row.innerWidth) << stack;
    }
}

void ExpectFreshAndViaTables()
{
    CPadStackArray table;
    ASSERT_EQ(table.GetCount(), 44);
    ExpectRows(table, 0, kThroughHole, "CIR ");
    ExpectRows(table, 14, kThroughHole, "OCT ");
    ExpectRows(table, 28, kThroughHole, "SQR ");
    ExpectRows(table, 42, kSurfaceMount);
    for (int32_t kind : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA})
        EXPECT_EQ(table.GetDefault(kind), 0);
    EXPECT_EQ(table.GetPadShape(14, LAYER_TOP), PAD_OCTAGON);
    EXPECT_EQ(table.GetPadShape(28, LAYER_BOTTOM), PAD_SQUARE);
    EXPECT_EQ(table.GetPadShape(43, LAYER_PASTE_TOP), PAD_RECTANGLE);
    EXPECT_TRUE(table.IsPadKind(43));

    ASSERT_TRUE(table.Fill(false, PADSTACK_KIND_VIA));
    ASSERT_EQ(table.GetCount(), 116);
    ExpectRows(table, 44, kVias);
    EXPECT_TRUE(table.IsVia(115));
    EXPECT_FALSE(table.IsPadKind(115));
    EXPECT_EQ(table.GetLayerMask(115, false), 0x0203FFFFu);
}

TEST(CPadStackArrayFill, StandardPadsAndVias)
{
    ExpectFreshAndViaTables();
}

// The names print their sizes with a decimal point whatever the desktop's language.
TEST(CPadStackArrayFill, StandardNamesUnderGermanLocale)
{
    CScopedLocale german("de_DE.UTF-8");
    ExpectFreshAndViaTables();
}

TEST(CPadStackArrayFill, RefillsAndOtherModes)
{
    CPadStackArray table;
    ASSERT_TRUE(table.Fill(false, PADSTACK_KIND_SHAPE_PAD));
    ASSERT_EQ(table.GetCount(), 88);
    EXPECT_EQ(table.GetName(44), "CIR 0.80 H0.60__A");
    EXPECT_EQ(table.GetName(85), "SQR 6.50 H6.20__A");
    EXPECT_EQ(table.GetName(86), "TOP RCT W0.45_H0.90");
    EXPECT_TRUE(table.IsShapePadKind(44));
    EXPECT_FALSE(table.IsPadKind(44));

    for (int32_t mode : {0, 3, 5, -1}) {
        EXPECT_TRUE(table.Fill(false, mode));
        EXPECT_EQ(table.GetCount(), 88);
    }
    EXPECT_TRUE(table.Fill(true, 3));
    EXPECT_EQ(table.GetCount(), 0);
}

// ---- Stored record ---------------------------------------------------------------------------

const Bytes kNoPad(28, 0x00);
// Round, -4031 .. 4031.
const Bytes kOuterPad = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                         0x00, 0x00, 0x41, 0xF0, 0xFF, 0xFF, 0x41, 0xF0, 0xFF, 0xFF,
                         0xBF, 0x0F, 0x00, 0x00, 0xBF, 0x0F, 0x00, 0x00};
// Round, -5038 .. 5038: inner ring and mask pads.
const Bytes kRingPad = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                        0x00, 0x00, 0x52, 0xEC, 0xFF, 0xFF, 0x52, 0xEC, 0xFF, 0xFF,
                        0xAE, 0x13, 0x00, 0x00, 0xAE, 0x13, 0x00, 0x00};
// Round, -3023 .. 3023.
const Bytes kDrillPad = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                         0x00, 0x00, 0x31, 0xF4, 0xFF, 0xFF, 0x31, 0xF4, 0xFF, 0xFF,
                         0xCF, 0x0B, 0x00, 0x00, 0xCF, 0x0B, 0x00, 0x00};

TEST(CPadStackArrayStorage, FreshTableBeginsWithHandWrittenBytes)
{
    CPadStackArray table;
    Bytes expected = Concat({{0x35, 0x03, 0x00, 0x00}, // version 821
                             {0x00, 0x00, 0x00, 0x00}, // defaults
                             {0x2C, 0x00},             // 44 padstacks
                             {0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                             Ascii("CPadStack"),
                             {0x01, 0x00, 0x00, 0x00}, // free pad
                             {0x0E},
                             Ascii("CIR 0.80 H0.60"),
                             kNoPad,
                             kOuterPad,
                             kOuterPad});
    for (int layer = LAYER_GROUND; layer <= LAYER_MASK_BOTTOM; ++layer)
        expected = Concat({expected, kRingPad});
    for (int layer = LAYER_PASTE_TOP; layer < LAYER_DRILL; ++layer)
        expected = Concat({expected, kNoPad});
    expected = Concat({expected, kDrillPad, {0x01, 0x80}}); // the next one by class tag

    const Bytes stored = Store(table);
    ASSERT_GE(stored.size(), expected.size());
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + ptrdiff_t(expected.size())), expected);
}

TEST(CPadStackArrayStorage, RoundTripAndDamagedStreams)
{
    CPadStackArray table;
    table.Fill(false, PADSTACK_KIND_VIA);
    table.SetDefault(PADSTACK_KIND_SHAPE_PAD, 5);
    table.SetDefault(PADSTACK_KIND_VIA, 50);
    table.GetPadStack(3)->GetPad(LAYER_TOP)->SetRotation(45000);
    const Bytes first = Store(table);

    CPadStackArray loaded;
    Load(loaded, first);
    EXPECT_EQ(loaded.GetCount(), 116);
    EXPECT_EQ(loaded.GetDefault(PADSTACK_KIND_VIA), 50);
    EXPECT_EQ(loaded.GetLayerMask(43, true), 0x000A0002u); // masks rebuilt
    EXPECT_EQ(Store(loaded), first);

    // Every cut-off stream fails cleanly and leaves the table as it was.
    CPadStackArray small;
    small.Fill(true, 3);
    small.Add(CPadStack("A", PAD_ROUND, -10, -10, 10, 10, 8, LAYER_COMMON, 1));
    small.Add(CPadStack("B", PAD_SQUARE, -10, -10, 10, 10, 0, LAYER_TOP, 2));
    ExpectEveryPrefixFails(Store(small), [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(Store(loaded), first);
}

Bytes TableOf(size_t count)
{
    CPadStack stack("S", PAD_ROUND, -10, -10, 10, 10, 0, LAYER_TOP, 1);
    CArchive ar;
    ar << uint32_t(821) << uint32_t(0);
    ar.WriteCount(count);
    for (size_t i = 0; i < count; ++i)
        ar.WriteObject(&stack);
    return ar.TakeBuffer();
}

TEST(CPadStackArrayStorage, LoadRefusesTablesBeyondNineBitIndexesAndEmptyRecords)
{
    CPadStackArray table;
    Load(table, TableOf(511));
    EXPECT_EQ(table.GetCount(), 511);

    CPadStackArray fresh;
    EXPECT_THROW(Load(fresh, TableOf(512)), CArchiveException);
    EXPECT_EQ(fresh.GetCount(), 44);

    const Bytes nullRecord = {0x35, 0x03, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    EXPECT_THROW(Load(fresh, nullRecord), CArchiveException);
    EXPECT_EQ(fresh.GetCount(), 44);
}

// ---- Drawing ---------------------------------------------------------------------------------

TEST(CPadStackArrayDraw, ShapesAtQuarterTurnsPlainAndMirrored)
{
    CPadStackArray table;
    table.Fill(true, 3);
    // Offsets everywhere, so that turning and mirroring show; -45 / 10 truncates to -4.
    table.Add(CPadStack("R", PAD_ROUND, 100, -20, 140, 20, 0, LAYER_TOP, 1));
    table.Add(CPadStack("S", PAD_SQUARE, 0, -30, 60, 30, 0, LAYER_TOP, 1));
    table.Add(CPadStack("T", PAD_RECTANGLE, -45, -20, 60, 20, 0, LAYER_TOP, 1));
    table.Add(CPadStack("O", PAD_OCTAGON, -40, -80, 120, 80, 0, LAYER_TOP, 1));
    table.Add(CPadStack("W", PAD_OCTAGON_W, 0, -40, 160, 40, 0, LAYER_TOP, 1));

    struct Case {
        int32_t stack;
        int32_t angle;
        bool mirrored;
        const char* line;
    };
    const Case cases[] = {
        {0, 0, false, "Ellipse 510 298 514 302"},
        {0, 90000, false, "Ellipse 498 286 502 290"},
        {0, 0, true, "Ellipse 486 298 490 302"},
        {0, 90000, true, "Ellipse 498 310 502 314"},
        {1, 0, false, "Polygon 500 297, 506 297, 506 303, 500 303, 500 297"},
        {1, 90000, false, "Polygon 497 300, 497 294, 503 294, 503 300, 497 300"},
        {1, 0, true, "Polygon 494 297, 500 297, 500 303, 494 303, 494 297"},
        {1, 90000, true, "Polygon 497 306, 497 300, 503 300, 503 306, 497 306"},
        {2, 0, false, "Polygon 496 298, 506 298, 506 302, 496 302, 496 298"},
        {2, 90000, false, "Polygon 498 304, 498 294, 502 294, 502 304, 498 304"},
        {2, 0, true, "Polygon 494 298, 504 298, 504 302, 494 302, 494 298"},
        {2, 90000, true, "Polygon 498 306, 498 296, 502 296, 502 306, 498 306"},
        {3, 0, false,
         "Polygon 500 292, 508 292, 512 296, 512 304, 508 308, 500 308, 496 304, 496 296, 500 292"},
        {3, 90000, false,
         "Polygon 492 300, 492 292, 496 288, 504 288, 508 292, 508 300, 504 304, 496 304, 492 300"},
        {3, 0, true,
         "Polygon 492 292, 500 292, 504 296, 504 304, 500 308, 492 308, 488 304, 488 296, 492 292"},
        {3, 90000, true,
         "Polygon 492 308, 492 300, 496 296, 504 296, 508 300, 508 308, 504 312, 496 312, 492 308"},
        {4, 0, false,
         "Polygon 502 296, 514 296, 516 298, 516 302, 514 304, 502 304, 500 302, 500 298, 502 296"},
        {4, 90000, false,
         "Polygon 496 298, 496 286, 498 284, 502 284, 504 286, 504 298, 502 300, 498 300, 496 298"},
        {4, 0, true,
         "Polygon 486 296, 498 296, 500 298, 500 302, 498 304, 486 304, 484 302, 484 298, 486 296"},
        {4, 90000, true,
         "Polygon 496 314, 496 302, 498 300, 502 300, 504 302, 504 314, 502 316, 498 316, 496 314"},
    };
    for (const Case& c : cases) {
        CRecordingDC dc;
        if (c.mirrored)
            table.DrawPadMirrored(dc, c.stack, LAYER_TOP, 500, 300, c.angle, 10);
        else
            table.DrawPad(dc, c.stack, LAYER_TOP, 500, 300, c.angle, 10);
        EXPECT_EQ(dc.Lines(), std::vector<std::string>{c.line})
            << c.stack << " " << c.angle << " " << c.mirrored;
    }

    // Figures made once serve the same pad elsewhere, and never a pad at another scale.
    CRecordingDC moved;
    table.DrawPad(moved, 1, LAYER_TOP, -1000, 7, 0, 10);
    table.DrawPad(moved, 1, LAYER_TOP, 500, 300, 0, 20);
    table.DrawPad(moved, 0, LAYER_TOP, 0, 0, 0, 20);
    EXPECT_EQ(moved.Lines(),
              (std::vector<std::string>{"Polygon -1000 4, -994 4, -994 10, -1000 10, -1000 4",
                                        "Polygon 500 299, 503 299, 503 301, 500 301, 500 299",
                                        "Ellipse 5 -1 7 1"}));

    // The pad's own rotation adds to the drawing angle.
    table.GetPadStack(2)->GetPad(LAYER_TOP)->SetRotation(45000);
    CRecordingDC turned;
    table.DrawPad(turned, 2, LAYER_TOP, 500, 300, 45000, 10);
    EXPECT_EQ(turned.Lines(), std::vector<std::string>{std::string(cases[9].line)});

    // A pad of no shape, missing pads and a zero scale draw nothing.
    table.SetPadShape(4, LAYER_TOP, PAD_UNDEFINED);
    CRecordingDC none;
    table.DrawPad(none, 4, LAYER_TOP, 500, 300, 0, 10);
    table.DrawPad(none, 1, LAYER_BOTTOM, 500, 300, 0, 10);
    table.DrawPad(none, 1, LAYER_TOP, 500, 300, 0, 0);
    EXPECT_TRUE(none.Lines().empty());
    EXPECT_FALSE(table.HasPendingError());

    // Bounds of the default pad, and of the drill pad where the layer has none.
    EXPECT_EQ(table.GetPadBounds(PADSTACK_KIND_PAD, LAYER_TOP, 500, 300, 0, 10),
              CRect(508, 296, 516, 304));
    EXPECT_EQ(table.GetPadBounds(PADSTACK_KIND_PAD, LAYER_BOTTOM, 500, 300, 0, 10),
              CRect(0, 0, 1, 1));
    const CPadStackArray fresh;
    EXPECT_EQ(fresh.GetPadBounds(PADSTACK_KIND_VIA, LAYER_SILK_TOP, 100, 100, 0, 10),
              CRect(-204, -204, 404, 404));
}

// The shapes photoplotted as their rectangle, and the oval as a stadium: none is left out of
// the picture while the photoplot has its copper.
TEST(CPadStackArrayDraw, OvalsAndRectangularKindsAreDrawnAsPlotted)
{
    CPadStackArray table;
    table.Fill(true, 3);
    for (const int32_t shape : {PAD_CONNECTOR, PAD_DEVICE, PAD_LINE})
        table.Add(CPadStack("K", shape, -45, -20, 60, 20, 0, LAYER_TOP, 1));
    for (int32_t stack = 0; stack < 3; ++stack) {
        CRecordingDC dc;
        table.DrawPad(dc, stack, LAYER_TOP, 500, 300, 90000, 10);
        EXPECT_EQ(dc.Lines(),
                  std::vector<std::string>{"Polygon 498 304, 498 294, 502 294, 502 304, 498 304"})
            << stack;
    }

    // 80 by 20 pixels: round ends of radius 10 about x = +-30, across and turned upright.
    const int32_t oval = table.Add(CPadStack("O", PAD_OVAL, -400, -100, 400, 100, 0, LAYER_TOP, 1));
    for (const int32_t angle : {0, 90000}) {
        CRecordingDC dc;
        table.DrawPad(dc, oval, LAYER_TOP, 500, 300, angle, 10);
        ASSERT_EQ(dc.Lines().size(), 1u);
        std::istringstream in(dc.Lines()[0].substr(std::string("Polygon").size()));
        std::vector<CPoint> points;
        for (CPoint p; in >> p.x >> p.y; in.ignore(1))
            points.push_back(angle == 0 ? CPoint(p.x - 500, p.y - 300)
                                        : CPoint(p.y - 300, 500 - p.x));
        ASSERT_GE(points.size(), 12u);
        EXPECT_EQ(points.front(), points.back());
        CRect box(0, 0, 0, 0);
        for (const CPoint& p : points) {
            box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                        std::max(box.bottom, p.y));
            // On the stadium's edge: 10 from the axis between the ends, or from the nearer end.
            const double along = std::clamp(double(p.x), -30.0, 30.0);
            EXPECT_NEAR(std::hypot(p.x - along, double(p.y)), 10.0, 0.75)
                << p.x << "," << p.y << " at " << angle;
        }
        EXPECT_EQ(box, CRect(-40, -10, 40, 10)) << angle;
    }
}

// ---- Faults of lookups, limits and removal -------------------------------------------------

TEST(CPadStackArrayFaults, UnknownIndexesReadAsNoPadAndReportOnceAfterwards)
{
    CFakeServices fakes;
    CPadStackArray table;
    CRecordingDC dc;
    for (int32_t stack : {44, 511, -1, INT32_MIN}) {
        EXPECT_EQ(table.GetPadShape(stack, LAYER_TOP), 0);
        EXPECT_EQ(table.GetPad(stack, LAYER_TOP), nullptr);
        EXPECT_EQ(table.GetPadWidth(stack, LAYER_TOP), 0);
        EXPECT_EQ(table.GetPadRect(stack, LAYER_TOP), CRect());
        EXPECT_EQ(table.GetName(stack), "");
        EXPECT_EQ(table.GetLayerMask(stack, true), 0u);
        EXPECT_FALSE(table.IsVia(stack));
        table.SetVia(stack, true);
        table.DrawPad(dc, stack, LAYER_TOP, 0, 0, 0, 1);
    }
    EXPECT_EQ(table.GetCount(), 44);
    EXPECT_TRUE(dc.Lines().empty());
    EXPECT_TRUE(fakes.messages.Shown().empty()) << "never from inside painting";

    EXPECT_TRUE(table.ReportPendingError());
    EXPECT_FALSE(table.ReportPendingError());
    ASSERT_EQ(fakes.messages.Shown().size(), 1u);
    EXPECT_EQ(fakes.messages.Shown()[0].text, "Pad Error in Lib");
    EXPECT_EQ(fakes.messages.Shown()[0].buttons, MB_OK);

    // Layers without pads are no error.
    EXPECT_EQ(table.GetPadShape(0, LAYER_DRAWING_1), 0);
    EXPECT_EQ(table.GetPadShape(0, -1), 0);
    EXPECT_FALSE(table.HasPendingError());
}

TEST(CPadStackArrayFaults, TableNeverHoldsMoreThanNineBitIndexesCanName)
{
    CFakeServices fakes;
    CPadStackArray table;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(table.Fill(false, PADSTACK_KIND_VIA));
    ASSERT_EQ(table.GetCount(), 476);
    EXPECT_FALSE(table.Fill(false, PADSTACK_KIND_PAD)); // 520 would not fit
    EXPECT_EQ(table.GetCount(), 476);
    ASSERT_EQ(fakes.messages.Shown().size(), 1u);

    const CPadStack odd("odd", PAD_OVAL, -7, -7, 7, 7, 0, LAYER_TOP, 1);
    while (table.GetCount() < 510)
        ASSERT_GE(table.AddCopy(odd), 0);
    EXPECT_EQ(table.GetName(477), "odd__A");
    EXPECT_TRUE(table.SetAt(510, odd));
    EXPECT_EQ(table.Add(odd), 476) << "an identical one of that name is reused";
    EXPECT_EQ(table.Add(CPadStack("new", PAD_OVAL, -7, -7, 7, 7, 0, LAYER_TOP, 1)), -1);
    EXPECT_EQ(table.AddCopy(odd), -1);
    EXPECT_FALSE(table.SetAt(511, odd));
    EXPECT_FALSE(table.SetAt(600, odd));
    EXPECT_TRUE(table.SetAt(0, odd));
    EXPECT_EQ(table.GetCount(), 511);
    EXPECT_EQ(fakes.messages.Shown().size(), 4u);
}

TEST(CPadStackArrayFaults, RemovalRenumbersDefaultsAndTellsCallersWhereIndexesGo)
{
    CPadStackArray table;
    table.SetDefault(PADSTACK_KIND_PAD, 10);
    table.SetDefault(PADSTACK_KIND_SHAPE_PAD, 20);
    table.SetDefault(PADSTACK_KIND_VIA, 5);
    const std::string name20 = table.GetName(20);
    EXPECT_FALSE(table.RemoveAt(44));
    EXPECT_FALSE(table.RemoveAt(-1));
    ASSERT_TRUE(table.RemoveAt(10));
    EXPECT_EQ(table.GetCount(), 43);
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_PAD), 9); // it was on the removed one
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_SHAPE_PAD), 19);
    EXPECT_EQ(table.GetName(19), name20);
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_VIA), 5);

    // A default on the last padstack moves down once, not twice.
    table.SetDefault(PADSTACK_KIND_VIA, 42);
    ASSERT_TRUE(table.RemoveAt(0));
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_VIA), 41);

    EXPECT_EQ(CPadStackArray::IndexAfterRemoval(9, 10), 9);
    EXPECT_EQ(CPadStackArray::IndexAfterRemoval(10, 10), -1);
    EXPECT_EQ(CPadStackArray::IndexAfterRemoval(11, 10), 10);

    CPadStackArray one;
    one.Fill(true, 3);
    one.Add(CPadStack());
    ASSERT_TRUE(one.RemoveAt(0));
    EXPECT_EQ(one.GetDefault(PADSTACK_KIND_PAD), 0);
}

// ---- Names, defaults, lookups --------------------------------------------------------------

TEST(CPadStackArrayNames, UniqueNamesAndCaseRules)
{
    CPadStackArray table;
    table.Fill(true, 3);
    for (const char* name : {"X", "X", "P__Q", "P__Q", "Y__A", "Y", "Y"})
        table.Add(CPadStack(name, PAD_ROUND, 0, 0, table.GetCount() + 1, 1, 0, LAYER_TOP, 1));
    struct Case {
        int32_t index;
        const char* name;
        const char* expected;
    } const cases[] = {
        {1, "X", "X__A"},    {0, "X", "X"},    {99, "X__A", "X__B"},
        {3, "P__Q", "P__B"}, {6, "Y", "Y__B"}, {0, "Z", "Z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.MakeUniqueName(c.index, c.name), c.expected) << c.index << c.name;
    EXPECT_EQ(table.GetName(3), "P__B");

    CPadStackArray fresh;
    EXPECT_EQ(fresh.FindByName("cir 0.80 h0.60"), -1);
    EXPECT_EQ(fresh.FindByName("CIR 0.80 H0.60"), 0);
    CPadStack same(*fresh.GetPadStack(0));
    same.SetName("cir 0.80 h0.60");
    EXPECT_EQ(fresh.Add(same), 0);
    same.SetName("other");
    EXPECT_EQ(fresh.Add(same), 44);
    EXPECT_EQ(fresh.FindIdentical(*fresh.GetPadStack(44)), 0);

    EXPECT_EQ(fresh.SelectDefaultByName("SQR 1.00 H0.80"), 30);
    EXPECT_EQ(fresh.GetDefault(PADSTACK_KIND_PAD), 30);
    EXPECT_EQ(fresh.SelectDefaultByName("none"), -1);

    EXPECT_EQ(CPadStackArray::ShapeName(6), "Octagon(w)");
    EXPECT_EQ(CPadStackArray::ShapeName(10), "");
    EXPECT_EQ(CPadStackArray::ShapeCodeFromName("Line"), 9);
    EXPECT_EQ(CPadStackArray::ShapeCodeFromName("line"), -1);
}

TEST(CPadStackArrayNames, DefaultsAreClampedToTheTable)
{
    CPadStackArray table;
    struct Case {
        int32_t kind;
        int32_t index;
        int32_t stored;
    } const cases[] = {{1, 5000, 43}, {4, 2, 2}, {2, -5, 0}, {3, 9, 9}};
    for (const Case& c : cases)
        EXPECT_EQ(table.SetDefault(c.kind, c.index), c.stored) << c.kind;
    EXPECT_EQ(table.GetDefault(1), 43);
    EXPECT_EQ(table.GetDefault(2), 0);
    EXPECT_EQ(table.GetDefault(4), 2);
    EXPECT_EQ(table.GetDefault(7), 7) << "other kinds are indexes";
    EXPECT_EQ(table.GetDefault(5000), 43);
    EXPECT_EQ(table.GetDefault(-3), 0);

    table.Fill(true, 0);
    EXPECT_EQ(table.GetDefault(2), 0);
    EXPECT_EQ(table.SetDefault(2, 7), 0);
}

// ---- Normalise -------------------------------------------------------------------------------

class CPadStackArrayNormalise : public ::testing::Test {
protected:
    void SetUp() override
    {
        CResourcePack pack;
        pack.SetString(IDS_ADD_SPT_PAD, "Add SPT Pad?");
        pack.SetString(IDS_REMOVE_SPT_PAD, "Remove SPT Pad?");
        CResourcePack::SetCurrent(pack);
    }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    static CPadStack TopOnly(const std::string& name)
    {
        CPadStack stack;
        stack.SetName(name);
        stack.GetPad(LAYER_TOP)->Set(PAD_RECTANGLE, -10, -20, 10, 20);
        stack.GetPad(LAYER_TOP)->SetRotation(30000);
        return stack;
    }
};

TEST_F(CPadStackArrayNormalise, AsksForPastePadsByName)
{
    CFakeServices fakes;
    CPadStackArray table;
    table.Fill(true, 3);
    table.Add(CPadStack("Fiducial 1", PAD_ROUND, -10, -10, 10, 10, 0, LAYER_TOP, 1));
    table.Add(TopOnly("MY FIDUCIAL"));
    table.Add(CPadStack("conn 2", PAD_ROUND, -11, -11, 11, 11, 0, LAYER_TOP, 1));
    table.Add(CPadStack("Plain", PAD_ROUND, -12, -12, 12, 12, 0, LAYER_TOP, 1));
    table.Add(CPadStack("TH", PAD_ROUND, -13, -13, 13, 13, 8, LAYER_COMMON, 1));
    CPadStack flat = TopOnly("Flat");
    flat.GetPad(LAYER_TOP)->Set(PAD_RECTANGLE, 5, -20, 5, 20);
    table.Add(flat);
    fakes.messages.QueueAnswer(IDYES);
    fakes.messages.QueueAnswer(IDYES);
    fakes.messages.QueueAnswer(IDNO);

    table.Normalise();

    EXPECT_EQ(fakes.messages.ShownTexts(),
              (std::vector<std::string>{"Fiducial 1 : Remove SPT Pad?",
                                        "MY FIDUCIAL : Add SPT Pad?", "conn 2 : Remove SPT Pad?"}));
    EXPECT_EQ(fakes.messages.Shown()[0].buttons, MB_YESNO);
    EXPECT_EQ(fakes.messages.Shown()[0].icon, MB_ICONQUESTION);
    EXPECT_EQ(table.GetPadShape(0, LAYER_PASTE_TOP), 0);
    const CPad* added = table.GetPad(1, LAYER_PASTE_TOP);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetRect(), CRect(-10, -20, 10, 20));
    EXPECT_EQ(added->GetRotation(), 30000);
    EXPECT_EQ(table.GetPadShape(2, LAYER_PASTE_TOP), PAD_ROUND);
    EXPECT_EQ(table.GetPadShape(5, LAYER_TOP), 0);
    EXPECT_EQ(table.GetPadRect(5, LAYER_TOP), CRect());
    // Masks follow the changed pads.
    EXPECT_EQ(table.GetLayerMask(0, false), 0x00010001u);
    EXPECT_EQ(table.GetLayerMask(1, false), 0x00040001u);
    EXPECT_EQ(table.GetLayerMask(5, false), 0u);
}

} // namespace
