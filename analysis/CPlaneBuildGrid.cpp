#include "analysis/CPlaneBuildGrid.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

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
    m_cellStart.clear();
    m_entries.clear();
    m_insertCount = 0;
    m_hasRemembered = false;
    m_result.clear();
    m_answer = {};

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

    // Two passes over the guides: count each cell's entries, then place them, so that every
    // list lands in its final place in one block.
    const auto rangeOf = [&](const DLine3& guide) {
        return CellRange(CRect(guide.x1, guide.y1, guide.x2, guide.y2));
    };
    std::vector<uint32_t> count(size_t(columns * rows) + 1, 0);
    for (const DLine3& guide : guides) {
        const Range range = rangeOf(guide);
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t c = range.c0; c <= range.c1; ++c)
                ++count[CellOf(c, r)];
        }
        m_insertCount += int64_t(range.c1 - range.c0 + 1) * (range.r1 - range.r0 + 1);
    }
    if (m_insertCount > int64_t(UINT32_MAX))
        throw std::bad_alloc();
    uint32_t total = 0;
    for (uint32_t& n : count) {
        const uint32_t cell = n;
        n = total;
        total += cell;
    }
    m_entries.resize(size_t(total));
    // `count` now holds where each cell's next entry goes; once every entry is placed it holds
    // where each cell ends, which is where the next one starts.
    for (size_t i = 0; i < guides.size(); ++i) {
        const Range range = rangeOf(guides[i]);
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t c = range.c0; c <= range.c1; ++c)
                m_entries[count[CellOf(c, r)]++] = int32_t(i);
        }
    }
    std::copy_backward(count.begin(), count.end() - 1, count.end());
    count[0] = 0;
    m_cellStart = std::move(count);
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

void CPlaneBuildGrid::Gather(const Range& range, std::vector<int32_t>& out) const
{
    out.clear();
    if (m_cellStart.empty())
        return;
    for (int32_t r = range.r0; r <= range.r1; ++r) {
        const size_t first = CellOf(range.c0, r);
        const size_t last = CellOf(range.c1, r);
        out.insert(out.end(), m_entries.begin() + m_cellStart[first],
                   m_entries.begin() + m_cellStart[last + 1]);
    }
    // A guide that reaches several cells of the range is listed once for each; one cell's list
    // is sorted and unique already.
    if (range.r0 == range.r1 && range.c0 == range.c1)
        return;
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::span<const int32_t> CPlaneBuildGrid::Query(CPoint a, CPoint b)
{
    const Range range = CellRange(CRect(a.x, a.y, b.x, b.y));
    if (m_hasRemembered && range == m_remembered)
        return m_answer;
    m_remembered = range;
    m_hasRemembered = true;
    if (m_cellStart.empty()) {
        m_answer = {};
    } else if (range.r0 == range.r1 && range.c0 == range.c1) {
        const size_t cell = CellOf(range.c0, range.r0);
        m_answer = std::span<const int32_t>(m_entries).subspan(
            m_cellStart[cell], m_cellStart[cell + 1] - m_cellStart[cell]);
    } else {
        Gather(range, m_result);
        m_answer = m_result;
    }
    return m_answer;
}

void CPlaneBuildGrid::Collect(const CRect& box, std::vector<int32_t>& out) const
{
    Gather(CellRange(box), out);
}

void CPlaneBuildGrid::Collect(const Range& range, std::vector<int32_t>& out) const
{
    Gather(range, out);
}
