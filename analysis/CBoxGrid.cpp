#include "analysis/CBoxGrid.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename A> bool Meet(const A& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

void CBoxGrid::Build(const std::vector<CRect>& boxes)
{
    m_count = boxes.size();
    m_cellStart.clear();
    m_entries.reset();
    m_columns = m_rows = 0;
    if (boxes.empty())
        return;

    int64_t left = boxes[0].left, top = boxes[0].top;
    int64_t right = boxes[0].right, bottom = boxes[0].bottom;
    for (const CRect& box : boxes) {
        left = std::min<int64_t>(left, box.left);
        top = std::min<int64_t>(top, box.top);
        right = std::max<int64_t>(right, box.right);
        bottom = std::max<int64_t>(bottom, box.bottom);
    }
    // Square cells, about one per box; a thin extent still gets no more cells than boxes along
    // its length.
    const int64_t width = right - left + 1;
    const int64_t height = bottom - top + 1;
    const double count = double(boxes.size());
    const double side = std::max({std::sqrt(double(width) * double(height) / count),
                                  double(std::max(width, height)) / count, 1.0});
    m_left = left;
    m_top = top;
    m_cellSize = int64_t(std::ceil(side));
    m_columns = int32_t((width - 1) / m_cellSize + 1);
    m_rows = int32_t((height - 1) / m_cellSize + 1);

    // Each box's cells worked out once; counted first, then filled: one array for all cells.
    struct Cells {
        int32_t c0, r0, c1, r1;
    };
    std::vector<Cells> cellsOf(boxes.size());
    const size_t cells = size_t(m_columns) * size_t(m_rows);
    m_cellStart.assign(cells + 1, 0);
    for (size_t k = 0; k < boxes.size(); ++k) {
        const CRect& box = boxes[k];
        const Cells range{ColumnOf(box.left), RowOf(box.top), ColumnOf(box.right),
                          RowOf(box.bottom)};
        cellsOf[k] = range;
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t c = range.c0; c <= range.c1; ++c)
                ++m_cellStart[size_t(r) * size_t(m_columns) + size_t(c) + 1];
        }
    }
    for (size_t c = 0; c < cells; ++c)
        m_cellStart[c + 1] += m_cellStart[c];
    m_entries = std::make_unique_for_overwrite<Entry[]>(m_cellStart[cells]);
    std::vector<uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t k = 0; k < boxes.size(); ++k) {
        const Cells& range = cellsOf[k];
        const CRect& box = boxes[k];
        const Entry entry{box.left,    box.top,  box.right, box.bottom,
                          uint32_t(k), range.c0, range.r0};
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t c = range.c0; c <= range.c1; ++c)
                m_entries[fill[size_t(r) * size_t(m_columns) + size_t(c)]++] = entry;
        }
    }
}

void CBoxGrid::Query(const CRect& query, std::vector<uint32_t>& found) const
{
    if (m_count == 0 || query.right < m_left || query.bottom < m_top ||
        query.left > m_left + int64_t(m_columns) * m_cellSize ||
        query.top > m_top + int64_t(m_rows) * m_cellSize)
        return;
    const int32_t c0 = ColumnOf(query.left), c1 = ColumnOf(query.right);
    const int32_t r0 = RowOf(query.top), r1 = RowOf(query.bottom);
    for (int32_t r = r0; r <= r1; ++r) {
        for (int32_t c = c0; c <= c1; ++c) {
            const size_t cell = size_t(r) * size_t(m_columns) + size_t(c);
            const Entry* entry = m_entries.get() + m_cellStart[cell];
            const Entry* const end = m_entries.get() + m_cellStart[cell + 1];
            for (; entry != end; ++entry) {
                if (std::max(entry->firstColumn, c0) == c && std::max(entry->firstRow, r0) == r &&
                    Meet(*entry, query))
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
