#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "dialogs/CComponentGrid.h"
#include "dialogs/CComponentTableDlg.h"
#include "dialogs/CLayerGrid.h"
#include "dialogs/CLayerTableDlg.h"
#include "dialogs/CNetlistGrid.h"
#include "dialogs/CNetlistTableDlg.h"
#include "dialogs/CPadStackGrid.h"
#include "dialogs/CPadStackTableDlg.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CPadStackTable.h"
#include "editor/CTableCommands.h"
#include "framework/qt/CQtCommandBinder.h"
#include "gridctrl/CGridCellArea.h"
#include "model/CComponentArray.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/support/CScriptedColorChooser.h"

namespace {

// The action of a menu of the menu bar that runs `id`.
QAction* FindItem(QMenu& menu, uint32_t id)
{
    emit menu.aboutToShow();
    for (QAction* action : menu.actions()) {
        if (CQtCommandBinder::CommandOf(*action) == id)
            return action;
    }
    return nullptr;
}

class CTableWindowsTest : public CDemoWindowTest {
protected:
    CTableWindowsTest() : CDemoWindowTest("wevra_table_windows_test") {}

    // Opens the menu bar's menu `title` and clicks its item of `id`, as a user does.
    void PickFromMenu(const QString& title, uint32_t id)
    {
        QMenuBar* bar = frame->menuBar();
        QAction* popup = nullptr;
        for (QAction* action : bar->actions()) {
            if (action->text().remove(QLatin1Char('&')) == title)
                popup = action;
        }
        ASSERT_NE(popup, nullptr) << title.toStdString();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(popup).center());
        QMenu* menu = popup->menu();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        QAction* item = FindItem(*menu, id);
        ASSERT_NE(item, nullptr) << id;
        ASSERT_TRUE(item->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QApplication::processEvents();
    }
};

TEST_F(CTableWindowsTest, ComponentTableOpensOnceFromTheMenuAndGoesWhenClosed)
{
    PickFromMenu(QStringLiteral("Components"), ID_COMPONENTS_COMPONENT_TABLE);
    auto* table =
        dynamic_cast<CComponentTableDlg*>(view->GetTableWindow(CWevraView::componentTable));
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_FALSE(table->isModal());
    EXPECT_EQ(table->GetComponentGrid()->GetNumberRows(),
              document->Design().GetComponents().GetCount());
    EXPECT_GT(document->Design().GetComponents().GetCount(), 0);

    // The command again brings the same window to the front.
    PickFromMenu(QStringLiteral("Components"), ID_COMPONENTS_COMPONENT_TABLE);
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), table);

    QPointer<QWidget> gone(table);
    table->close();
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());

    // Opened again, it is a new window.
    QWidget* again =
        CTableCommands::Open(*view, {document->Design(), document->Session(), document->Link()},
                             CWevraView::componentTable);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), again);
}

TEST_F(CTableWindowsTest, LayerTableRecoloursALayerOfTheDesign)
{
    PickFromMenu(QStringLiteral("Board"), ID_BOARD_LAYER_TABLE);
    auto* table = dynamic_cast<CLayerTableDlg*>(view->GetTableWindow(CWevraView::layerTable));
    ASSERT_NE(table, nullptr);
    CLayerGrid& grid = *table->GetLayerGrid();
    const CLayerArray& layers = document->Design().GetLayers();
    int enabled = 0;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        enabled += layers.IsEnabled(layer) ? 1 : 0;
    ASSERT_EQ(grid.GetNumberRows(), enabled);
    EXPECT_EQ(grid.GetText(0, grid.GetCurrentRow()),
              layers.GetLayerName(document->Session().GetWorkLayer()));

    // The screen colour of the work layer, picked with a double click: the board is drawn
    // with it at once and the design must be saved.
    CScriptedColorChooser colors;
    colors.QueueAnswer(RGB(12, 34, 56));
    CRect cell;
    ASSERT_TRUE(grid.GetCellRect(1, grid.GetCurrentRow(), cell));
    QTest::mouseDClick(grid.GetCellArea(), Qt::LeftButton, {},
                       QPoint(int(cell.left + cell.right) / 2, int(cell.top + cell.bottom) / 2));
    QApplication::processEvents();
    const int32_t work = document->Session().GetWorkLayer();
    EXPECT_EQ(document->Design().GetStoredColor(CDesignSettings::screenColors, work),
              RGB(12, 34, 56));
    EXPECT_EQ(document->Paint().GetLayerPen(work, 0).color, RGB(12, 34, 56));
    EXPECT_TRUE(document->IsModified());

    table->close();
    EXPECT_EQ(view->GetTableWindow(CWevraView::layerTable), nullptr);
}

TEST_F(CTableWindowsTest, LibraryTablesOpenOnThePickedLibrary)
{
    // Cancel opens nothing.
    services.listPicker.QueueAnswer(-1);
    PickFromMenu(QStringLiteral("Pads"), ID_PADS_PADSTACK_TABLE);
    EXPECT_EQ(view->GetTableWindow(CWevraView::padStackTable), nullptr);
    ASSERT_EQ(services.listPicker.GetShown().size(), 1u);
    EXPECT_EQ(services.listPicker.GetShown()[0].title, "Select Library Group");
    EXPECT_EQ(services.listPicker.GetShown()[0].entries.front(), "Cache");

    services.listPicker.QueueAnswer(0);
    PickFromMenu(QStringLiteral("Pads"), ID_PADS_PADSTACK_TABLE);
    auto* padStacks =
        dynamic_cast<CPadStackTableDlg*>(view->GetTableWindow(CWevraView::padStackTable));
    ASSERT_NE(padStacks, nullptr);
    EXPECT_EQ(padStacks->windowTitle(), "PadStack Table: Cache");
    EXPECT_EQ(padStacks->GetPadStackGrid()->GetNumberRows(),
              int(CPadStackTable::Rows(*document, document->Design().GetShapeCache()).size()));

    services.listPicker.QueueAnswer(0);
    PickFromMenu(QStringLiteral("Components"), ID_COMPONENTS_SHAPE_TABLE);
    QWidget* shapes = view->GetTableWindow(CWevraView::shapeTable);
    ASSERT_NE(shapes, nullptr);
    EXPECT_TRUE(shapes->isVisible());
}

TEST_F(CTableWindowsTest, NetlistTableMakesTheClickedNetCurrentOnTheBoard)
{
    PickFromMenu(QStringLiteral("Netlist"), ID_NETLIST_NETLIST_TABLE);
    auto* table = dynamic_cast<CNetlistTableDlg*>(view->GetTableWindow(CWevraView::netlistTable));
    ASSERT_NE(table, nullptr);
    CNetlistGrid& grid = *table->GetNetlistGrid();
    ASSERT_EQ(grid.GetNumberRows(), document->Design().GetNets().GetCount());
    ASSERT_GT(grid.GetNumberRows(), 2);

    const int32_t rendered = view->GetRenderCount();
    const int row = grid.GetNumberRows() - 1;
    grid.MoveToCell(CNetlistGrid::colName, row);
    CRect cell;
    ASSERT_TRUE(grid.GetCellRect(CNetlistGrid::colName, row, cell));
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {},
                      QPoint(int(cell.left + cell.right) / 2, int(cell.top + cell.bottom) / 2));
    EXPECT_EQ(document->Design().GetNets().GetCurrentIndex(), row);
    view->repaint();
    EXPECT_GT(view->GetRenderCount(), rendered);
    // The table keeps the focus for the next click.
    EXPECT_EQ(view->GetTableWindow(CWevraView::netlistTable), table);
}

} // namespace
