#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridSideHeading.h"
#include "gridctrl/CGridTopHeading.h"
#include "tests/gridctrl/GridMouse.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

// Records what the headings report.
class CHeadingGrid : public CGridCtrl {
public:
    void OnColSized(int col, int& width) override { sized.push_back({col, width}); }
    int OnHeadingButtonUp(int from, int to) override
    {
        dropped.push_back({from, to});
        return 1;
    }
    void OnHeadingClick(int col, int row, int down, const CRect&, CPoint, int) override
    {
        clicks.push_back({col, row, down});
    }
    std::vector<std::vector<int>> clicks;
    std::vector<std::pair<int, int>> sized;
    std::vector<std::pair<int, int>> dropped;
};

class CGridHeadingTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_owner = MakeGrid(4, 3, m_grid = new CHeadingGrid());
        FillNames(*m_grid);
        QApplication::processEvents();
    }

    QWidget* Top() const { return m_grid->GetTopHeading(); }

    // Hovers over x, presses, drags to `to` and releases, as a user sizes a column.
    void DragBorder(int x, int to)
    {
        QTest::mouseMove(Top(), QPoint(x, 10));
        QTest::mousePress(Top(), Qt::LeftButton, {}, QPoint(x, 10));
        DragTo(Top(), QPoint((x + to) / 2, 10));
        DragTo(Top(), QPoint(to, 10));
        QTest::mouseRelease(Top(), Qt::LeftButton, {}, QPoint(to, 10));
    }

    CHeadingGrid* m_grid = nullptr;
    std::unique_ptr<CGridCtrl> m_owner;
};

TEST_F(CGridHeadingTest, DraggingAColumnBorderSizesTheColumn)
{
    DragBorder(75, 120);
    EXPECT_EQ(m_grid->GetColWidth(0), 120);
    EXPECT_EQ(m_grid->GetColWidth(1), 75);
    EXPECT_EQ(m_grid->sized, (std::vector<std::pair<int, int>>{{0, 120}}));
    CRect moved;
    ASSERT_TRUE(m_grid->GetCellRect(1, 0, moved));
    EXPECT_EQ(moved.left, 120);
}

TEST_F(CGridHeadingTest, HeadingClicksReachTheTableAlsoWithoutRows)
{
    m_grid->SetNumberRows(0);
    QTest::mouseClick(Top(), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(m_grid->clicks, (std::vector<std::vector<int>>{{1, -1, 1}, {1, -1, 0}}));
}

TEST_F(CGridHeadingTest, BordersArmWithinTwoPixels)
{
    QTest::mouseMove(Top(), QPoint(78, 10));
    EXPECT_NE(Top()->cursor().shape(), Qt::SizeHorCursor) << "3 pixels off";
    QTest::mouseMove(Top(), QPoint(77, 10));
    EXPECT_EQ(Top()->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(Top(), QPoint(40, 10));
    EXPECT_EQ(Top()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(CGridHeadingTest, AColumnDraggedShutCanBeOpenedAgain)
{
    DragBorder(150, 40);
    EXPECT_EQ(m_grid->GetColWidth(1), 0) << "never below 0";
    DragBorder(75, 100);
    EXPECT_EQ(m_grid->GetColWidth(0), 75);
    EXPECT_EQ(m_grid->GetColWidth(1), 25);
}

TEST_F(CGridHeadingTest, HeadingRowHeightFollowsThePointer)
{
    QTest::mouseMove(Top(), QPoint(30, 19));
    QTest::mousePress(Top(), Qt::LeftButton, {}, QPoint(30, 19));
    DragTo(Top(), QPoint(30, 31));
    QTest::mouseRelease(Top(), Qt::LeftButton, {}, QPoint(30, 31));
    EXPECT_EQ(m_grid->GetSheet()->m_topHeadingHeight, 32);
    EXPECT_EQ(m_grid->GetTopHeadingRowHeight(-1), 32);
    EXPECT_EQ(m_grid->GetCellArea()->y(), 32);
}

TEST_F(CGridHeadingTest, ColumnsMoveByDraggingTheirHeading)
{
    m_grid->GetSheet()->m_columnMoving = 1;
    QTest::mousePress(Top(), Qt::LeftButton, {}, QPoint(30, 10));
    DragTo(Top(), QPoint(60, 10));
    DragTo(Top(), QPoint(215, 10));
    QTest::mouseRelease(Top(), Qt::LeftButton, {}, QPoint(215, 10));
    EXPECT_EQ(m_grid->dropped, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(m_grid->GetCellText(2, 1), "c0r1");
    EXPECT_EQ(m_grid->GetCellText(0, 1), "c1r1");
    EXPECT_EQ(m_grid->GetCellText(3, 1), "c3r1");
}

TEST_F(CGridHeadingTest, ADragPastTheHeadingScrollsOnATimer)
{
    m_grid->SetNumberCols(20);
    m_grid->GetSheet()->m_columnMoving = 1;
    QTest::mousePress(Top(), Qt::LeftButton, {}, QPoint(30, 10));
    DragTo(Top(), QPoint(150, 10));
    DragTo(Top(), QPoint(Top()->width() + 20, 10));
    EXPECT_EQ(m_grid->GetLeftCol(), 0) << "no loop of its own: the drag returned";
    QTest::qWait(300);
    EXPECT_GT(m_grid->GetLeftCol(), 0);
    QTest::mouseRelease(Top(), Qt::LeftButton, {}, QPoint(Top()->width() + 20, 10));
    const int left = m_grid->GetLeftCol();
    QTest::qWait(120);
    EXPECT_EQ(m_grid->GetLeftCol(), left) << "the release stops it";
}

TEST_F(CGridHeadingTest, RowBordersSizeRowsInTheRowHeading)
{
    QWidget* side = m_grid->GetSideHeading();
    QTest::mouseMove(side, QPoint(20, 20));
    QTest::mousePress(side, Qt::LeftButton, {}, QPoint(20, 20));
    DragTo(side, QPoint(20, 35));
    QTest::mouseRelease(side, Qt::LeftButton, {}, QPoint(20, 35));
    EXPECT_EQ(m_grid->GetRowHeight(0), 35);
    EXPECT_EQ(m_grid->GetRowHeight(1), 20);
}

} // namespace
