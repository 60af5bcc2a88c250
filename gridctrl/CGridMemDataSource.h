#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridDataSource.h"

// The in-memory data source every sheet starts with. Row n holds the cells of source column
// 0, 1, ...; rows and cells come into being when they are first written, so a sheet of many
// rows costs nothing until its cells are filled.
class CGridMemDataSource : public CGridDataSource {
public:
    CGridMemDataSource();
    ~CGridMemDataSource() override;

    int AppendRow() override { return 0; }
    int InsertRow(int row) override;
    int AppendCol() override { return 0; }
    int InsertCol(int col) override;
    int DeleteRow(int row) override;
    int DeleteCol(int col) override;
    int DeleteCell(int col, int row) override;
    int DeleteAll() override;
    int GetCell(int col, int row, CGridCell& cell) override;
    int SetCell(int col, int row, const CGridCell& cell) override;
    int FindFirst(const QString& text, int& col, int& row, int flags) override;
    int FindNext(const QString& text, int& col, int& row, int flags) override;
    // Stable: rows that compare equal keep their order.
    int SortByColumns(const int* cols, int count, int flags) override;
    int FindSpillSource(int& col, int row) override;

    int GetStoredRowCount() const { return int(m_rows.size()); }
    // Cells stored in a row (0 for a row that was never written).
    int GetStoredCellCount(int row) const;

private:
    using Row = std::vector<std::unique_ptr<CGridCell>>;

    const CGridCell* StoredCell(int col, int row) const;
    bool Matches(int col, int row, const QString& needle, int flags) const;
    void RenumberColumns(int from, int delta);

    std::vector<Row> m_rows;
    std::map<std::pair<int, int>, CGridCell> m_headingCells;
    int m_findStartCol = -1;
    int m_findStartRow = -1;
};
