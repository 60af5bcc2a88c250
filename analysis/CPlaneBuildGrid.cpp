#include "analysis/CPlaneBuildGrid.h"

#include <algorithm>
#include <cmath>

CPlaneBuildGrid::CPlaneBuildGrid() = default;

CPlaneBuildGrid::~CPlaneBuildGrid() = default;

int32_t CPlaneBuildGrid::ChooseCellSize(const CRect& box, size_t guideCount)
{
    const double area = double(box.Width() + 1) * double(box.Height() + 1);
    const double cells = std::max(1.0, double(guideCount) / double(targetGuidesPerCell));
    const double side = std::ceil(std::sqrt(area / cells));
    return int32_t(std::clamp(side, double(minCellSize), double(defaultCellSize)));
}

void CPlaneBuildGrid::BuildAll(const CRect& box, const std::vector<DLine3>& guides,
                               int32_t cellSize)
{
    m_guides = &guides;
    m_cells.clear();
    m_insertCount = 0;
    m_hasRemembered = false;
    m_result.clear();

    CRect normal = box;
    normal.NormalizeRect();
    m_origin = CPoint(normal.left, normal.top);
    m_cellSize = cellSize > 0 ? cellSize : ChooseCellSize(normal, guides.size());
    // Columns and rows reach one cell beyond the box on each far side, as the ranges do.
    const auto countFor = [](int64_t extent, int64_t cell) { return extent / cell + 2; };
    int64_t columns = countFor(normal.Width(), m_cellSize);
    int64_t rows = countFor(normal.Height(), m_cellSize);
    while (columns * rows > maxCells) {
        m_cellSize = int32_t(std::min<int64_t>(int64_t(m_cellSize) * 2, INT32_MAX));
        columns = countFor(normal.Width(), m_cellSize);
        rows = countFor(normal.Height(), m_cellSize);
    }
    m_columns = int32_t(columns);
    m_rows = int32_t(rows);
    m_cells.resize(size_t(columns * rows));
    m_seenStamp.assign(guides.size(), 0);
    m_stamp = 0;

    for (size_t i = 0; i < guides.size(); ++i)
        Insert(int32_t(i));
}

int32_t CPlaneBuildGrid::ColumnOf(int64_t x) const
{
    return int32_t(std::clamp<int64_t>((x - m_origin.x) / m_cellSize, 0, m_columns - 1));
}

int32_t CPlaneBuildGrid::RowOf(int64_t y) const
{
    return int32_t(std::clamp<int64_t>((y - m_origin.y) / m_cellSize, 0, m_rows - 1));
}

CPlaneBuildGrid::Range CPlaneBuildGrid::CellRange(const CRect& box) const
{
    CRect normal = box;
    normal.NormalizeRect();
    Range range;
    range.c0 = ColumnOf(int64_t(normal.left) - rangeMargin);
    range.r0 = RowOf(int64_t(normal.top) - rangeMargin);
    range.c1 = std::max(range.c0, ColumnOf(int64_t(normal.right) + rangeMargin));
    range.r1 = std::max(range.r0, RowOf(int64_t(normal.bottom) + rangeMargin));
    return range;
}

void CPlaneBuildGrid::Insert(int32_t index)
{
    if (!m_guides || m_cells.empty() || index < 0 || size_t(index) >= m_guides->size())
        return;
    const DLine3& guide = (*m_guides)[size_t(index)];
    const Range range = CellRange(CRect(guide.x1, guide.y1, guide.x2, guide.y2));
    for (int32_t r = range.r0; r <= range.r1; ++r) {
        for (int32_t c = range.c0; c <= range.c1; ++c) {
            m_cells[size_t(r) * size_t(m_columns) + size_t(c)].push_back(index);
            ++m_insertCount;
        }
    }
}

void CPlaneBuildGrid::Gather(const Range& range, std::vector<int32_t>& out, bool sorted) const
{
    out.clear();
    if (m_cells.empty())
        return;
    if (++m_stamp == 0) {
        std::fill(m_seenStamp.begin(), m_seenStamp.end(), 0);
        m_stamp = 1;
    }
    for (int32_t c = range.c0; c <= range.c1; ++c) {
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t index : m_cells[size_t(r) * size_t(m_columns) + size_t(c)]) {
                uint32_t& seen = m_seenStamp[size_t(index)];
                if (seen != m_stamp) {
                    seen = m_stamp;
                    out.push_back(index);
                }
            }
        }
    }
    if (sorted)
        std::sort(out.begin(), out.end());
}

const std::vector<int32_t>& CPlaneBuildGrid::Query(CPoint a, CPoint b)
{
    const Range range = CellRange(CRect(a.x, a.y, b.x, b.y));
    if (m_hasRemembered && range == m_remembered)
        return m_result;
    m_remembered = range;
    m_hasRemembered = true;
    Gather(range, m_result, true);
    return m_result;
}

void CPlaneBuildGrid::Collect(const CRect& box, std::vector<int32_t>& out, bool sorted) const
{
    Gather(CellRange(box), out, sorted);
}

void CPlaneBuildGrid::Collect(const Range& range, std::vector<int32_t>& out, bool sorted) const
{
    Gather(range, out, sorted);
}
