#include "analysis/CBoxGrid.h"

#include <algorithm>
#include <cmath>

namespace {

bool Meet(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

void CBoxGrid::Build(const std::vector<CRect>& boxes)
{
    m_boxes = boxes;
    m_firstColumn.assign(boxes.size(), 0);
    m_firstRow.assign(boxes.size(), 0);
    m_cellStart.clear();
    m_entries.clear();
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

    // Counted first, then filled: one array for all cells.
    const size_t cells = size_t(m_columns) * size_t(m_rows);
    m_cellStart.assign(cells + 1, 0);
    auto forEachCell = [&](const CRect& box, auto&& visit) {
        const int32_t c0 = ColumnOf(box.left), c1 = ColumnOf(box.right);
        const int32_t r0 = RowOf(box.top), r1 = RowOf(box.bottom);
        for (int32_t r = r0; r <= r1; ++r) {
            for (int32_t c = c0; c <= c1; ++c)
                visit(size_t(r) * size_t(m_columns) + size_t(c));
        }
    };
    for (const CRect& box : boxes)
        forEachCell(box, [&](size_t cell) { ++m_cellStart[cell + 1]; });
    for (size_t c = 0; c < cells; ++c)
        m_cellStart[c + 1] += m_cellStart[c];
    m_entries.resize(m_cellStart[cells]);
    std::vector<uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t k = 0; k < boxes.size(); ++k) {
        m_firstColumn[k] = ColumnOf(boxes[k].left);
        m_firstRow[k] = RowOf(boxes[k].top);
        forEachCell(boxes[k], [&](size_t cell) { m_entries[fill[cell]++] = uint32_t(k); });
    }
}

void CBoxGrid::Query(const CRect& query, std::vector<uint32_t>& found) const
{
    if (m_boxes.empty() || query.right < m_left || query.bottom < m_top ||
        query.left > m_left + int64_t(m_columns) * m_cellSize ||
        query.top > m_top + int64_t(m_rows) * m_cellSize)
        return;
    const int32_t c0 = ColumnOf(query.left), c1 = ColumnOf(query.right);
    const int32_t r0 = RowOf(query.top), r1 = RowOf(query.bottom);
    for (int32_t r = r0; r <= r1; ++r) {
        for (int32_t c = c0; c <= c1; ++c) {
            const size_t cell = size_t(r) * size_t(m_columns) + size_t(c);
            for (uint32_t i = m_cellStart[cell]; i < m_cellStart[cell + 1]; ++i) {
                const uint32_t k = m_entries[i];
                if (std::max(m_firstColumn[k], c0) == c && std::max(m_firstRow[k], r0) == r &&
                    Meet(m_boxes[k], query))
                    found.push_back(k);
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
