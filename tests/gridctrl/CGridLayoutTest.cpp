#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCornerButton.h"
#include "gridctrl/CGridHScroll.h"
#include "gridctrl/CGridMemDataSource.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridVScroll.h"
#include "gridctrl/GridPaint.h"
#include "tests/gridctrl/GridMouse.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

// Fills computed texts as the tables do and counts the sheets it set up.
class CLayoutGrid : public CGridCtrl {
public:
    void OnSheetSetup(int sheet) override { setups.push_back(sheet); }
    void OnFetchCell(int col, int row, CGridCell& cell) override
    {
        if (col == -1 && row >= 0)
            cell.SetText(QString::number(row + 1));
    }
    std::vector<int> setups;
};

class CGridLayoutTest : public QtApplicationTest {
protected:
    void SetUp() override { m_owner = MakeGrid(3, 5, m_grid = new CLayoutGrid()); }

    CLayoutGrid* m_grid = nullptr;
    std::unique_ptr<CGridCtrl> m_owner;
};

TEST_F(CGridLayoutTest, ScrollBarsShowOnlyWhenTheCellsDoNotFit)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    EXPECT_FALSE(m_grid->GetVScroll()->isVisible());
    EXPECT_FALSE(m_grid->GetHScroll()->isVisible());
    EXPECT_EQ(sheet.m_cellAreaRect, CRect(40, 20, 400, 300));

    m_grid->SetNumberRows(50);
    EXPECT_TRUE(m_grid->GetVScroll()->isVisible());
    EXPECT_FALSE(m_grid->GetHScroll()->isVisible());
    EXPECT_EQ(sheet.m_cellAreaRect.right, 400 - sheet.m_vScrollWidth);

    m_grid->SetNumberCols(10);
    EXPECT_TRUE(m_grid->GetHScroll()->isVisible());
    EXPECT_EQ(sheet.m_cellAreaRect.bottom, 300 - sheet.m_hScrollHeight);
    EXPECT_EQ(sheet.m_vScrollWidth, m_grid->GetVScroll()->width()) << "settings kept";
}

TEST_F(CGridLayoutTest, LockedColumnsStayWhileTheRestScroll)
{
    m_grid->SetNumberCols(12);
    m_grid->LockColumns(1);
    EXPECT_EQ(m_grid->GetLeftCol(), 1);
    m_grid->LeftColAction(GM_PAGE_FORWARD);
    EXPECT_GT(m_grid->GetLeftCol(), 1);
    CRect locked;
    ASSERT_TRUE(m_grid->GetCellRect(0, 0, locked));
    EXPECT_EQ(locked.left, 0);
    CRect first;
    ASSERT_TRUE(m_grid->GetCellRect(m_grid->GetLeftCol(), 0, first));
    EXPECT_EQ(first.left, 75);
    EXPECT_FALSE(m_grid->GetCellRect(1, 0, first)) << "scrolled away";
    m_grid->LeftColAction(GM_FIRST);
    EXPECT_EQ(m_grid->GetLeftCol(), 1);
}

TEST_F(CGridLayoutTest, SheetsKeepTheirOwnCellsAndCursor)
{
    m_grid->SetCellText(0, 0, "first");
    m_grid->MoveToCell(2, 4);
    EXPECT_EQ(m_grid->SetNumberSheets(3), GRID_OK);
    EXPECT_EQ(m_grid->setups, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(m_grid->GetSheetNumber(), 0) << "the new sheets were current only for their setup";
    ASSERT_EQ(m_grid->SetSheetNumber(2), GRID_OK);
    EXPECT_EQ(m_grid->GetNumberRows(), 0);
    m_grid->SetNumberCols(1);
    m_grid->SetNumberRows(1);
    EXPECT_EQ(m_grid->GetCellText(0, 0), "");
    m_grid->SetCellText(0, 0, "third");
    EXPECT_EQ(m_grid->SetNumberSheets(2), GRID_OK);
    EXPECT_EQ(m_grid->GetSheetNumber(), 1) << "the current sheet went; the last one took over";
    m_grid->SetSheetNumber(0);
    EXPECT_EQ(m_grid->GetCellText(0, 0), "first");
    EXPECT_EQ(m_grid->GetCurrentRow(), 4);
    EXPECT_EQ(m_grid->SetNumberSheets(0), GRID_OUT_OF_RANGE);
}

TEST_F(CGridLayoutTest, CellsAreBuiltFromDefaultsSourceHookAndStyle)
{
    CGridCell* column = m_grid->GetColDefault(1);
    column->SetTextColor(RGB(1, 2, 3));
    column->SetAlignment(GA_RIGHT);
    CGridCell style;
    style.SetAlignment(GA_CENTER);
    CGridCell stored;
    stored.SetText("stored");
    stored.SetStyleCell(&style);
    m_grid->SetCell(1, 2, stored);

    CGridCell cell;
    m_grid->GetCell(1, 2, cell);
    EXPECT_EQ(cell.GetText(), "stored");
    EXPECT_EQ(cell.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(cell.GetAlignment(), GA_CENTER) << "the style cell has the last word";
    EXPECT_EQ(m_grid->GetCellText(-1, 3), "4") << "computed by the hook";
    m_grid->GetCell(1, 7, cell);
    EXPECT_FALSE(cell.IsPropertySet(GCP_TEXT)) << "rows past the end give the defaults only";

    m_grid->SetCellBackColor(1, 2, RGB(9, 9, 9));
    EXPECT_EQ(m_grid->GetSheet()->m_memSource->GetCell(1, 2, cell = CGridCell()), 0);
    EXPECT_FALSE(cell.IsPropertySet(GCP_TEXTCOLOR)) << "a one-property change stores no defaults";
    EXPECT_EQ(cell.GetBackColor(), RGB(9, 9, 9));
}

TEST_F(CGridLayoutTest, BestFitWidensToTheWidestText)
{
    m_grid->SetCellText(0, 3, QString(30, QLatin1Char('W')));
    m_grid->SetCellText(1, 0, "i");
    EXPECT_EQ(m_grid->BestFit(0, 1, 10, 0), GRID_OK);
    EXPECT_GT(m_grid->GetColWidth(0), 150);
    EXPECT_LT(m_grid->GetColWidth(1), 30);
    m_grid->SetCellText(0, 4, QString(300, QLatin1Char('W')));
    m_grid->BestFit(0, 0, 10, 0);
    EXPECT_EQ(m_grid->GetColWidth(0),
              m_grid->GetSheet()->m_gridWidth - m_grid->GetSheet()->m_vScrollWidth);
    EXPECT_EQ(m_grid->BestFit(2, 1, 10, 0), 3);
    EXPECT_EQ(m_grid->BestFit(0, 3, 10, 0), 2);
}

TEST_F(CGridLayoutTest, ALongTextRunsOnIntoEmptyCells)
{
    // The columns' own defaults are centred, which keeps texts in their cells.
    m_grid->GetColDefault(0)->SetAlignment(GA_LEFT);
    m_grid->GetColDefault(1)->SetAlignment(GA_LEFT);
    m_grid->SetCellText(0, 1, QString(40, QLatin1Char('M')));
    QImage shot = m_grid->GetCellArea()->grab().toImage();
    CRect next;
    ASSERT_TRUE(m_grid->GetCellRect(1, 1, next));
    auto inked = [&shot](const CRect& rect) {
        int count = 0;
        for (int y = rect.top + 2; y < rect.bottom - 2; ++y) {
            for (int x = rect.left + 2; x < rect.right - 2; ++x)
                count += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(inked(next), 20) << "the text goes on in the empty cell";

    m_grid->SetCellText(1, 1, " ");
    shot = m_grid->GetCellArea()->grab().toImage();
    EXPECT_EQ(inked(next), 0) << "a cell with a text of its own stops it";
}

TEST_F(CGridLayoutTest, TheCornerSizesBothHeadings)
{
    QWidget* corner = m_grid->GetCornerButton();
    QTest::mouseMove(corner, QPoint(38, 5));
    QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(38, 5));
    DragTo(corner, QPoint(60, 5));
    QTest::mouseRelease(corner, Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(m_grid->GetSheet()->m_sideHeadingWidth, 60);
    EXPECT_EQ(m_grid->GetCellArea()->x(), 60);

    QTest::mouseMove(corner, QPoint(10, 18));
    QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(10, 18));
    DragTo(corner, QPoint(10, 2000));
    QTest::mouseRelease(corner, Qt::LeftButton, {}, QPoint(10, 2000));
    EXPECT_EQ(m_grid->GetSheet()->m_topHeadingHeight, 1024) << "kept to its range";
}

TEST_F(CGridLayoutTest, ADragBelowTheCellsMovesOneRowPerMessage)
{
    m_grid->SetNumberRows(60);
    QWidget* area = m_grid->GetCellArea();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 10));
    DragTo(area, QPoint(10, area->height() + 30));
    DragTo(area, QPoint(10, area->height() + 30));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(10, area->height() + 30));
    EXPECT_EQ(m_grid->GetCurrentRow(), 2);
}

TEST_F(CGridLayoutTest, TheFindWindowIsMovedOffTheCurrentCell)
{
    QWidget finder;
    finder.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    finder.show();
    m_grid->AttachFindWindow(&finder);
    CRect cell;
    ASSERT_TRUE(m_grid->GetCellRect(1, 3, cell));
    const QPoint cellOnScreen = m_grid->GetCellArea()->mapToGlobal(QPoint(cell.left, cell.top));
    finder.setGeometry(cellOnScreen.x() - 10, cellOnScreen.y() - 10, 60, 40);
    m_grid->MoveToCell(1, 3);
    const QRect cellRect(cellOnScreen, QSize(int(cell.Width()), int(cell.Height())));
    EXPECT_FALSE(finder.frameGeometry().intersects(cellRect));
    EXPECT_EQ(finder.y(), cellOnScreen.y() - 10) << "moved sideways only";
}

} // namespace
