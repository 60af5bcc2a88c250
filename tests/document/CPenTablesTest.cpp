#include "document/CPenTables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "model/CDrawRecArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"
#include "tests/document/DocTestViews.h"

namespace {

std::vector<uint16_t> Widths(std::initializer_list<uint16_t> widths)
{
    return std::vector<uint16_t>(widths);
}

class CPenTablesTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        doc->Design().SetUnit(CLengthText::unitMil);
    }

    // Net 0 offers five widths; net "A" may use 1500..4000 of them.
    CNet& CopperNets()
    {
        doc->Session().SetWorkLayer(LAYER_TOP);
        CNetArray& nets = doc->Design().GetNets();
        nets.GetNet(0)->SetPenTable(Widths({0, 1000, 2000, 3000, 50000}));
        const int32_t a = nets.AddNetWithWidths("A", 1500, 4000, 500);
        nets.SetCurrentNet(a);
        return *nets.GetNet(a);
    }

    CDrawRecArray& Lines(std::initializer_list<uint16_t> widths)
    {
        doc->Session().SetWorkLayer(LAYER_DRAWING_1);
        CDrawRecArray& lines = doc->Design().GetLines();
        lines.SetPenTable(Widths(widths));
        return lines;
    }

    CProgramStrings strings;
};

} // namespace

TEST_F(CPenTablesTest, RowsNameTheirPensWhenTheNetLimitsHideSome)
{
    CNet& net = CopperNets();
    CPenTables pens(doc->Design(), doc->Session(), doc->Editing(), doc->Windows(), nullptr, false);
    ASSERT_EQ(pens.GetKind(), CPenTables::Kind::copper);
    EXPECT_EQ(pens.GetTitle(), "Pen width for net: A");
    EXPECT_EQ(pens.GetRows(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(pens.GetRowText(1), "2,  11 mil,  0");
    // The first row is pen 2 (2000), not pen 1 (1000) as the row number would say.
    pens.Select(0);
    EXPECT_EQ(net.GetCurrentPenWidth(), 2000);
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetCurrentPen(), 2);
    EXPECT_EQ(pens.GetCurrentRow(), 0);
}

TEST_F(CPenTablesTest, NewWidthsJoinBothTablesOnlyWhenBothHaveRoom)
{
    CNet& net = CopperNets();
    CPenTables pens(doc->Design(), doc->Session(), doc->Editing(), doc->Windows(), nullptr, false);
    // Clamped into the net's limits, which the user is told, then added to net 0 and the net.
    services.messages.ClearShown();
    EXPECT_EQ(pens.GetWidth(pens.Add(9000)), 4000);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{CResString::LoadWith(
                  IDS_VALUE_BROUGHT_WITHIN,
                  "Pen width 35 mil, outside net A's widths 5 mil to 15 mil, is 15 mil")});
    EXPECT_GE(doc->Design().GetNets().GetNet(0)->FindPen(4000), 1);
    EXPECT_GE(net.FindPen(4000), 1);

    // A full net table refuses the width for net 0 too.
    std::vector<uint16_t> full = {0};
    for (uint16_t w = 1600; full.size() < size_t(CPenTables::maxEntries); w += 100)
        full.push_back(w);
    net.SetPenTable(full);
    const std::vector<uint16_t> board = doc->Design().GetNets().GetNet(0)->GetPenTable();
    pens.Add(3500);
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetPenTable(), board);
    EXPECT_EQ(net.GetPenTable(), full);

    // Out of range widths are refused, the range named (in inch, which shows them apart).
    doc->Design().SetUnit(CLengthText::unitInch);
    services.messages.ClearShown();
    pens.Add(500);
    pens.Add(65512);
    pens.Change(0, 502);
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetPenTable(), board);
    EXPECT_EQ(net.GetPenTable(), full);
    const std::vector<std::string> shown = services.messages.ShownTexts();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_NE(shown[0].find("Pen width 0.00195 inch, outside 0.00197 inch to 0.25590 inch"),
              std::string::npos)
        << shown[0];
    EXPECT_NE(shown[1].find("Pen width 0.25591 inch, outside"), std::string::npos) << shown[1];
    EXPECT_NE(shown[2].find("Pen width 0.00196 inch, outside"), std::string::npos) << shown[2];
}

TEST_F(CPenTablesTest, LineTableLimitsAndDeletion)
{
    CDrawRecArray& lines = Lines({0, 1000, 2000, 3000});
    lines.AddSegment(0, 0, 1000, 0, LAYER_DRAWING_1, 3, 0);
    CPenTables pens(doc->Design(), doc->Session(), doc->Editing(), doc->Windows(), nullptr, false);
    ASSERT_EQ(pens.GetKind(), CPenTables::Kind::lines);
    EXPECT_EQ(pens.GetTitle(), "Line Width");
    // Deleting the first entry selects the new first entry.
    EXPECT_TRUE(pens.CanDelete(0));
    EXPECT_EQ(pens.Delete(0), 0);
    EXPECT_EQ(pens.GetWidth(0), 2000);
    // A pen in use stays.
    EXPECT_FALSE(pens.CanDelete(1));
    EXPECT_EQ(pens.Delete(1), 1);
    EXPECT_EQ(lines.GetVertexWidth(1), 3000);

    std::vector<uint16_t> full = {0};
    for (uint16_t w = 1000; full.size() < size_t(CPenTables::maxEntries); w += 100)
        full.push_back(w);
    lines.SetPenTable(full);
    EXPECT_FALSE(pens.CanAdd());
    pens.Add(9000);
    EXPECT_EQ(lines.GetPenTable(), full);
}

TEST_F(CPenTablesTest, ChangingALibraryPenLeavesTheBoardLinesAlone)
{
    CDrawRecArray& lines = Lines({0, 2015});
    lines.AddSegment(0, 0, 1000, 0, LAYER_DRAWING_1, 1, 0);
    CShapeLib library("PARTS");
    CPenTables pens(doc->Design(), doc->Session(), doc->Editing(), doc->Windows(), &library, false);
    EXPECT_EQ(pens.GetTitle(), "Width PARTS");
    pens.Change(0, 3000);
    EXPECT_EQ(library.GetPens(), Widths({0, 3000}));
    EXPECT_EQ(lines.GetPenTable(), Widths({0, 2015}));
    EXPECT_EQ(lines.GetVertexWidth(1), 2015);
}

TEST_F(CPenTablesTest, ChangingAPenInUseOnNetZeroAsksAndChangesEveryNet)
{
    CNet& net = CopperNets();
    net.AppendVertex(0, 0, LAYER_TOP, 0);
    net.AppendVertex(1000, 0, LAYER_TOP, net.AddPen(2000));
    doc->Design().GetNets().SetCurrentNet(0);
    doc->Design().GetNets().GetNet(0)->SetWidths(0, 60000, 500);
    CPenTables pens(doc->Design(), doc->Session(), doc->Editing(), doc->Windows(), nullptr, true);
    EXPECT_EQ(pens.GetTitle(), "Select Default Pen Width");

    services.messages.QueueAnswer(IDCANCEL);
    pens.Change(1, 2500);
    EXPECT_EQ(net.GetVertexWidth(1), 2000);
    services.messages.QueueAnswer(IDOK);
    pens.Change(1, 2500);
    EXPECT_EQ(net.GetVertexWidth(1), 2500);
    EXPECT_GE(doc->Design().GetNets().GetNet(0)->FindPen(2500), 1);
}
