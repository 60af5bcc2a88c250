#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridMemDataSource.h"
#include "gridctrl/CGridSheetInfo.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

class CGridMemDataSourceTest : public QtApplicationTest {
protected:
    void SetUp() override { m_grid = MakeGrid(3, 4); }

    CGridMemDataSource& Source() { return *m_grid->GetSheet()->m_memSource; }

    std::vector<QString> Column(int col)
    {
        std::vector<QString> texts;
        for (int row = 0; row < m_grid->GetNumberRows(); ++row)
            texts.push_back(m_grid->GetCellText(col, row));
        return texts;
    }

    std::unique_ptr<CGridCtrl> m_grid;
};

TEST_F(CGridMemDataSourceTest, StoringACellCreatesTheRowsBeforeItWithoutCells)
{
    CGridCell cell;
    cell.SetText("ten");
    EXPECT_EQ(Source().SetCell(1, 10, cell), 0);
    EXPECT_EQ(Source().GetStoredRowCount(), 11);
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(Source().GetStoredCellCount(row), 0) << row;
    EXPECT_EQ(Source().GetStoredCellCount(10), 2);

    CGridCell fetched;
    fetched.SetLabel("untouched");
    EXPECT_EQ(Source().GetCell(0, 10, fetched), 1);
    EXPECT_EQ(Source().GetCell(2, 3, fetched), 1);
    EXPECT_EQ(fetched.GetPropertyMask(), uint32_t(GCP_LABEL));
    EXPECT_EQ(Source().GetCell(1, 10, fetched), 0);
    EXPECT_EQ(fetched.GetText(), "ten");
    EXPECT_EQ(fetched.GetLabelText(), "untouched");
}

TEST_F(CGridMemDataSourceTest, HeadingCellsStayPutWhenRowsAreSorted)
{
    m_grid->SetCellText(0, -1, "Name");
    m_grid->SetCellText(0, 0, "b");
    m_grid->SetCellText(0, 1, "a");
    m_grid->SortBy(0, GRID_SORT_ASCENDING);
    EXPECT_EQ(m_grid->GetCellText(0, -1), "Name");
    EXPECT_EQ(m_grid->GetCellText(0, 0), "a");
}

TEST_F(CGridMemDataSourceTest, InsertingAndDeletingSourceColumnsKeepsWhatTheGridShows)
{
    FillNames(*m_grid);
    EXPECT_EQ(Source().InsertCol(1), 0);
    EXPECT_EQ(m_grid->GetCellText(1, 2), "c1r2");
    EXPECT_EQ(m_grid->GetCellText(2, 2), "c2r2");
    EXPECT_EQ(Source().DeleteCol(1), 0);
    EXPECT_EQ(m_grid->GetCellText(0, 3), "c0r3");
    EXPECT_EQ(m_grid->GetCellText(1, 3), "c1r3");
    EXPECT_EQ(m_grid->GetCellText(2, 3), "c2r3");
}

// Finding: each flag, wrapping at both ends, the caller's text untouched.
class CGridFindTest : public CGridMemDataSourceTest {
protected:
    void SetUp() override
    {
        CGridMemDataSourceTest::SetUp();
        FillNames(*m_grid);
        m_grid->SetCellText(1, 1, "Apple pie");
        m_grid->SetCellText(2, 3, "apple");
        m_grid->SetCellText(0, 0, "APPLE");
    }

    std::pair<int, int> Find(const QString& text, int col, int row, int flags, int expect = 0)
    {
        EXPECT_EQ(Source().FindNext(text, col, row, flags), expect);
        return {col, row};
    }
};

TEST_F(CGridFindTest, WholeTextIsComparedExactlyUnlessCaseIsIgnored)
{
    EXPECT_EQ(Find("apple", 2, 0, 0), std::make_pair(2, 3));
    Find("Apple", 1, 0, 0, 1);
    EXPECT_EQ(Find("Apple", 0, 3, 2), std::make_pair(0, 0)) << "wraps from the last row";
}

TEST_F(CGridFindTest, SubstringsFoundWithTheCaseIgnored)
{
    QString text = "pie";
    EXPECT_EQ(Find(text, 1, 3, 1 | 2), std::make_pair(1, 1));
    EXPECT_EQ(text, "pie") << "the caller's text is never changed";
    Find("PIE", 1, 0, 1, 1);
}

TEST_F(CGridFindTest, BackwardsAndAcrossEveryColumn)
{
    EXPECT_EQ(Find("c2r0", 0, 1, 8), std::make_pair(2, 0)) << "wraps from the last cell";
    EXPECT_EQ(Find("apple", 0, 0, 8 | 2), std::make_pair(2, 3))
        << "\"Apple pie\" is no whole match";
    EXPECT_EQ(Find("apple", 0, 0, 8 | 4 | 2 | 1), std::make_pair(2, 3)) << "back past row 0";
    EXPECT_EQ(Find("apple", 1, 1, 4 | 2 | 1), std::make_pair(1, 1)) << "only column 1, once round";
}

TEST_F(CGridFindTest, FindFirstStartsBeforeTheFirstCell)
{
    int col = 2;
    int row = 2;
    EXPECT_EQ(Source().FindFirst("APPLE", col, row, 8), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(0, 0));
    col = 0;
    EXPECT_EQ(Source().FindFirst("c0r1", col, row, 0), 0);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(Source().FindFirst("nowhere", col, row, 8 | 1), 1);
}

// Sorting: stable in both directions, empty cells first when ascending.
class CGridSortTest : public CGridMemDataSourceTest {};

TEST_F(CGridSortTest, EqualRowsKeepTheirOrderInBothDirections)
{
    m_grid->SetNumberRows(5);
    const char* keys[] = {"b", "a", "b", "a", ""};
    for (int row = 0; row < 5; ++row) {
        m_grid->SetCellText(0, row, keys[row]);
        m_grid->SetCellText(1, row, QString::number(row));
    }
    m_grid->SortBy(0, GRID_SORT_ASCENDING);
    EXPECT_EQ(Column(1), (std::vector<QString>{"4", "1", "3", "0", "2"}));
    m_grid->SortBy(0, GRID_SORT_DESCENDING);
    EXPECT_EQ(Column(1), (std::vector<QString>{"0", "2", "1", "3", "4"}));
}

TEST_F(CGridSortTest, NumbersSortByValueAndLaterColumnsBreakTies)
{
    const double values[] = {10, 9, 10, 100};
    const char* names[] = {"z", "y", "x", "w"};
    for (int row = 0; row < 4; ++row) {
        CGridCell cell;
        cell.SetNumber(values[row]);
        m_grid->SetCell(0, row, cell);
        m_grid->SetCellText(1, row, names[row]);
    }
    const int cols[] = {0, 1};
    m_grid->SortByColumns(cols, 2, GRID_SORT_ASCENDING);
    EXPECT_EQ(Column(1), (std::vector<QString>{"y", "x", "z", "w"}));
}

} // namespace
