#include <algorithm>
#include <cstdint>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

#include "dialogs/CConfigDisplay.h"
#include "dialogs/CConfigGrid.h"
#include "dialogs/CConfigOutput.h"
#include "dialogs/CDesignConfig.h"
#include "dialogs/CLayerSetDlg.h"
#include "dialogs/CSelectLayerDlg.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/support/ArchiveBytes.h"

namespace {

// The menu item of a command, as a user finds it opening the menus.
QAction* MenuItem(const QList<QAction*>& actions, uint32_t id)
{
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            emit menu->aboutToShow();
            if (QAction* found = MenuItem(menu->actions(), id))
                return found;
        } else if (CQtCommandBinder::CommandOf(*action) == id) {
            return action;
        }
    }
    return nullptr;
}

// Chooses the layer in the "Select Default Layer" list and presses OK.
void ChooseLayer(QWidget* dialog, int32_t layer)
{
    auto* list = dialog_test::Find<QListWidget>(dialog, CSelectLayerDlg::idList);
    for (int row = 0; row < list->count(); ++row) {
        if (CLayerSetDlg::LayerOf(*list, row) == layer)
            list->setCurrentRow(row);
    }
    dialog_test::Click(dialog, CWevraDialog::idOk);
}

// A preview shows its background and, on it, the board: the smaller of the two pixel counts.
int Painted(QWidget* sheet, int32_t id, QColor background)
{
    const QImage image = dialog_test::Find<QWidget>(sheet, id)->grab().toImage();
    int painted = 0;
    int clear = 0;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 4; x < image.width() - 4; ++x)
            ++(image.pixelColor(x, y) == background ? clear : painted);
    }
    return std::min(painted, clear);
}

class CDesignConfigMenuTest : public CDemoWindowTest {
protected:
    CDesignConfigMenuTest() : CDemoWindowTest("wevra_design_config_menu_test") {}

    QAction* Item(uint32_t id)
    {
        QAction* item = MenuItem(frame->menuBar()->actions(), id);
        frame->UpdateCommandUI();
        return item;
    }
};

TEST_F(CDesignConfigMenuTest, BoardConfigurationEditsTheDesignsGrids)
{
    QAction* configuration = Item(ID_BOARD_CONFIGURATION);
    ASSERT_NE(configuration, nullptr);
    ASSERT_TRUE(configuration->isEnabled());
    document->SetModifiedFlag(false);
    WhenModal([](QWidget* sheet) {
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Design Configuration"));
        auto* tabs = sheet->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->count(), 5);
        EXPECT_EQ(tabs->currentIndex(), int(CDesignConfig::pageDisplay));
        // Both previews show the board on their own background.
        EXPECT_GT(Painted(sheet, CConfigDisplay::idPreview, Qt::black), 1000);
        tabs->setCurrentIndex(CDesignConfig::pageOutput);
        EXPECT_GT(Painted(sheet, CConfigOutput::idPreview, Qt::white), 100);
        tabs->setCurrentIndex(CDesignConfig::pageGrid);
        auto* snapX =
            dialog_test::Find<QLineEdit>(sheet, CConfigGrid::ids[CGridArr::gridDefault].snap[0]);
        snapX->setFocus();
        snapX->selectAll();
        QTest::keyClicks(snapX, QStringLiteral("0.2"));
        // Enter takes the text and closes the sheet with OK.
        QTest::keyClick(snapX, Qt::Key_Return);
    });
    configuration->trigger();
    EXPECT_EQ(document->Design().GetGridSettings().GetSnap(CGridArr::gridDefault).cx, 51200);
    EXPECT_TRUE(document->IsModified());
}

TEST_F(CDesignConfigMenuTest, ChangeLayerOnSelectionCancelledChangesNothing)
{
    QAction* changeLayer = Item(ID_EDIT_CHANGE_LAYER_ON_SELECTION);
    ASSERT_NE(changeLayer, nullptr);
    EXPECT_FALSE(changeLayer->isEnabled()) << "nothing is selected";
    ASSERT_GT(document->Design().GetNets().SelectAll(true), 0);
    changeLayer = Item(ID_EDIT_CHANGE_LAYER_ON_SELECTION);
    ASSERT_TRUE(changeLayer->isEnabled());
    const archive_bytes::Bytes nets = archive_bytes::Store(document->Design().GetNets());
    const int32_t undo = document->History().GetUndoCount();
    const int32_t workLayer = document->Session().GetWorkLayer();

    WhenModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    changeLayer->trigger();
    EXPECT_EQ(archive_bytes::Store(document->Design().GetNets()), nets);
    EXPECT_EQ(document->History().GetUndoCount(), undo);
    EXPECT_EQ(document->Session().GetWorkLayer(), workLayer);

    const int32_t target = workLayer == LAYER_BOTTOM ? LAYER_TOP : LAYER_BOTTOM;
    WhenModal([target](QWidget* dialog) { ChooseLayer(dialog, target); });
    changeLayer->trigger();
    EXPECT_EQ(document->Session().GetWorkLayer(), target);
    EXPECT_NE(archive_bytes::Store(document->Design().GetNets()), nets);
    // One Undo takes it back (the selection aside).
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_UNDO));
    document->Design().GetNets().SelectAll(true);
    EXPECT_EQ(archive_bytes::Store(document->Design().GetNets()), nets);
}

TEST_F(CDesignConfigMenuTest, KeyLChoosesTheWorkLayer)
{
    WhenModal([](QWidget* dialog) { ChooseLayer(dialog, LAYER_SILK_TOP); });
    view->setFocus();
    QTest::keyClick(view, Qt::Key_L);
    EXPECT_EQ(document->Session().GetWorkLayer(), LAYER_SILK_TOP);
}

} // namespace
