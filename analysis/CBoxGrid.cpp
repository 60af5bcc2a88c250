#include "analysis/CBoxGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <typename A> bool Meet(const A& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

void CBoxGrid::Build(const std::vector<CRect>& boxes)
{
    Fill(
        boxes.size(), [&boxes](size_t k) -> const CRect& { return boxes[k]; }, 1);
}

void CBoxGrid::Build(const std::vector<CRect>& boxes, const std::vector<uint32_t>& chosen,
                     int32_t boxesPerCell)
{
    Fill(
        chosen.size(), [&](size_t k) -> const CRect& { return boxes[chosen[k]]; },
        std::max(boxesPerCell, 1));
}

template <typename BoxAt>
void CBoxGrid::Fill(size_t count, const BoxAt& boxAt, int32_t boxesPerCell)
{
    m_count = count;
    m_cellStart.clear();
    m_entries.reset();
    m_columns = m_rows = 0;
    if (count == 0)
        return;

    int64_t left = boxAt(0).left, top = boxAt(0).top;
    int64_t right = boxAt(0).right, bottom = boxAt(0).bottom;
    for (size_t k = 0; k < count; ++k) {
        const CRect& box = boxAt(k);
        left = std::min<int64_t>(left, box.left);
        top = std::min<int64_t>(top, box.top);
        right = std::max<int64_t>(right, box.right);
        bottom = std::max<int64_t>(bottom, box.bottom);
    }
    // Square cells, about one per boxesPerCell boxes; a thin extent still gets no more cells
    // along its length.
    const int64_t width = right - left + 1;
    const int64_t height = bottom - top + 1;
    const double cellCount = double(count) / double(boxesPerCell);
    const double side = std::max({std::sqrt(double(width) * double(height) / cellCount),
                                  double(std::max(width, height)) / cellCount, 1.0});
    m_left = left;
    m_top = top;
    m_cellSize = int64_t(std::ceil(side));
    const auto sizeCells = [&] {
        m_columns = int32_t((width - 1) / m_cellSize + 1);
        m_rows = int32_t((height - 1) / m_cellSize + 1);
    };
    sizeCells();

    // Each box's cells worked out once; counted first, then filled: one array for all cells.
    std::vector<Cells> cellsOf(count);
    const auto rangeCells = [&] {
        int64_t filed = 0;
        for (size_t k = 0; k < count; ++k) {
            const CRect& box = boxAt(k);
            const Cells range{ColumnOf(box.left), RowOf(box.top), ColumnOf(box.right),
                              RowOf(box.bottom)};
            cellsOf[k] = range;
            filed += int64_t(range.c1 - range.c0 + 1) * (range.r1 - range.r0 + 1);
        }
        return filed;
    };
    // Boxes far larger than the spaces between them (a damaged pad size) would each fill most
    // cells: coarser cells keep the entries near the number of boxes.
    const int64_t budget = int64_t(count) * entriesPerBox + minEntries;
    while (rangeCells() > budget && m_columns * int64_t(m_rows) > 1) {
        m_cellSize *= 2;
        sizeCells();
    }

    // Cell c counts in m_cellStart[c + 2], so that after the sums m_cellStart[c + 1] is where
    // cell c fills from, and filling moves it on to where cell c + 1 starts.
    const size_t cells = size_t(m_columns) * size_t(m_rows);
    m_cellStart.assign(cells + 2, 0);
    for (size_t k = 0; k < count; ++k) {
        const Cells& range = cellsOf[k];
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            const size_t row = size_t(r) * size_t(m_columns) + 2;
            for (int32_t c = range.c0; c <= range.c1; ++c)
                ++m_cellStart[row + size_t(c)];
        }
    }
    for (size_t c = 2; c < cells + 2; ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    m_entries = std::make_unique_for_overwrite<Entry[]>(m_cellStart[cells + 1]);
    for (size_t k = 0; k < count; ++k) {
        const Cells& range = cellsOf[k];
        const CRect& box = boxAt(k);
        const Entry entry{box.left, box.top, box.right, box.bottom, uint32_t(k)};
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            const size_t row = size_t(r) * size_t(m_columns) + 1;
            for (int32_t c = range.c0; c <= range.c1; ++c)
                m_entries[m_cellStart[row + size_t(c)]++] = entry;
        }
    }
    m_cellStart.pop_back();
}

void CBoxGrid::Query(const CRect& query, std::vector<uint32_t>& found) const
{
    if (m_count == 0 || query.right < m_left || query.bottom < m_top ||
        query.left > m_left + int64_t(m_columns) * m_cellSize ||
        query.top > m_top + int64_t(m_rows) * m_cellSize)
        return;
    const int32_t c0 = ColumnOf(query.left), c1 = ColumnOf(query.right);
    const int32_t r0 = RowOf(query.top), r1 = RowOf(query.bottom);
    // A box is reported from the first of its cells the query covers: a box in a later column
    // (row) than the query's first starts there, at or right of its left (below its top) edge.
    constexpr int64_t anywhere = std::numeric_limits<int64_t>::min();
    for (int32_t r = r0; r <= r1; ++r) {
        const int64_t minTop = r == r0 ? anywhere : m_top + int64_t(r) * m_cellSize;
        for (int32_t c = c0; c <= c1; ++c) {
            const int64_t minLeft = c == c0 ? anywhere : m_left + int64_t(c) * m_cellSize;
            const size_t cell = size_t(r) * size_t(m_columns) + size_t(c);
            const Entry* entry = m_entries.get() + m_cellStart[cell];
            const Entry* const end = m_entries.get() + m_cellStart[cell + 1];
            for (; entry != end; ++entry) {
                if (entry->left >= minLeft && entry->top >= minTop && Meet(*entry, query))
                    found.push_back(entry->number);
            }
        }
    }
}

int32_t CBoxGrid::ColumnOf(int64_t x) const
{
    return int32_t(std::clamp<int64_t>((x - m_left) / m_cellSize, 0, m_columns - 1));
}

int32_t CBoxGrid::RowOf(int64_t y) const
{
    return int32_t(std::clamp<int64_t>((y - m_top) / m_cellSize, 0, m_rows - 1));
}
