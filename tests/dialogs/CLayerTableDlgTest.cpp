#include <memory>
#include <string>
#include <vector>

#include <QTest>

#include "dialogs/CLayerGrid.h"
#include "dialogs/CLayerTableDlg.h"
#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "gridctrl/CGridCell.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/dialogs/TableTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CScriptedColorChooser.h"

namespace {

using table_test::Column;

constexpr int nameCol = 0;
constexpr int color2Col = 2;

class CLayerTableDlgTest : public QtApplicationTest {
protected:
    void Open()
    {
        table = std::make_unique<CLayerTableDlg>(doc, view);
        table->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));
    }
    CLayerGrid& Grid() { return *table->GetLayerGrid(); }
    int RowOf(int32_t layer)
    {
        const std::vector<std::string> names = Column(Grid(), nameCol);
        const auto found =
            std::find(names.begin(), names.end(), doc.Design().GetLayers().GetLayerName(layer));
        return found == names.end() ? -1 : int(found - names.begin());
    }
    void DoubleClick(int col, int row)
    {
        CRect rect;
        ASSERT_TRUE(Grid().GetCellRect(col, row, rect)) << col << "," << row;
        QTest::mouseDClick(
            Grid().GetCellArea(), Qt::LeftButton, {},
            QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2));
    }
    COLORREF Background(int col, int row)
    {
        CGridCell cell;
        Grid().GetCell(col, row, cell);
        return cell.GetBackColor();
    }

    CFakeServices services;
    CScriptedColorChooser colors;
    CTableLanguagePack pack;
    CWevraDoc doc;
    CRecordingTableView view;
    std::unique_ptr<CLayerTableDlg> table;
};

// The enabled layers in order, the work layer current; a disabled layer has no row and the
// colour edit still finds each layer by its name.
TEST_F(CLayerTableDlgTest, RowsOfTheEnabledLayersWithTheirColours)
{
    doc.Design().GetLayers().GetLayer(LAYER_GROUND)->SetEnabled(false);
    doc.Session().SetWorkLayer(LAYER_BOTTOM);
    Open();
    ASSERT_EQ(Grid().GetNumberCols(), 8);
    EXPECT_EQ(Grid().GetText(7, -1), "Mirr");
    ASSERT_EQ(Grid().GetNumberRows(), 30);
    EXPECT_EQ(RowOf(LAYER_GROUND), -1);
    EXPECT_EQ(RowOf(LAYER_POWER), 3);
    EXPECT_EQ(Grid().GetCurrentRow(), RowOf(LAYER_BOTTOM));
    EXPECT_EQ(Background(color2Col, RowOf(LAYER_POWER)),
              doc.Design().GetStoredColor(CDesignSettings::highlightColors, LAYER_POWER));

    const int row = RowOf(LAYER_SILK_BOTTOM);
    colors.QueueAnswer(RGB(10, 20, 30));
    DoubleClick(color2Col, row);
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::highlightColors, LAYER_SILK_BOTTOM),
              RGB(10, 20, 30));
    EXPECT_EQ(Background(color2Col, row), RGB(10, 20, 30));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0],
              std::make_pair(uint32_t(CLayerTableDlg::dialogId), uint32_t(ID_DRAW_REDRAW)));
}

TEST_F(CLayerTableDlgTest, OnlyColourCellsOfferTheChooser)
{
    Open();
    const int row = RowOf(LAYER_TOP);
    for (const int col : {0, 4, 5, 6, 7})
        DoubleClick(col, row);
    EXPECT_TRUE(colors.GetShown().empty());

    // A key typed on a colour offers it too, Esc and Enter do not; Cancel changes nothing.
    Grid().MoveToCell(1, row);
    QTest::keyClick(Grid().GetCellArea(), Qt::Key_Return);
    EXPECT_TRUE(colors.GetShown().empty());
    QTest::keyClick(Grid().GetCellArea(), Qt::Key_C);
    ASSERT_EQ(colors.GetShown().size(), 1u);
    EXPECT_EQ(colors.GetShown()[0].initial,
              doc.Design().GetStoredColor(CDesignSettings::screenColors, LAYER_TOP));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(view.reports.empty());

    table->close();
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0],
              std::make_pair(uint32_t(CLayerTableDlg::dialogId), uint32_t(ID_TABLE_CLOSED)));
}

} // namespace
