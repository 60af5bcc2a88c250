#include <string>
#include <vector>

#include <QAction>
#include <QMenu>

#include "dialogs/CNetFindReplaceDlg.h"
#include "dialogs/CNetlistGrid.h"
#include "dialogs/CNetlistTableDlg.h"
#include "document/CDesign.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentLink.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CWevraDoc.h"
#include "gridctrl/CGridEdit.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/dialogs/TableTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

using table_test::ClickCell;
using table_test::ClickHeading;
using table_test::Column;
using Strings = std::vector<std::string>;
using Grid = CNetlistGrid;

constexpr int32_t mil = 256;

class CNetlistTableDlgTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        doc.Design().SetUnit(CLengthText::unitMil);
        CNetArray& nets = doc.Design().GetNets();
        nets.GetNet(0)->SetPenTable({0, 10 * mil, 15 * mil, 20 * mil, 100 * mil});
        gnd = nets.AddNetWithWidths("GND", 10 * mil, 50 * mil, 10 * mil);
        vcc = nets.AddNetWithWidths("VCC", 10 * mil, 50 * mil, 10 * mil);
        clk = nets.AddNetWithWidths("CLK", 15 * mil, 50 * mil, 10 * mil);
        nets.GetNet(clk)->SetFlags(CNet::flagNoRatsnest, true);
    }

    void Open()
    {
        table = std::make_unique<CNetlistTableDlg>(doc.Design(), doc.Session(), doc.Link(), view);
        table->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));
    }
    CNetlistGrid& G() { return *table->GetNetlistGrid(); }
    CNet& Net(int32_t i) { return *doc.Design().GetNets().GetNet(i); }
    std::string Label(int col, int row)
    {
        CGridCell cell;
        G().GetCell(col, row, cell);
        return cell.GetLabelText().toStdString();
    }

    // Types into the cell as a user does: the first key starts the edit, the others go into it.
    void Type(int col, int row, const std::string& text)
    {
        ClickCell(G(), col, row);
        QTest::keyClick(G().GetCellArea(), text[0]);
        ASSERT_TRUE(G().IsEditing()) << col << "," << row;
        QTest::keyClicks(G().GetEdit(), QString::fromStdString(text.substr(1)));
    }
    void RightClickCell(int col, int row)
    {
        G().MoveToCell(col, row);
        CRect rect;
        ASSERT_TRUE(G().GetCellRect(col, row, rect));
        QTest::mouseClick(G().GetCellArea(), Qt::RightButton, {},
                          QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2));
    }
    void TypeAndEnter(int col, int row, const std::string& text)
    {
        Type(col, row, text);
        QTest::keyClick(G().GetEdit(), Qt::Key_Return);
    }

    CFakeServices services;
    CTableLanguagePack pack;
    CWevraDoc doc;
    CRecordingTableView view;
    int32_t gnd = -1;
    int32_t vcc = -1;
    int32_t clk = -1;
    std::unique_ptr<CNetlistTableDlg> table;
};

TEST_F(CNetlistTableDlgTest, RowsShowEveryNetWithItsRulesAndTheWidthsItMayChoose)
{
    Open();
    ASSERT_EQ(G().GetNumberRows(), 4);
    EXPECT_EQ(G().GetText(Grid::colRatsLines, -1), "RatsLines");
    EXPECT_EQ(Column(G(), Grid::colNr), (Strings{"   0", "   1", "   2", "   3"}));
    EXPECT_EQ(Column(G(), Grid::colName), (Strings{"Zero", "GND", "VCC", "CLK"}));
    EXPECT_EQ(Column(G(), Grid::colMinWidth), (Strings{"7 mil", "10 mil", "10 mil", "15 mil"}));
    EXPECT_EQ(Column(G(), Grid::colRatsLines), (Strings{"NO", "YES", "YES", "NO"}));
    EXPECT_EQ(Label(Grid::colCurrentWidth, gnd), "10 mil\n15 mil\n20 mil\n");
    EXPECT_EQ(Label(Grid::colCurrentWidth, clk), "15 mil\n20 mil\n");
    table_test::ExpectRowsHoldTheirText(G());
}

TEST_F(CNetlistTableDlgTest, EditsReachTheNetsHoweverTheyEndAndEscStoresNothing)
{
    Open();
    TypeAndEnter(Grid::colMinWidth, gnd, "20");
    EXPECT_EQ(Net(gnd).GetMinWidth(), 20 * mil);
    // The first track width follows a minimum that passes it.
    EXPECT_EQ(Net(gnd).GetPenWidth(1), 20 * mil);
    EXPECT_EQ(G().GetText(Grid::colMinWidth, gnd), "20 mil");
    EXPECT_FALSE(G().IsEditing());

    Type(Grid::colMaxWidth, vcc, "40");
    QTest::keyClick(G().GetEdit(), Qt::Key_Tab);
    EXPECT_EQ(Net(vcc).GetMaxWidth(), 40 * mil);

    Type(Grid::colMinSpace, clk, "12");
    ClickCell(G(), Grid::colName, gnd);
    EXPECT_EQ(Net(clk).GetClearance(), 12 * mil);

    Type(Grid::colMinSpace, clk, "30");
    QTest::keyClick(G().GetEdit(), Qt::Key_Escape);
    EXPECT_FALSE(G().IsEditing());
    EXPECT_EQ(Net(clk).GetClearance(), 12 * mil);
    EXPECT_EQ(G().GetText(Grid::colMinSpace, clk), "12 mil");

    // A value outside the limits leaves the net, shows its value again and says so; one typed
    // as the cell showed it changes nothing, though the cell rounds it (0.19 mil shows as 0).
    Net(gnd).SetWidths(Net(gnd).GetMinWidth(), 50 * mil, 49);
    doc.SetModifiedFlag(false);
    const struct {
        int32_t net;
        const char* typed;
        const char* refused;
    } kept[] = {{clk, "0.1", "Net clearance 0.1, outside 1 mil to 196 mil"},
                {clk, "197", "Net clearance 197, outside 1 mil to 196 mil"},
                {clk, "12", ""},
                {gnd, "0", ""}};
    for (const auto& k : kept) {
        SCOPED_TRACE(k.typed);
        const int32_t before = Net(k.net).GetClearance();
        services.messages.ClearShown();
        TypeAndEnter(Grid::colMinSpace, k.net, k.typed);
        EXPECT_EQ(Net(k.net).GetClearance(), before);
        EXPECT_EQ(G().GetText(Grid::colMinSpace, k.net),
                  CLengthText::FormatLength(CLengthText::unitMil, before));
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), *k.refused ? 1U : 0U);
        if (*k.refused) {
            EXPECT_NE(shown[0].find(k.refused), std::string::npos) << shown[0];
        }
    }
    EXPECT_FALSE(doc.IsModified());

    // The counts are not typed into.
    ClickCell(G(), Grid::colPads, gnd);
    QTest::keyClick(G().GetCellArea(), 'x');
    EXPECT_FALSE(G().IsEditing());
}

TEST_F(CNetlistTableDlgTest, NamesAreUpperCaseAndNeverTakeAnotherNetsName)
{
    Open();
    TypeAndEnter(Grid::colName, gnd, "vcc");
    EXPECT_EQ(services.messages.ShownTexts(), Strings{"Error"});
    EXPECT_EQ(Net(gnd).GetName(), "GND");
    EXPECT_EQ(G().GetText(Grid::colName, gnd), "GND");

    TypeAndEnter(Grid::colName, gnd, "gnd");
    EXPECT_EQ(Net(gnd).GetName(), "GND");
    TypeAndEnter(Grid::colName, gnd, "agnd, 1");
    EXPECT_EQ(Net(gnd).GetName(), "AGND, 1");
    EXPECT_EQ(G().GetText(Grid::colName, gnd), "AGND, 1");
    EXPECT_EQ(services.messages.ShownTexts().size(), 1U);
}

TEST_F(CNetlistTableDlgTest, AMaximumBelowTheMinimumLowersTheMinimumToo)
{
    Open();
    TypeAndEnter(Grid::colMaxWidth, gnd, "8");
    EXPECT_EQ(Net(gnd).GetMaxWidth(), 8 * mil);
    EXPECT_EQ(Net(gnd).GetMinWidth(), 8 * mil);
    EXPECT_EQ(Net(gnd).GetPenWidth(1), 8 * mil);
    EXPECT_EQ(G().GetText(Grid::colMinWidth, gnd), "8 mil");
}

TEST_F(CNetlistTableDlgTest, TheRatsnestSwitchShowsWhatTheNetDoesNow)
{
    Open();
    TypeAndEnter(Grid::colRatsLines, vcc, "x");
    EXPECT_TRUE(Net(vcc).TestFlags(CNet::flagNoRatsnest));
    EXPECT_EQ(G().GetText(Grid::colRatsLines, vcc), "NO");
    ASSERT_FALSE(view.reports.empty());
    EXPECT_EQ(view.reports.back(),
              std::make_pair(uint32_t(CNetlistTableDlg::dialogId), uint32_t(ID_DRAW_REDRAW)));
    TypeAndEnter(Grid::colRatsLines, vcc, "x");
    EXPECT_FALSE(Net(vcc).TestFlags(CNet::flagNoRatsnest));
    EXPECT_EQ(G().GetText(Grid::colRatsLines, vcc), "YES");
    // What is on no net has no ratsnest to switch on.
    TypeAndEnter(Grid::colRatsLines, 0, "x");
    EXPECT_FALSE(Net(0).TestFlags(CNet::flagNoRatsnest));
    EXPECT_EQ(G().GetText(Grid::colRatsLines, 0), "NO");
}

TEST_F(CNetlistTableDlgTest, AClickMakesTheNetOfTheRowCurrentAfterSortingToo)
{
    Open();
    ClickHeading(G(), Grid::colName);
    ASSERT_EQ(Column(G(), Grid::colName), (Strings{"CLK", "GND", "VCC", "Zero"}));
    view.reports.clear();
    ClickCell(G(), Grid::colName, 0);
    EXPECT_EQ(doc.Design().GetNets().GetCurrentIndex(), clk);
    ASSERT_FALSE(view.reports.empty());
    EXPECT_EQ(view.reports.back(),
              std::make_pair(uint32_t(CNetlistTableDlg::dialogId), uint32_t(ID_DRAW_REDRAW)));

    // Not while a tool is half-way through a step.
    doc.Session().SetAction(CEditState::actionDragging);
    ClickCell(G(), Grid::colName, 2);
    EXPECT_EQ(doc.Design().GetNets().GetCurrentIndex(), clk);
}

TEST_F(CNetlistTableDlgTest, RowsOfNetsThatAreGoneChangeNothing)
{
    Open();
    doc.Cleanup().DeleteUnusedNets();
    ASSERT_EQ(doc.Design().GetNets().GetCount(), 1);
    view.reports.clear();

    ClickCell(G(), Grid::colName, clk);
    EXPECT_EQ(doc.Design().GetNets().GetCurrentIndex(), 0);
    EXPECT_TRUE(view.reports.empty());
    TypeAndEnter(Grid::colMinWidth, clk, "30");
    EXPECT_EQ(G().GetText(Grid::colMinWidth, clk), "15 mil");
    TypeAndEnter(Grid::colName, vcc, "zero");
    EXPECT_EQ(Net(0).GetName(), "Zero");
    EXPECT_TRUE(G().ReplaceAll(Grid::colMinWidth, "15", "12"));
    EXPECT_EQ(G().OnCellTypeEvent(1, Grid::colCurrentWidth, gnd, GRID_EVENT_DROPLIST_CHOICE, 0,
                                  QStringLiteral("20 mil")),
              0);
    EXPECT_EQ(Net(0).GetMinWidth(), CNet::defaultMinWidth);
    EXPECT_EQ(Net(0).GetPenTable(),
              (std::vector<uint16_t>{0, 10 * mil, 15 * mil, 20 * mil, 100 * mil}));
}

TEST_F(CNetlistTableDlgTest, FindAndReplacePutsTheValueIntoEveryNetShowingTheOldOne)
{
    Open();
    // The popup of a rule column offers it; that of a count column offers nothing.
    RightClickCell(Grid::colPads, gnd);
    EXPECT_FALSE(G().GetPopupMenu()->isVisible());
    RightClickCell(Grid::colMinWidth, gnd);
    ASSERT_TRUE(G().GetPopupMenu()->isVisible());
    ASSERT_EQ(G().GetPopupMenu()->actions().size(), 1);
    EXPECT_EQ(G().GetPopupMenu()->actions()[0]->text(), QStringLiteral("Find and Replace..."));

    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog_test::Text(dialog, CNetFindReplaceDlg::idFind), "");
        EXPECT_EQ(dialog_test::Text(dialog, CNetFindReplaceDlg::idReplace), "10 mil");
        dialog_test::Type(dialog, CNetFindReplaceDlg::idFind, "10");
        dialog_test::Type(dialog, CNetFindReplaceDlg::idReplace, "12");
        dialog_test::Click(dialog, CWevraDialog::idOk);
    });
    G().GetPopupMenu()->actions()[0]->trigger();
    G().GetPopupMenu()->hide();
    EXPECT_EQ(Net(gnd).GetMinWidth(), 12 * mil);
    EXPECT_EQ(Net(vcc).GetMinWidth(), 12 * mil);
    EXPECT_EQ(Net(clk).GetMinWidth(), 15 * mil);
    EXPECT_EQ(Column(G(), Grid::colMinWidth), (Strings{"7 mil", "12 mil", "12 mil", "15 mil"}));

    // The value looked for and the replacement have limits, which a refusal names; spacings may
    // be looked for wider.
    services.messages.ClearShown();
    EXPECT_FALSE(G().ReplaceAll(Grid::colMinWidth, "12", "0.1"));
    EXPECT_FALSE(G().ReplaceAll(Grid::colMaxWidth, "300", "40"));
    EXPECT_EQ(services.messages.ShownTexts().size(), 2U);
    for (const std::string& shown : services.messages.ShownTexts())
        EXPECT_NE(shown.find(", outside "), std::string::npos) << shown;
    EXPECT_TRUE(G().ReplaceAll(Grid::colMinSpace, "300", "40"));
    EXPECT_EQ(Net(gnd).GetMinWidth(), 12 * mil);
    // The current width is chosen among the net's widths.
    EXPECT_TRUE(G().ReplaceAll(Grid::colCurrentWidth, "10", "20"));
    EXPECT_EQ(Net(gnd).GetCurrentPenWidth(), 20 * mil);
    EXPECT_EQ(G().GetText(Grid::colCurrentWidth, gnd), "20 mil");
}

TEST_F(CNetlistTableDlgTest, TheDropListChoiceBecomesTheCurrentWidth)
{
    Open();
    const auto choose = [this](int32_t row, const char* text) {
        return G().OnCellTypeEvent(1, Grid::colCurrentWidth, row, GRID_EVENT_DROPLIST_CHOICE, 0,
                                   QString::fromLatin1(text));
    };
    choose(gnd, "15 mil");
    EXPECT_EQ(Net(gnd).GetCurrentPenWidth(), 15 * mil);
    EXPECT_EQ(G().GetText(Grid::colCurrentWidth, gnd), "15 mil");
    const int32_t pens = Net(gnd).GetPenCount();
    choose(gnd, "15 mil");
    EXPECT_EQ(Net(gnd).GetPenCount(), pens);
    // A text that is no width leaves the pen as it was.
    choose(gnd, "none");
    EXPECT_EQ(Net(gnd).GetCurrentPenWidth(), 15 * mil);
}

} // namespace
