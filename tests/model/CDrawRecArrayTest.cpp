#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CRect.h"
#include "model/CDrawRecArray.h"
#include "model/LayerMaps.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

constexpr int32_t layer = 21;
constexpr uint32_t allLayers = 0xFFFFFFFFu;

// A list written as "M0,0 L100,0* L3:100,100": M a move-to, L a line-to with pen 1 or the pen
// given before the colon, * selected. Every vertex on layer 21.
CDrawRecArray Make(const std::string& text)
{
    CDrawRecArray list;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const bool selected = token.back() == '*';
        if (selected)
            token.pop_back();
        int32_t pen = token[0] == 'M' ? 0 : 1;
        std::string rest = token.substr(1);
        if (const size_t colon = rest.find(':'); colon != std::string::npos) {
            pen = std::stoi(rest.substr(0, colon));
            rest = rest.substr(colon + 1);
        }
        const size_t comma = rest.find(',');
        list.AddVertex(std::stoi(rest.substr(0, comma)), std::stoi(rest.substr(comma + 1)), layer,
                       pen, 0);
        if (selected)
            list.SetSelected(list.GetCount() - 1, true);
    }
    return list;
}

std::string Describe(const CDrawRecArray& list)
{
    std::string text;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        const int32_t pen = list.GetPen(i);
        const CPoint p = list.GetPoint(i);
        text += (text.empty() ? "" : " ") + std::string(pen == 0 ? "M" : "L") +
                (pen > 1 ? std::to_string(pen) + ":" : "") + std::to_string(p.x) + "," +
                std::to_string(p.y) + (list.IsSelected(i) ? "*" : "");
    }
    return text;
}

// One stored vertex: flags, tag 0, pen/layer word, x, y.
Bytes Rec(uint32_t flags, uint16_t penLayer, int32_t x, int32_t y)
{
    return Concat({U32(flags), U16(0), U16(penLayer), U32(uint32_t(x)), U32(uint32_t(y))});
}

Bytes LineFile(uint32_t current, const std::vector<Bytes>& recs, uint32_t currentPen,
               const std::vector<uint16_t>& pens)
{
    Bytes all = Concat({U32(current), U32(1), U32(0), U32(0), U32(uint32_t(recs.size()))});
    for (const Bytes& rec : recs)
        all = Concat({all, rec});
    all = Concat({all, U32(currentPen), U16(uint16_t(pens.size()))});
    for (uint16_t pen : pens)
        all = Concat({all, U16(pen)});
    return all;
}

uint16_t PenLayer(int32_t pen, int32_t onLayer = layer)
{
    return uint16_t(pen | (onLayer << 4));
}

TEST(CDrawRecArrayFile, StoresTheRecordByteForByteAndReadsItBack)
{
    CDrawRecArray list;
    list.AddSegment(100, 200, 300, 200, layer, 2, 0);
    list.SetTag(1, 7);
    list.SetSelected(1, true);

    const Bytes expected = {
        0x01, 0x00, 0x00, 0x00,                         // current vertex
        0x01, 0x00, 0x00, 0x00,                         // mode word
        0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, // selection counters
        0x02, 0x00, 0x00, 0x00,                         // vertex count
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x01, // move-to: flags, tag, pen 0 layer 21
        0x64, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, // (100, 200)
        0x00, 0x00, 0x10, 0x00, 0x07, 0x00, 0x52, 0x01, // line-to: selected, tag 7, pen 2
        0x2C, 0x01, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, // (300, 200)
        0x01, 0x00, 0x00, 0x00,                         // current pen
        0x07, 0x00, 0x00, 0x00, 0xEF, 0x03, 0xB9, 0x04, // pen table: 0, 1007, 1209,
        0xE7, 0x05, 0x16, 0x07, 0xDF, 0x07, 0xCF, 0x0B, // 1511, 1814, 2015, 3023
    };
    EXPECT_EQ(Store(list), expected);

    CDrawRecArray loaded;
    Load(loaded, expected);
    EXPECT_EQ(Store(loaded), expected);
    EXPECT_EQ(loaded.GetSelectedCount(), 1);
    ExpectEveryPrefixFails(expected, [](CArchive& ar) {
        CDrawRecArray partial;
        partial.Serialize(ar);
    });
}

TEST(CDrawRecArrayFile, LoadingRepairsWhatNoLineCanUse)
{
    const uint16_t moveTo = PenLayer(0);
    std::vector<uint16_t> eighteen{0};
    for (uint16_t w = 1000; w < 1017; ++w)
        eighteen.push_back(w);
    const struct {
        const char* name;
        std::vector<Bytes> recs;
        std::vector<uint16_t> pens;
        std::string lines;
        std::vector<uint16_t> expectedPens;
        bool warned;
    } cases[] = {
        {"stray, repeated and collinear vertices",
         {Rec(0, PenLayer(1), 5, 5), Rec(0, PenLayer(1), 6, 6), Rec(0, moveTo, 0, 0),
          Rec(0, PenLayer(1), 0, 0), Rec(0, PenLayer(1), 10, 0), Rec(0, PenLayer(1), 20, 0),
          Rec(0, moveTo, 50, 50), Rec(0, moveTo, 60, 60), Rec(0, PenLayer(1), 70, 60)},
         {0, 1007},
         "M0,0 L20,0 M60,60 L70,60",
         {0, 1007},
         false},
        {"pens merged, sorted and renumbered",
         {Rec(0, moveTo, 0, 0), Rec(0, PenLayer(1), 10, 0), Rec(0, PenLayer(2), 10, 10),
          Rec(0, PenLayer(3), 0, 10)},
         {0, 3023, 1007, 3023},
         "M0,0 L2:10,0 L10,10 L2:0,10",
         {0, 1007, 3023},
         false},
        {"pen beyond the table takes the last pen",
         {Rec(0, moveTo, 0, 0), Rec(0, PenLayer(7), 10, 0)},
         {0, 3023, 1007},
         "M0,0 L2:10,0",
         {0, 1007, 3023},
         true},
        {"table without pens",
         {Rec(0, moveTo, 0, 0), Rec(0, PenLayer(1), 10, 0)},
         {0},
         "M0,0 L10,0",
         {0, 2015},
         true},
        {"empty table", {}, {}, "", {0, 2015}, false},
        {"more pens than a vertex can name",
         {Rec(0, moveTo, 0, 0), Rec(0, PenLayer(15), 10, 0), Rec(0, PenLayer(3), 10, 10)},
         eighteen,
         "M0,0 L2:10,0 L10,10",
         {0, 1002, 1014},
         true},
    };
    for (const auto& c : cases) {
        CDrawRecArray list;
        CArchive ar(LineFile(99, c.recs, 9, c.pens));
        list.Serialize(ar);
        EXPECT_EQ(Describe(list), c.lines) << c.name;
        EXPECT_EQ(list.GetPenTable(), c.expectedPens) << c.name;
        EXPECT_EQ(ar.GetLoadWarnings().size(), c.warned ? 1u : 0u) << c.name;
        EXPECT_GE(list.GetCurrentPen(), 1) << c.name;
        EXPECT_LT(list.GetCurrentPen(), list.GetPenCount()) << c.name;
        EXPECT_EQ(list.GetCurrentVertex(), std::max(list.GetCount() - 1, 0)) << c.name;
    }
}

TEST(CDrawRecArrayFile, SelectionCountersFollowTheLoadedBits)
{
    // Counters claiming 5 selected where one bit is set.
    Bytes file =
        LineFile(0, {Rec(0x00100000, PenLayer(0), 0, 0), Rec(0, PenLayer(1), 9, 0)}, 1, {0, 1007});
    file[8] = 5;
    CDrawRecArray list;
    Load(list, file);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    list.DeleteSelected();
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(CDrawRecArrayCopy, CopyStartsUnselectedWithCountersAtZero)
{
    CDrawRecArray list = Make("M0,0* L100,0* L100,100");
    ASSERT_EQ(list.GetSelectedCount(), 2);
    CDrawRecArray copy(list);
    EXPECT_EQ(Describe(copy), "M0,0 L100,0 L100,100");
    EXPECT_EQ(copy.GetSelectedCount(), 0);
    EXPECT_EQ(copy.SelectAll(true), 3);
    copy = list;
    EXPECT_EQ(copy.GetSelectedCount(), 0);
    EXPECT_EQ(copy.GetPenTable(), list.GetPenTable());
}

TEST(CDrawRecArrayPens, TableStaysWithinWhatAVertexCanName)
{
    CFakeServices fakes;
    CDrawRecArray list = Make("M0,0* L100,0* L5:100,100");
    list.SetPenWidthOnSelection(4000);
    EXPECT_EQ(list.GetPenCount(), 8);
    EXPECT_EQ(Describe(list), "M0,0* L7:100,0* L5:100,100") << "the new width's pen is used";

    list.SetPenWidthOnSelection(0);
    EXPECT_EQ(Describe(list), "M0,0* L7:100,0* L5:100,100") << "width 0 is the move-to entry";

    for (int32_t w = 5000; list.GetPenCount() < CDrawRecArray::maxPenCount; ++w)
        EXPECT_GE(list.FindOrAddPen(w), 1);
    EXPECT_TRUE(fakes.messages.Shown().empty());
    EXPECT_EQ(list.FindOrAddPen(9999), -1);
    ASSERT_EQ(fakes.messages.Shown().size(), 1u);
    EXPECT_EQ(list.GetPenCount(), CDrawRecArray::maxPenCount);
    EXPECT_EQ(list.FindOrAddPen(1007), 1) << "widths in the table are still found";
    EXPECT_EQ(list.FindOrAddPen(70000), -1) << "widths are 16-bit";

    // Removing: pen 0, pens outside the table and pens in use stay.
    for (int32_t pen : {0, -1, 16, 5, 7})
        EXPECT_FALSE(list.RemovePen(pen)) << pen;
    EXPECT_TRUE(list.RemovePen(1));
    EXPECT_EQ(list.FindPen(1007), -1);
    EXPECT_EQ(list.GetPenWidth(list.GetPen(1)), 4000) << "vertices keep their widths";
    EXPECT_EQ(list.GetPenWidth(list.GetPen(2)), 2015);

    CDrawRecArray lone = Make("M0,0");
    while (lone.GetPenCount() > 2)
        lone.RemovePen(1);
    EXPECT_TRUE(lone.RemovePen(1));
    EXPECT_EQ(lone.GetPenTable(), (std::vector<uint16_t>{0, 3023}));
}

TEST(CDrawRecArrayEdit, OperationsGiveTheExpectedLines)
{
    using Op = std::function<int32_t(CDrawRecArray&)>;
    const CRect across(400, -10, 600, 10);
    const struct {
        const char* name;
        std::string before;
        Op op;
        int32_t result;
        std::string after;
    } cases[] = {
        {"duplicate from inside a polyline", "M0,0 L100,0 L100,100* L0,100",
         [](CDrawRecArray& l) {
             l.DuplicateSelected();
             return l.GetSelectedCount();
         },
         3, "M0,0 L100,0 L100,100 L0,100 M100,0* L100,100* L0,100*"},
        {"duplicate a selected move-to", "M0,0* L100,0 M5,5 L6,6",
         [](CDrawRecArray& l) {
             l.DuplicateSelected();
             return l.GetSelectedCount();
         },
         2, "M0,0 L100,0 M5,5 L6,6 M0,0* L100,0*"},
        {"delete the move-to of a long polyline", "M0,0* L100,0 L100,100",
         [](CDrawRecArray& l) {
             l.DeleteSelected();
             return l.GetSelectedCount();
         },
         0, "M100,0 L100,100"},
        {"delete in a two-vertex polyline", "M0,0 L100,0* M5,5 L6,6",
         [](CDrawRecArray& l) {
             l.DeleteSelected();
             return l.GetSelectedCount();
         },
         0, "M5,5 L6,6"},
        {"delete an inner vertex", "M0,0 L100,0* L100,100",
         [](CDrawRecArray& l) {
             l.DeleteSelected();
             return l.GetSelectedCount();
         },
         0, "M0,0 L100,100"},
        {"delete the first segment", "M0,0 L100,0 L100,100 L0,100",
         [](CDrawRecArray& l) { return int32_t(l.DeleteSegment(1)); }, 1, "M100,0 L100,100 L0,100"},
        {"delete the last segment", "M0,0 L100,0 L100,100 L0,100",
         [](CDrawRecArray& l) { return int32_t(l.DeleteSegment(3)); }, 1, "M0,0 L100,0 L100,100"},
        {"delete an inner segment", "M0,0 L100,0 L100,100 L0,100",
         [](CDrawRecArray& l) { return int32_t(l.DeleteSegment(2)); }, 1,
         "M0,0 L100,0 M100,100 L0,100"},
        {"delete the only segment", "M0,0 L100,0",
         [](CDrawRecArray& l) { return int32_t(l.DeleteSegment(1)); }, 1, ""},
        {"a move-to is no segment", "M0,0 L100,0",
         [](CDrawRecArray& l) { return int32_t(l.DeleteSegment(0)); }, 0, "M0,0 L100,0"},
        {"merge a move-to onto the next", "M0,0 L0,0 L50,50",
         [](CDrawRecArray& l) {
             l.SetCurrentVertex(0);
             return l.MergeCurrentVertex();
         },
         1, "M0,0 L50,50"},
        {"merge a two-vertex polyline away", "M0,0 L0,0",
         [](CDrawRecArray& l) {
             l.SetCurrentVertex(0);
             return l.MergeCurrentVertex();
         },
         -1, ""},
        {"merge an inner vertex onto the next", "M0,0 L100,0 L100,0 L200,50",
         [](CDrawRecArray& l) {
             l.SetCurrentVertex(1);
             return l.MergeCurrentVertex();
         },
         1, "M0,0 L100,0 L200,50"},
        {"merge the last vertex onto the previous", "M0,0 L50,50 L50,50",
         [](CDrawRecArray& l) {
             l.SetCurrentVertex(2);
             return l.MergeCurrentVertex();
         },
         1, "M0,0 L50,50"},
        {"nothing to merge", "M0,0 L50,50",
         [](CDrawRecArray& l) {
             l.SetCurrentVertex(1);
             return l.MergeCurrentVertex();
         },
         0, "M0,0 L50,50"},
        {"select polylines by a segment", "M0,0 L1000,0 M0,500 L1000,500",
         [&](CDrawRecArray& l) { return int32_t(l.SelectSegmentsInRect(across, 4, allLayers)); }, 1,
         "M0,0* L1000,0* M0,500 L1000,500"},
        {"layers outside the mask are not selected", "M0,0 L1000,0",
         [&](CDrawRecArray& l) {
             return int32_t(l.SelectSegmentsInRect(across, 4, allLayers & ~LayerBit(layer)));
         },
         0, "M0,0 L1000,0"},
        {"select vertices in a rectangle", "M0,0 L1000,0 M0,500 L1000,500",
         [](CDrawRecArray& l) {
             return int32_t(l.SelectVerticesInRect(CRect(10, 600, -10, -10), 4, allLayers));
         },
         1, "M0,0* L1000,0 M0,500* L1000,500"},
        {"toggle vertices in a rectangle", "M0,0* L1000,0 M0,500 L1000,500",
         [](CDrawRecArray& l) {
             return int32_t(l.SelectVerticesInRect(CRect(-10, -10, 10, 600), 16, allLayers));
         },
         1, "M0,0 L1000,0 M0,500* L1000,500"},
        {"a 1 mm segment is not split", "M0,0 L10078,0",
         [](CDrawRecArray& l) { return int32_t(l.SplitSegmentAt(1, 5039, 0)); }, 0,
         "M0,0 L10078,0"},
        {"a longer segment is split", "M0,0 L40000,0",
         [](CDrawRecArray& l) { return int32_t(l.SplitSegmentAt(1, 20000, 0)); }, 1,
         "M0,0 L20000,0 L40000,0"},
        {"no split near an end", "M0,0 L40000,0",
         [](CDrawRecArray& l) { return int32_t(l.SplitSegmentAt(1, 30001, 0)); }, 0,
         "M0,0 L40000,0"},
        {"a hit in the middle splits and selects", "M0,0 L100000,0",
         [](CDrawRecArray& l) {
             CPoint p(50000, 300);
             const int32_t hit = l.HitTest(p, 4, allLayers);
             return p == CPoint(50000, 0) ? hit : -2;
         },
         1, "M0,0 L50000,0* L100000,0"},
        {"a hit near an end takes the end", "M0,0 L100000,0",
         [](CDrawRecArray& l) {
             CPoint p(1000, 0);
             const int32_t hit = l.HitTest(p, 16, allLayers);
             return p == CPoint(0, 0) ? hit : -2;
         },
         0, "M0,0* L100000,0"},
        {"a miss", "M0,0 L100000,0",
         [](CDrawRecArray& l) {
             CPoint p(50000, 5000);
             return l.HitTest(p, 4, allLayers);
         },
         -1, "M0,0 L100000,0"},
        {"nearest end of the segment hit", "M0,0 L100000,0 L100000,100000",
         [](CDrawRecArray& l) { return l.HitSegmentNearestEnd(CPoint(100000, 30000), layer); }, 1,
         "M0,0 L100000,0 L100000,100000"},
    };
    for (const auto& c : cases) {
        CDrawRecArray list = Make(c.before);
        EXPECT_EQ(c.op(list), c.result) << c.name;
        EXPECT_EQ(Describe(list), c.after) << c.name;
        int32_t selected = 0;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            selected += list.IsSelected(i) ? 1 : 0;
        EXPECT_EQ(list.GetSelectedCount(), selected) << c.name;
        EXPECT_TRUE(list.GetCount() == 0 || list.IsValidIndex(list.GetCurrentVertex())) << c.name;
    }
}

TEST(CDrawRecArrayEdit, IndexesOutsideTheListChangeNothing)
{
    const int32_t bad[] = {-1, 3, std::numeric_limits<int32_t>::max(),
                           std::numeric_limits<int32_t>::min()};
    for (int32_t i : bad) {
        CDrawRecArray list = Make("M0,0 L100,0 L100,100");
        EXPECT_FALSE(list.DeleteVertex(i));
        EXPECT_FALSE(list.DeleteSegment(i));
        EXPECT_FALSE(list.SplitSegmentAt(i, 50, 0));
        EXPECT_FALSE(list.InsertVertex(i == 3 ? 4 : i, 0, 0, layer, 1, 0));
        EXPECT_FALSE(list.SetPoint(i, 1, 1));
        EXPECT_FALSE(list.SetLayer(i, 1));
        EXPECT_FALSE(list.SetPen(i, 1));
        EXPECT_EQ(list.SetSelected(i, true), 0);
        EXPECT_EQ(list.GetPen(i), -1);
        EXPECT_EQ(list.GetLayerCount(i), 0);
        EXPECT_FALSE(list.ContainsPolyline(list, i));
        EXPECT_EQ(Describe(list), "M0,0 L100,0 L100,100");
    }
    CDrawRecArray list = Make("M0,0 L100,0");
    EXPECT_FALSE(list.AddVertex(0, 0, 31, 1, 0));
    EXPECT_FALSE(list.SetLayer(0, -1));
    list.SetPen(1, 99);
    EXPECT_EQ(list.GetPen(1), 15) << "pens above 15 are stored as 15";
    EXPECT_EQ(list.GetVertexWidth(1), 0) << "a pen beyond the table draws nothing wide";
}

TEST(CDrawRecArrayDraw, UnselectedByLayerAndSelectedInHighlight)
{
    CDrawRecArray list = Make("M0,0 L1000,0 L2:1000,1000 M5000,0 L6000,0*");
    list.AddSegment(0, 0, 100, 100, 1, 1, 0);
    CRecordingDC dc;
    list.DrawLayer(dc, layer, CRect(0, 0, 4000, 4000), 0xFF, 0, 0, 10);
    const std::vector<std::string> unselected = {
        "SelectPen solid 100 0x000000FF", "MoveTo 0 0",     "LineTo 100 0",
        "SelectPen solid 120 0x000000FF", "LineTo 100 100", "SelectPen solid 0 0x00000000"};
    EXPECT_EQ(dc.Lines(), unselected);

    dc.Clear();
    std::array<COLORREF, 31> highlight{};
    highlight[size_t(layer)] = 0xAA;
    list.DrawSelected(dc, highlight, 1000, 0, 10);
    const std::vector<std::string> selected = {"SelectPen solid 100 0x000000AA", "MoveTo 600 0",
                                               "LineTo 700 0", "SelectPen solid 0 0x00000000"};
    EXPECT_EQ(dc.Lines(), selected);
}

} // namespace
