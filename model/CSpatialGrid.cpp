#include "model/CSpatialGrid.h"

#include <algorithm>

void CSpatialGrid::Reset(int32_t boardWidth, int32_t boardHeight, int32_t itemKind)
{
    m_width = std::max(boardWidth, 0);
    m_height = std::max(boardHeight, 0);
    // A board size read from a file may be anything: coarser cells keep the grid bounded.
    int64_t cellSize = defaultCellSize;
    while ((m_width / cellSize + 2) * (m_height / cellSize + 2) > maxCells)
        cellSize *= 2;

    m_sized = true;
    m_itemKind = itemKind;
    SetCellSize(cellSize);
    m_insertCount = 0;
    m_cells.clear();
    m_boxes.clear();
    m_result.clear();
    m_seenStamp.clear();
    m_stamp = 0;
}

void CSpatialGrid::SetCellSize(int64_t cellSize)
{
    m_cellSize = int32_t(cellSize);
    m_columns = int32_t(m_width / cellSize + 2);
    m_rows = int32_t(m_height / cellSize + 2);
}

void CSpatialGrid::Coarsen()
{
    SetCellSize(int64_t(m_cellSize) * 2);
    m_cells.clear();
    m_insertCount = 0;
    for (const Box& box : m_boxes)
        Insert(box.item, RangeOf(box.x1, box.y1, box.x2, box.y2));
}

int32_t CSpatialGrid::ColumnOf(int64_t x) const
{
    return int32_t(std::clamp<int64_t>(x / m_cellSize, 0, m_columns - 1));
}

int32_t CSpatialGrid::RowOf(int64_t y) const
{
    return int32_t(std::clamp<int64_t>(y / m_cellSize, 0, m_rows - 1));
}

CSpatialGrid::CellRange CSpatialGrid::RangeOf(int64_t left, int64_t top, int64_t right,
                                              int64_t bottom) const
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return {ColumnOf(left), RowOf(top), ColumnOf(right), RowOf(bottom)};
}

void CSpatialGrid::AddBox(uint32_t item, int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    if (!m_sized)
        return;
    m_boxes.push_back(Box{item, x1, y1, x2, y2});
    CellRange range = RangeOf(x1, y1, x2, y2);
    // Boxes far larger than the spaces between them (a damaged pad size) would each fill most of
    // the cells: coarser cells keep the grid near the size of what it holds.
    const int64_t budget = int64_t(m_boxes.size()) * insertsPerItem + minInserts;
    while (m_insertCount + CellCount(range) > budget && m_cellSize <= maxCellSize / 2) {
        m_boxes.pop_back();
        Coarsen();
        m_boxes.push_back(Box{item, x1, y1, x2, y2});
        range = RangeOf(x1, y1, x2, y2);
    }
    Insert(item, range);
    if (item >= m_seenStamp.size())
        m_seenStamp.resize(size_t(item) + 1, 0);
}

void CSpatialGrid::Insert(uint32_t item, const CellRange& range)
{
    for (int32_t c = range.c0; c <= range.c1; ++c) {
        for (int32_t r = range.r0; r <= range.r1; ++r)
            m_cells[CellIndex(c, r)].push_back(item);
    }
    m_insertCount += CellCount(range);
}

void CSpatialGrid::AddRect(uint32_t item, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    AddBox(item, x1, y1, x2, y2);
}

void CSpatialGrid::AddPoint(uint32_t item, int32_t x, int32_t y, int32_t halfSize)
{
    const int64_t half = halfSize;
    AddBox(item, x - half, y - half, x + half, y + half);
}

void CSpatialGrid::AddSegment(uint32_t item, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                              int32_t grow)
{
    const int64_t g = grow;
    AddBox(item, int64_t(std::min(x1, x2)) - g, int64_t(std::min(y1, y2)) - g,
           int64_t(std::max(x1, x2)) + g, int64_t(std::max(y1, y2)) + g);
}

void CSpatialGrid::AddToCellAt(uint32_t item, int32_t x, int32_t y)
{
    AddBox(item, x, y, x, y);
}

std::span<const uint32_t> CSpatialGrid::CellAt(int32_t x, int32_t y) const
{
    if (!m_sized)
        return {};
    const auto found = m_cells.find(CellIndex(ColumnOf(x), RowOf(y)));
    if (found == m_cells.end())
        return {};
    return found->second;
}

void CSpatialGrid::AppendCellToResult(uint32_t cell)
{
    const auto found = m_cells.find(cell);
    if (found == m_cells.end())
        return;
    for (uint32_t item : found->second) {
        uint32_t& seen = m_seenStamp[item];
        if (seen != m_stamp) {
            seen = m_stamp;
            m_result.push_back(item);
        }
    }
}

const std::vector<uint32_t>& CSpatialGrid::Query(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                                 int32_t margin)
{
    m_result.clear();
    if (!m_sized)
        return m_result;
    if (++m_stamp == 0) {
        std::fill(m_seenStamp.begin(), m_seenStamp.end(), 0);
        m_stamp = 1;
    }

    const int64_t m = margin;
    const CellRange range = RangeOf(int64_t(std::min(x1, x2)) - m, int64_t(std::min(y1, y2)) - m,
                                    int64_t(std::max(x1, x2)) + m, int64_t(std::max(y1, y2)) + m);
    const int64_t rangeCells = int64_t(range.c1 - range.c0 + 1) * (range.r1 - range.r0 + 1);

    if (rangeCells <= int64_t(m_cells.size())) {
        for (int32_t c = range.c0; c <= range.c1; ++c) {
            for (int32_t r = range.r0; r <= range.r1; ++r)
                AppendCellToResult(CellIndex(c, r));
        }
        return m_result;
    }

    // A box wider than the occupied part of the grid: visit only the cells that hold items, in
    // the same column-then-row order.
    std::vector<uint32_t> cells;
    for (const auto& entry : m_cells) {
        const int32_t c = int32_t(entry.first % uint32_t(m_columns));
        const int32_t r = int32_t(entry.first / uint32_t(m_columns));
        if (c >= range.c0 && c <= range.c1 && r >= range.r0 && r <= range.r1)
            cells.push_back(entry.first);
    }
    const uint32_t columns = uint32_t(m_columns);
    std::sort(cells.begin(), cells.end(), [columns](uint32_t a, uint32_t b) {
        const uint32_t ca = a % columns;
        const uint32_t cb = b % columns;
        return ca != cb ? ca < cb : a < b;
    });
    for (uint32_t cell : cells)
        AppendCellToResult(cell);
    return m_result;
}
