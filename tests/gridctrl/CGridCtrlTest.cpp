#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QWidget>

#include "framework/CServices.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCheckBoxType.h"
#include "gridctrl/CGridSheetInfo.h"
#include "tests/gridctrl/GridTestSupport.h"
#include "tests/support/CScriptedMessageService.h"

namespace {

using CGridCtrlTest = QtApplicationTest;

TEST_F(CGridCtrlTest, RowCountMovesTheCursorOntoExistingRows)
{
    auto grid = MakeGrid(2, 0);
    EXPECT_EQ(grid->GetCurrentRow(), -1);
    EXPECT_EQ(grid->SetNumberRows(-1), GRID_OUT_OF_RANGE);
    grid->SetNumberRows(30);
    EXPECT_EQ(grid->GetCurrentRow(), 0);
    EXPECT_EQ(grid->GetCurrentCol(), 0);
    ASSERT_EQ(grid->MoveToCell(1, 25), GRID_OK);
    EXPECT_GT(grid->GetTopRow(), 0);

    grid->SetNumberRows(10);
    EXPECT_EQ(grid->GetCurrentRow(), 9);
    EXPECT_EQ(grid->GetSheet()->m_selRow, 9);
    EXPECT_LE(grid->GetTopRow(), grid->GetSheet()->m_maxTopRow);
    grid->SetNumberRows(0);
    EXPECT_EQ(grid->GetCurrentRow(), -1);
    EXPECT_EQ(grid->GetTopRow(), 0);

    EXPECT_FALSE(grid->GetSheet()->m_uniformRowHeight);
    grid->SetNumberRows(64001);
    EXPECT_TRUE(grid->GetSheet()->m_uniformRowHeight);
    EXPECT_EQ(grid->GetRowHeight(64000), 20);
    EXPECT_EQ(grid->GetRowHeight(64001), 0);
}

TEST_F(CGridCtrlTest, MovesOutsideTheGridAreRefused)
{
    auto grid = MakeGrid(3, 5);
    EXPECT_EQ(grid->MoveToCell(3, 1), GRID_OUT_OF_RANGE) << "column past the last";
    EXPECT_EQ(grid->MoveToCell(-1, 1), GRID_OUT_OF_RANGE);
    EXPECT_EQ(grid->GetCurrentCol(), 0);
    EXPECT_EQ(grid->GetCurrentRow(), 0);
    EXPECT_EQ(grid->MoveToCell(2, 9), GRID_OK) << "a row past the end goes to the last row";
    EXPECT_EQ(grid->GetCurrentRow(), 4);
    EXPECT_EQ(grid->MoveToCell(2, 9), GRID_OUT_OF_RANGE) << "already on the last row";
    EXPECT_EQ(grid->CurrentRowAction(GM_FORWARD), GRID_OUT_OF_RANGE);
    EXPECT_EQ(grid->CurrentColAction(GM_FIRST), GRID_OK);
    EXPECT_EQ(grid->GetCurrentCol(), 0);
}

// Records the hooks a move runs and refuses moves onto row 3.
class CRecordingGrid : public CGridCtrl {
public:
    int OnCanMoveCell(int, int, int, int newRow) override { return newRow != 3; }
    void OnCellChange(int oldCol, int newCol, int oldRow, int newRow) override
    {
        changes.push_back({oldCol, newCol, oldRow, newRow});
    }
    std::vector<std::vector<int>> changes;
};

TEST_F(CGridCtrlTest, AMoveAsksTheHookAndReportsTheChange)
{
    auto* recording = new CRecordingGrid();
    auto grid = MakeGrid(3, 5, recording);
    recording->changes.clear();
    EXPECT_EQ(grid->MoveToCell(1, 3), GRID_REFUSED);
    EXPECT_EQ(grid->MoveToCell(2, 4), GRID_OK);
    EXPECT_EQ(recording->changes, (std::vector<std::vector<int>>{{0, 2, 0, 4}}));
}

TEST_F(CGridCtrlTest, HeadingSizesScaleAndSurviveAZeroTotal)
{
    auto grid = MakeGrid(2, 2);
    CGridSheetInfo& sheet = *grid->GetSheet();
    sheet.m_headingRowHeights = {10, 10};
    sheet.m_topHeadingHeight = 20;
    EXPECT_EQ(grid->SetTopHeadingHeight(30), GRID_OK);
    EXPECT_EQ(sheet.m_headingRowHeights, (std::vector<int>{15, 15}));
    EXPECT_EQ(grid->SetTopHeadingHeight(0), GRID_OK);
    EXPECT_EQ(sheet.m_headingRowHeights, (std::vector<int>{0, 0}));
    EXPECT_EQ(grid->SetTopHeadingHeight(25), GRID_OK) << "from a total of 0";
    EXPECT_EQ(sheet.m_headingRowHeights, (std::vector<int>{0, 25}));
    EXPECT_EQ(grid->SetTopHeadingHeight(1025), GRID_OUT_OF_RANGE);

    EXPECT_EQ(grid->SetSideHeadingWidth(0), GRID_OK);
    EXPECT_EQ(grid->SetSideHeadingWidth(50), GRID_OK);
    EXPECT_EQ(sheet.m_headingColWidths, (std::vector<int>{50}));
    EXPECT_EQ(sheet.m_sideHeadingWidth, 50);
}

TEST_F(CGridCtrlTest, CellTypesByIndex)
{
    auto grid = MakeGrid(1, 1);
    CGridCellType added;
    EXPECT_EQ(grid->AddCellType(&added), 4);
    EXPECT_EQ(grid->AddCellType(nullptr), -1);
    EXPECT_EQ(grid->GetCellType(4), &added);
    CGridCellType* normal = grid->GetCellType(0);
    EXPECT_EQ(normal->GetName(), "Normal Cell Type (default)");
    EXPECT_EQ(grid->GetCellType(-3), normal);
    EXPECT_EQ(grid->GetCellType(99), normal);
    EXPECT_EQ(grid->GetCellType(2)->GetName(), "Standard CheckBox Type");
    EXPECT_EQ(grid->GetCellType(1)->GetName(), "Standard DropList");
}

TEST_F(CGridCtrlTest, ColumnsMoveWithTheirData)
{
    auto grid = MakeGrid(4, 2);
    FillNames(*grid);
    grid->SetColWidth(0, 33);
    EXPECT_EQ(grid->MoveColumn(0, 3, 1), GRID_OK);
    EXPECT_EQ(grid->GetCellText(2, 1), "c0r1");
    EXPECT_EQ(grid->GetColWidth(2), 33);
    EXPECT_EQ(grid->GetCellText(0, 1), "c1r1");
    EXPECT_EQ(grid->MoveColumn(0, -1, 1), GRID_OUT_OF_RANGE);
}

// Find and replace through an attached dialog.
class CGridReplaceTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_previous = CServices::SetMessages(&m_messages);
        m_grid = MakeGrid(2, 4);
        FillNames(*m_grid);
        m_grid->AttachFindDialog(&m_dialog);
        m_grid->SetSearchWholeSheet(1);
    }
    void TearDown() override { CServices::SetMessages(m_previous); }

    int Run(CGridCtrl::FindRequest::Action action, const QString& find, const QString& replace)
    {
        CGridCtrl::FindRequest request;
        request.action = action;
        request.findText = find;
        request.replaceText = replace;
        return m_grid->OnFindReplace(request);
    }

    CScriptedMessageService m_messages;
    CMessageService* m_previous = nullptr;
    QWidget m_dialog;
    std::unique_ptr<CGridCtrl> m_grid;
};

TEST_F(CGridReplaceTest, ReplaceAllVisitsEachMatchOnce)
{
    Run(CGridCtrl::FindRequest::ReplaceAll, "r1", "r1r1");
    EXPECT_EQ(m_grid->GetCellText(0, 1), "r1r1");
    EXPECT_EQ(m_grid->GetCellText(1, 1), "r1r1");
    EXPECT_EQ(m_grid->GetCellText(0, 2), "c0r2");
    EXPECT_TRUE(m_messages.Shown().empty());

    Run(CGridCtrl::FindRequest::ReplaceAll, "c1", "c1");
    EXPECT_EQ(m_grid->GetCellText(1, 0), "c1r0") << "equal texts change nothing";
}

TEST_F(CGridReplaceTest, FindNextMovesToTheMatchOrSaysItIsNotThere)
{
    Run(CGridCtrl::FindRequest::FindNext, "C1R2", "");
    EXPECT_EQ(m_grid->GetCurrentCol(), 1);
    EXPECT_EQ(m_grid->GetCurrentRow(), 2);
    Run(CGridCtrl::FindRequest::FindNext, "missing", "");
    ASSERT_EQ(m_messages.Shown().size(), 1u);
    EXPECT_EQ(m_messages.Shown()[0].text, "Item not found");
    EXPECT_EQ(m_messages.Shown()[0].caption, "Not Found");
    EXPECT_EQ(Run(CGridCtrl::FindRequest::Closing, "", ""), 1);
    m_grid->AttachFindDialog(nullptr);
    EXPECT_EQ(Run(CGridCtrl::FindRequest::FindNext, "missing", ""), 0);
    EXPECT_EQ(m_messages.Shown().size(), 1u);
}

} // namespace
