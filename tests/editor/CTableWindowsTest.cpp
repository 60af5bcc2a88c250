#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "dialogs/CComponentGrid.h"
#include "dialogs/CComponentTableDlg.h"
#include "editor/CTableCommands.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CComponentArray.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"

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
    EXPECT_EQ(table->GetComponentGrid()->GetNumberRows(), document->GetComponents().GetCount());
    EXPECT_GT(document->GetComponents().GetCount(), 0);

    // The command again brings the same window to the front.
    PickFromMenu(QStringLiteral("Components"), ID_COMPONENTS_COMPONENT_TABLE);
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), table);

    QPointer<QWidget> gone(table);
    table->close();
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());

    // Opened again, it is a new window.
    QWidget* again = CTableCommands::Open(*view, CWevraView::componentTable);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(view->GetTableWindow(CWevraView::componentTable), again);
}

} // namespace
