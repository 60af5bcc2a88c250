#include "gridctrl/CGridMemDataSource.h"

#include <algorithm>

#include <QString>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"

CGridMemDataSource::CGridMemDataSource() = default;

CGridMemDataSource::~CGridMemDataSource() = default;

int CGridMemDataSource::GetStoredCellCount(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? int(m_rows[size_t(row)].size()) : 0;
}

const CGridCell* CGridMemDataSource::StoredCell(int col, int row) const
{
    if (col < 0 || row < 0) {
        const auto found = m_headingCells.find({col, row});
        return found != m_headingCells.end() ? &found->second : nullptr;
    }
    if (row < 0 || row >= int(m_rows.size()))
        return nullptr;
    const Row& cells = m_rows[size_t(row)];
    if (col < 0 || col >= int(cells.size()))
        return nullptr;
    return cells[size_t(col)].get();
}

int CGridMemDataSource::InsertRow(int row)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows.insert(m_rows.begin() + row, Row());
    return 0;
}

void CGridMemDataSource::RenumberColumns(int from, int delta)
{
    if (GetGrid() == nullptr)
        return;
    for (CGridSheetInfo::Column& column : GetGrid()->GetSheet()->m_cols) {
        if (column.sourceCol >= from)
            column.sourceCol += delta;
    }
}

int CGridMemDataSource::InsertCol(int col)
{
    if (m_rows.empty())
        return 1;
    if (col < 0)
        return 1;
    for (Row& cells : m_rows) {
        if (col < int(cells.size()))
            cells.insert(cells.begin() + col, nullptr);
    }
    RenumberColumns(col, 1);
    return 0;
}

int CGridMemDataSource::DeleteRow(int row)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows.erase(m_rows.begin() + row);
    return 0;
}

int CGridMemDataSource::DeleteCol(int col)
{
    if (m_rows.empty())
        return 1;
    if (col < 0)
        return 1;
    for (Row& cells : m_rows) {
        if (col + 1 < int(cells.size()))
            cells.erase(cells.begin() + col);
        else if (col < int(cells.size()))
            cells[size_t(col)].reset();
    }
    RenumberColumns(col + 1, -1);
    return 0;
}

int CGridMemDataSource::DeleteCell(int col, int row)
{
    if (col < 0 || row < 0)
        return m_headingCells.erase({col, row}) != 0 ? 0 : 1;
    if (row < 0 || row >= int(m_rows.size()))
        return 1;
    Row& cells = m_rows[size_t(row)];
    if (col < 0 || col >= int(cells.size()))
        return 1;
    cells[size_t(col)].reset();
    return 0;
}

int CGridMemDataSource::DeleteAll()
{
    m_rows.clear();
    m_headingCells.clear();
    return -1;
}

int CGridMemDataSource::GetCell(int col, int row, CGridCell& cell)
{
    const CGridCell* stored = StoredCell(col, row);
    if (stored == nullptr)
        return 1;
    CGridCell::Merge(*stored, cell);
    return 0;
}

int CGridMemDataSource::SetCell(int col, int row, const CGridCell& cell)
{
    // Heading cells live apart so that sorting and row edits never move them.
    if (col < 0 || row < 0) {
        CGridCell::Merge(cell, m_headingCells[{col, row}]);
        return 0;
    }
    if (row >= int(m_rows.size()))
        m_rows.resize(size_t(row) + 1);
    Row& cells = m_rows[size_t(row)];
    if (col >= int(cells.size()))
        cells.resize(size_t(col) + 1);
    if (!cells[size_t(col)])
        cells[size_t(col)] = std::make_unique<CGridCell>();
    CGridCell::Merge(cell, *cells[size_t(col)]);
    return 0;
}

int CGridMemDataSource::FindFirst(const QString& text, int& col, int& row, int flags)
{
    if (flags & 8) {
        col = -1;
        row = 0;
    } else {
        row = -1;
    }
    return FindNext(text, col, row, flags);
}

bool CGridMemDataSource::Matches(int col, int row, const QString& needle, int flags) const
{
    const CGridCell* cell = StoredCell(col, row);
    if (cell == nullptr)
        return false;
    const QString text = cell->GetText();
    const Qt::CaseSensitivity cs = (flags & 2) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (flags & 1)
        return text.contains(needle, cs);
    return text.compare(needle, cs) == 0;
}

int CGridMemDataSource::FindNext(const QString& text, int& col, int& row, int flags)
{
    m_findStartCol = col;
    m_findStartRow = row;
    const int rows = GetGrid() != nullptr ? GetGrid()->GetNumberRows() : int(m_rows.size());
    const int cols = GetGrid() != nullptr ? GetGrid()->GetNumberCols() : 0;
    if (rows <= 0 || ((flags & 8) && cols <= 0))
        return 1;
    const bool back = (flags & 4) != 0;
    const bool allCols = (flags & 8) != 0;
    const int step = back ? -1 : 1;
    auto wrapRow = [rows](int r) { return r >= rows ? 0 : (r < 0 ? rows - 1 : r); };

    int c = col;
    int r = row;
    if (allCols) {
        c += step;
        if (c >= cols || c < 0) {
            c = back ? cols - 1 : 0;
            r = wrapRow(r + step);
        }
    } else {
        r = wrapRow(r + step);
    }
    r = wrapRow(r);
    for (int examined = 0; examined <= rows; ++examined) {
        if (allCols) {
            for (; c >= 0 && c < cols; c += step) {
                if (Matches(c, r, text, flags)) {
                    col = c;
                    row = r;
                    return 0;
                }
            }
            c = back ? cols - 1 : 0;
        } else if (Matches(c, r, text, flags)) {
            col = c;
            row = r;
            return 0;
        }
        r = wrapRow(r + step);
    }
    return 1;
}

int CGridMemDataSource::SortByColumns(const int* cols, int count, int flags)
{
    if (m_rows.size() < 2 || cols == nullptr || count <= 0)
        return 0;
    CGridCtrl* grid = GetGrid();
    // > 0 when row a belongs after row b; the first listed column that tells them apart decides.
    auto compare = [&](const Row& a, const Row& b) {
        for (int i = 0; i < count; ++i) {
            const int col = cols[i];
            const CGridCell* first =
                col >= 0 && col < int(a.size()) ? a[size_t(col)].get() : nullptr;
            const CGridCell* second =
                col >= 0 && col < int(b.size()) ? b[size_t(col)].get() : nullptr;
            const int result = grid != nullptr ? grid->OnCompareCells(first, second, flags) : 0;
            if (result != 0)
                return result;
        }
        return 0;
    };
    // A merge sort that takes from the right run only when the left element belongs after it:
    // the order a bubble sort would give, equal rows in their old order, in n log n.
    std::vector<Row> scratch(m_rows.size());
    for (size_t width = 1; width < m_rows.size(); width *= 2) {
        for (size_t lo = 0; lo < m_rows.size(); lo += 2 * width) {
            const size_t mid = std::min(lo + width, m_rows.size());
            const size_t hi = std::min(lo + 2 * width, m_rows.size());
            size_t i = lo;
            size_t j = mid;
            size_t k = lo;
            while (i < mid && j < hi)
                scratch[k++] = compare(m_rows[i], m_rows[j]) > 0 ? std::move(m_rows[j++])
                                                                 : std::move(m_rows[i++]);
            while (i < mid)
                scratch[k++] = std::move(m_rows[i++]);
            while (j < hi)
                scratch[k++] = std::move(m_rows[j++]);
        }
        m_rows.swap(scratch);
    }
    return 0;
}

int CGridMemDataSource::FindSpillSource(int& col, int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return 1;
    const Row& cells = m_rows[size_t(row)];
    for (int c = std::min(col, int(cells.size())) - 1; c >= 0; --c) {
        const CGridCell* cell = cells[size_t(c)].get();
        if (cell != nullptr && cell->GetTextLength() > 0) {
            col = c;
            return 0;
        }
    }
    return 1;
}
