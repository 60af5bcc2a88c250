#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <QFontMetrics>
#include <QPoint>
#include <QTest>

#include "dialogs/CTableGrid.h"
#include "document/CViewCommandHost.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridTopHeading.h"
#include "tests/support/CProgramStrings.h"

// The board view as a table window sees it: what the table reported, and the redraws.
class CRecordingTableView : public CViewCommandHost {
public:
    void Redraw(bool /*full*/) override { ++redraws; }
    bool OnCommand(uint32_t first, uint32_t second) override
    {
        reports.emplace_back(first, second);
        return true;
    }

    std::vector<std::pair<uint32_t, uint32_t>> reports;
    int redraws = 0;
};

// The build's language pack, whose string table gives the tables their headings.
using CTableLanguagePack = CProgramStrings;

namespace table_test {

// The texts of a column from the top row down.
inline std::vector<std::string> Column(CTableGrid& grid, int col)
{
    std::vector<std::string> texts;
    for (int row = 0; row < grid.GetNumberRows(); ++row)
        texts.push_back(grid.GetText(col, row));
    return texts;
}

// A click on the middle of a column's heading, as a user sorts.
inline void ClickHeading(CTableGrid& grid, int col)
{
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(col, -1, rect)) << "heading " << col << " not in view";
    QTest::mouseClick(grid.GetTopHeading(), Qt::LeftButton, {},
                      QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2));
}

// A click on the middle of a cell, scrolled into view first.
inline void ClickCell(CTableGrid& grid, int col, int row)
{
    grid.MoveToCell(col, row);
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(col, row, rect)) << "cell " << col << "," << row;
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {},
                      QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2));
}

// Every row and the headings are tall enough for the table's font: a cell's text starts a pixel
// below its top and must end above its bottom border, or its descenders ("_", "g") are cut off.
inline void ExpectRowsHoldTheirText(CTableGrid& grid)
{
    ASSERT_NE(grid.GetSheet()->m_defFont, nullptr);
    const int textHeight = QFontMetrics(*grid.GetSheet()->m_defFont).height();
    for (int row = -1; row < std::min(grid.GetNumberRows(), 3); ++row) {
        CRect rect;
        ASSERT_TRUE(grid.GetCellRect(0, row, rect)) << "row " << row;
        EXPECT_LE(rect.top + 1 + textHeight, rect.bottom - 1)
            << "row " << row << ": " << rect.Height() << " pixels for text of " << textHeight;
    }
}

} // namespace table_test
