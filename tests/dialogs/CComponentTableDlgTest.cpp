#include <string>
#include <vector>

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/CComponentGrid.h"
#include "dialogs/CComponentTableDlg.h"
#include "document/CDesign.h"
#include "document/CWevraDoc.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridSheetInfo.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/dialogs/TableTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

using table_test::ClickHeading;
using table_test::Column;
using Strings = std::vector<std::string>;

class CComponentTableDlgTest : public QtApplicationTest {
protected:
    void SetUp() override { shape = doc.Design().GetEditableShapeCache().AddShape("SO8"); }

    CComponent& Add(const std::string& reference, const std::string& type = "LM358")
    {
        CComponentArray& components = doc.Design().GetComponents();
        CComponent& component = *components.GetComponent(components.AddEmpty(shape));
        component.SetReference(reference);
        component.SetType(type);
        return component;
    }

    CComponentGrid& Grid() { return *table->GetComponentGrid(); }
    void Open() { table = std::make_unique<CComponentTableDlg>(doc.Design(), view); }

    CFakeServices services;
    CTableLanguagePack pack;
    CWevraDoc doc;
    CRecordingTableView view;
    int32_t shape = -1;
    std::unique_ptr<CComponentTableDlg> table;
};

TEST_F(CComponentTableDlgTest, EachValueKeepsItsOwnCellWhateverCharactersItHolds)
{
    doc.Design().SetUnit(CLengthText::unitMil);
    doc.Design().SetUserOffset(CPoint(2560, 0));
    CComponent& resistor = Add("R1", "10k, 1%");
    resistor.SetPosition(25600, 51200);
    resistor.SetRotation(90000);
    resistor.SetMirrored(true);
    resistor.SetFlag(ComponentFlags::fromNetlist, true);
    CComponent& quoted = Add("J\"2\"", "\"HDR\",2x5");
    quoted.SetFlag(ComponentFlags::fromTemplate | ComponentFlags::fromPlaceComponent, true);
    Open();

    ASSERT_EQ(Grid().GetNumberCols(), 11);
    EXPECT_EQ(Grid().GetText(CComponentGrid::colSchematic, -1), "Schematic");
    ASSERT_EQ(Grid().GetNumberRows(), 2);
    // Positions are shown from the user offset; the rotation in degrees.
    EXPECT_EQ(Column(Grid(), 0), (Strings{"1", "2"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colType), (Strings{"10k, 1%", "\"HDR\",2x5"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colReference), (Strings{"R1", "J\"2\""}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colShape), (Strings{"SO8", "SO8"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colX), (Strings{"90 mil", "-10 mil"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colY), (Strings{"200 mil", "0 mil"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colRotate), (Strings{"90.000", "0.000"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colMirror), (Strings{"YES", "NO"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colTemplate), (Strings{"NO", "YES"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colPlaced), (Strings{"NO", "YES"}));
    EXPECT_EQ(Column(Grid(), CComponentGrid::colSchematic), (Strings{"YES", "NO"}));
    // Every column shows its widest text whole.
    for (int col = 0; col < Grid().GetNumberCols(); ++col) {
        const QFontMetrics metrics(*Grid().GetSheet()->m_defFont);
        for (int row = -1; row < Grid().GetNumberRows(); ++row)
            EXPECT_GT(Grid().GetColWidth(col),
                      metrics.horizontalAdvance(Grid().GetCellText(col, row)))
                << col << "," << row;
    }
}

TEST_F(CComponentTableDlgTest, HeadingClicksSortReferencesNaturallyAndToggleTheDirection)
{
    for (const char* reference : {"U2", "U10", "C5", "U1", "R10", "R2"})
        Add(reference);
    Open();
    table->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));

    ClickHeading(Grid(), CComponentGrid::colReference);
    EXPECT_EQ(Column(Grid(), CComponentGrid::colReference),
              (Strings{"C5", "R2", "R10", "U1", "U2", "U10"}));
    ClickHeading(Grid(), CComponentGrid::colReference);
    EXPECT_EQ(Column(Grid(), CComponentGrid::colReference),
              (Strings{"U10", "U2", "U1", "R10", "R2", "C5"}));
    // The rows are in Nr order at first and the state says so: the first click on Nr turns
    // them round.
    ClickHeading(Grid(), CComponentGrid::colNr);
    EXPECT_EQ(Column(Grid(), CComponentGrid::colNr), (Strings{"1", "2", "3", "4", "5", "6"}));
    ClickHeading(Grid(), CComponentGrid::colNr);
    EXPECT_EQ(Column(Grid(), CComponentGrid::colNr), (Strings{"6", "5", "4", "3", "2", "1"}));
    EXPECT_EQ(Grid().GetSortCol(), CComponentGrid::colNr);
    EXPECT_FALSE(Grid().IsSortAscending());
}

TEST_F(CComponentTableDlgTest, NaturalOrderComparesTheNumberAfterAnEqualPrefix)
{
    struct Case {
        const char* first;
        const char* second;
        int order;
    };
    const Case cases[] = {
        {"R2", "R10", -1},   {"R10", "R2", 1},        {"C5", "R1", -1},
        {"U1", "U1", 0},     {"U01", "U1", -1},       {"U1A", "U1B", -1},
        {"ABC", "ABD", -1},  {"R", "R1", -1},         {"R99999999999999999999", "R100", 1},
        {"IC2", "IC10", -1}, {"R1", "R1 (spare)", -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CComponentGrid::CompareReferences(QString::fromLatin1(c.first),
                                                    QString::fromLatin1(c.second)),
                  c.order)
            << c.first << " vs " << c.second;
    }
}

TEST_F(CComponentTableDlgTest, ClosingReportsTheTableIdAndClosed)
{
    Add("U1");
    Open();
    table->show();
    table->close();
    ASSERT_EQ(view.reports.size(), 1U);
    EXPECT_EQ(view.reports[0],
              std::make_pair(uint32_t(CComponentTableDlg::dialogId), uint32_t(ID_TABLE_CLOSED)));
    // Esc that reaches the window ends it the same way, never hiding it unreported.
    table->show();
    QTest::keyClick(table.get(), Qt::Key_Escape);
    ASSERT_EQ(view.reports.size(), 2U);
    EXPECT_EQ(view.reports[1].second, uint32_t(ID_TABLE_CLOSED));
}

TEST_F(CComponentTableDlgTest, F1InTheGridOpensTheHelpOfTheCommand)
{
    Add("U1");
    Open();
    table->show();
    table->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(table.get()));
    Grid().GetCellArea()->setFocus();
    QTest::keyClick(Grid().GetCellArea(), Qt::Key_F1);
    EXPECT_EQ(table->GetHelpContext(), 0x10000U + ID_COMPONENTS_COMPONENT_TABLE);
    EXPECT_EQ(services.launcher.openedPages.size(), 1U);
}

TEST_F(CComponentTableDlgTest, ADesignWithoutComponentsShowsTheHeadingsOnly)
{
    Open();
    EXPECT_EQ(Grid().GetNumberRows(), 0);
    EXPECT_EQ(Grid().GetText(CComponentGrid::colReference, -1), "Reference");
    ClickHeading(Grid(), CComponentGrid::colReference);
    EXPECT_EQ(Grid().GetNumberRows(), 0);
}

TEST_F(CComponentTableDlgTest, ALongTableStaysWithinTheScreen)
{
    for (int i = 0; i < 3000; ++i)
        Add("U" + std::to_string(i + 1));
    Open();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(table->height(), free.height());
    EXPECT_LE(table->width(), free.width());
    // The grid covers the window whatever its size.
    table->show();
    table->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(Grid().geometry(), table->rect());
}

} // namespace
