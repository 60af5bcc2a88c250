#pragma once

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include <QPoint>
#include <QTest>

#include "dialogs/CTableGrid.h"
#include "document/CViewCommandHost.h"
#include "framework/CResourcePack.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridTopHeading.h"

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
class CTableLanguagePack {
public:
    CTableLanguagePack()
    {
        CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    }
    ~CTableLanguagePack() { CResourcePack::SetCurrent(CResourcePack()); }
    CTableLanguagePack(const CTableLanguagePack&) = delete;
    CTableLanguagePack& operator=(const CTableLanguagePack&) = delete;
};

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

} // namespace table_test
