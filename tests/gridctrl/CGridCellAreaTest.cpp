#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridDropListType.h"
#include "gridctrl/CGridSheetInfo.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

// Keeps the drop-list choices and the clicks it is told of.
class CAreaGrid : public CGridCtrl {
public:
    int OnCellTypeEvent(int, int col, int row, int message, int, const QString& text) override
    {
        events.push_back({message, col, row, text});
        return 1;
    }
    void OnCellClick(int col, int row, int down, const CRect&, CPoint, int) override
    {
        clicks.push_back({col, row, down});
    }
    struct Event {
        int message;
        int col;
        int row;
        QString text;
    };
    std::vector<Event> events;
    void OnPopupCommand(int col, int row, int section, int id) override
    {
        commands.push_back({col, row, section, id});
    }
    std::vector<std::vector<int>> clicks;
    std::vector<std::vector<int>> commands;
};

class CGridCellAreaTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_owner = MakeGrid(3, 40, m_grid = new CAreaGrid());
        m_grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_grid));
        Area()->setFocus();
        QApplication::processEvents();
    }

    QWidget* Area() const { return m_grid->GetCellArea(); }

    CAreaGrid* m_grid = nullptr;
    std::unique_ptr<CGridCtrl> m_owner;
};

TEST_F(CGridCellAreaTest, KeysMoveTheCurrentCellAndTheViewFollows)
{
    QTest::keyClick(Area(), Qt::Key_Right);
    QTest::keyClick(Area(), Qt::Key_Down);
    EXPECT_EQ(m_grid->GetCurrentCol(), 1);
    EXPECT_EQ(m_grid->GetCurrentRow(), 1);
    QTest::keyClick(Area(), Qt::Key_End);
    EXPECT_EQ(m_grid->GetCurrentCol(), 2);
    QTest::keyClick(Area(), Qt::Key_Home);
    EXPECT_EQ(m_grid->GetCurrentCol(), 0);
    QTest::keyClick(Area(), Qt::Key_PageDown);
    const int page = m_grid->GetCurrentRow() - 1;
    EXPECT_GT(page, 5);
    CRect shown;
    EXPECT_TRUE(m_grid->GetCellRect(0, m_grid->GetCurrentRow(), shown));
    QTest::keyClick(Area(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(m_grid->GetCurrentRow(), 39);
    EXPECT_EQ(m_grid->GetTopRow(), m_grid->GetSheet()->m_maxTopRow);
    QTest::keyClick(Area(), Qt::Key_Down);
    EXPECT_EQ(m_grid->GetCurrentRow(), 39);
    QTest::keyClick(Area(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(m_grid->GetCurrentRow(), 0);
    EXPECT_EQ(m_grid->GetTopRow(), 0);
}

TEST_F(CGridCellAreaTest, ClicksMoveToTheCellAndOutsideReportNoCell)
{
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(80, 45));
    EXPECT_EQ(m_grid->GetCurrentCol(), 1);
    EXPECT_EQ(m_grid->GetCurrentRow(), 2);
    m_grid->SetNumberRows(2);
    m_grid->clicks.clear();
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(m_grid->clicks, (std::vector<std::vector<int>>{{-1, -1, 1}, {-1, -1, 0}}));
}

TEST_F(CGridCellAreaTest, ADropListOffersItsChoicesBelowTheCell)
{
    m_grid->SetCellTypeIndex(1, 2, 1);
    m_grid->SetCellLabel(1, 2, "red\ngreen\nblue\n");
    CRect cell;
    ASSERT_TRUE(m_grid->GetCellRect(1, 2, cell));
    const QPoint button(cell.right - 4, int(cell.top + cell.bottom) / 2);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, button);
    auto* list = Area()->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->y(), cell.bottom);
    ASSERT_FALSE(m_grid->events.empty());
    EXPECT_EQ(m_grid->events.front().message, GRID_EVENT_DROPLIST_OPEN);

    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(m_grid->GetCellText(1, 2), "green");
    EXPECT_EQ(m_grid->events.back().message, GRID_EVENT_DROPLIST_CHOICE);
    EXPECT_EQ(m_grid->events.back().text, "green");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Area()->findChild<QListWidget*>(), nullptr) << "the list is gone";
}

TEST_F(CGridCellAreaTest, ThePopupOpensOnlyWhenSwitchedOn)
{
    m_grid->AddMenuItem(1000, "Sort");
    QTest::mouseClick(Area(), Qt::RightButton, {}, QPoint(80, 45));
    EXPECT_FALSE(m_grid->GetPopupMenu()->isVisible());
    EXPECT_EQ(m_grid->GetCurrentRow(), 2) << "the right button still moves";
    m_grid->EnablePopupMenu(1);
    QTest::mouseClick(Area(), Qt::RightButton, {}, QPoint(80, 65));
    ASSERT_TRUE(m_grid->GetPopupMenu()->isVisible());
    m_grid->GetPopupMenu()->actions().front()->trigger();
    EXPECT_EQ(m_grid->commands, (std::vector<std::vector<int>>{{1, 3, GS_CELLAREA, 1000}}));
    m_grid->GetPopupMenu()->hide();
}

} // namespace
