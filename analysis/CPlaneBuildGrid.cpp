#include "analysis/CPlaneBuildGrid.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <new>
#include <numbers>
#include <utility>

#include "framework/CWorkPool.h"

CPlaneBuildGrid::CPlaneBuildGrid() = default;

CPlaneBuildGrid::~CPlaneBuildGrid() = default;

int32_t CPlaneBuildGrid::ChooseCellSize(const CRect& box, size_t guideCount)
{
    const double area = double(box.Width() + 1) * double(box.Height() + 1);
    const double cells = std::max(1.0, double(guideCount) / double(targetGuidesPerCell));
    const double side = std::clamp(std::ceil(std::sqrt(area / cells)), double(minCellSize),
                                   double(defaultCellSize));
    // The nearest power of two, within the bounds: a cell is then found by a shift, which the
    // walk does at every step.
    const uint32_t below = std::bit_floor(uint32_t(side));
    return int32_t(side >= below * std::numbers::sqrt2 && 2 * below <= uint32_t(defaultCellSize)
                       ? 2 * below
                       : below);
}

void CPlaneBuildGrid::BuildAll(const CRect& box, std::span<const DLine3> guides, int32_t cellSize)
{
    m_cellStart.clear();
    m_entries.clear();
    m_entryCorner.clear();
    m_entryRank.clear();
    m_insertCount = 0;
    m_hasRemembered = false;
    m_result.clear();
    m_answer = {};
    m_guideData = guides.data();

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
    m_shift =
        std::has_single_bit(uint32_t(m_cellSize)) ? std::countr_zero(uint32_t(m_cellSize)) : -1;

    // Two passes over the guides: count each cell's entries, then place them, so that every
    // list lands in its final place in one block.
    const auto rangeOf = [&](const DLine3& guide) {
        return CellRange(CRect(guide.x1, guide.y1, guide.x2, guide.y2));
    };
    // The guides are counted and placed in pieces on the work pool; they land in each cell in
    // no particular order, and each cell's list is sorted into guide order after.
    constexpr size_t piece = 16384;
    const size_t pieces = (guides.size() + piece - 1) / piece;
    const auto cellCount = [&](uint32_t& n) { return std::atomic_ref<uint32_t>(n); };
    std::vector<uint32_t> count(size_t(columns * rows) + 1, 0);
    std::vector<int64_t> inserts(pieces, 0);
    CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
        const size_t end = std::min(guides.size(), (p + 1) * piece);
        for (size_t i = p * piece; i < end; ++i) {
            const Range range = rangeOf(guides[i]);
            for (int32_t r = range.r0; r <= range.r1; ++r) {
                for (int32_t c = range.c0; c <= range.c1; ++c)
                    cellCount(count[CellOf(c, r)]).fetch_add(1, std::memory_order_relaxed);
            }
            inserts[p] += int64_t(range.c1 - range.c0 + 1) * (range.r1 - range.r0 + 1);
        }
    });
    for (int64_t n : inserts)
        m_insertCount += n;
    if (m_insertCount > int64_t(UINT32_MAX))
        throw std::bad_alloc();
    uint32_t total = 0;
    for (uint32_t& n : count) {
        const uint32_t cell = n;
        n = total;
        total += cell;
    }
    m_entries.resize(size_t(total));
    m_entryCorner.resize(size_t(total));
    // `count` now holds where each cell's next entry goes; once every entry is placed it holds
    // where each cell ends, which is where the next one starts.
    CUnsetVector<int32_t> rankAt(m_entries.size());
    CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
        const size_t end = std::min(guides.size(), (p + 1) * piece);
        for (size_t i = p * piece; i < end; ++i) {
            const Range range = rangeOf(guides[i]);
            for (int32_t r = range.r0; r <= range.r1; ++r) {
                for (int32_t c = range.c0; c <= range.c1; ++c) {
                    const uint32_t at =
                        cellCount(count[CellOf(c, r)]).fetch_add(1, std::memory_order_relaxed);
                    m_entries[at] = int32_t(i);
                    m_entryCorner[at] =
                        uint8_t((c == range.c0 ? firstColumn : 0) | (r == range.r0 ? firstRow : 0));
                    rankAt[at] = guides[i].rank;
                }
            }
        }
    });
    // Each list by rank, then index: most lists are a few guides long.
    constexpr size_t cellsPerPiece = 16384;
    const size_t cells = count.size() - 1;
    CWorkPool::Shared().ForEach((cells + cellsPerPiece - 1) / cellsPerPiece, [&](size_t p) {
        const size_t last = std::min(cells, (p + 1) * cellsPerPiece);
        uint32_t begin = p == 0 ? 0 : count[p * cellsPerPiece - 1];
        for (size_t cell = p * cellsPerPiece; cell < last; ++cell) {
            const uint32_t end = count[cell];
            for (uint32_t k = begin + 1; k < end; ++k) {
                const int32_t rank = rankAt[k];
                const int32_t entry = m_entries[k];
                const auto after = [&](uint32_t at) {
                    return rankAt[at] > rank || (rankAt[at] == rank && m_entries[at] > entry);
                };
                if (!after(k - 1))
                    continue;
                const uint8_t corner = m_entryCorner[k];
                uint32_t at = k;
                for (; at > begin && after(at - 1); --at) {
                    rankAt[at] = rankAt[at - 1];
                    m_entries[at] = m_entries[at - 1];
                    m_entryCorner[at] = m_entryCorner[at - 1];
                }
                rankAt[at] = rank;
                m_entries[at] = entry;
                m_entryCorner[at] = corner;
            }
            begin = end;
        }
    });
    m_entryRank = std::move(rankAt);
    std::copy_backward(count.begin(), count.end() - 1, count.end());
    count[0] = 0;
    m_cellStart = std::move(count);
}

int64_t CPlaneBuildGrid::CellsTo(int64_t offset) const
{
    // Below the origin both give a negative number or 0, which is clamped to the first cell.
    return m_shift >= 0 ? offset >> m_shift : offset / m_cellSize;
}

int32_t CPlaneBuildGrid::ColumnOf(int64_t x) const
{
    return int32_t(std::clamp<int64_t>(CellsTo(x - m_origin.x), 0, m_columns - 1));
}

int32_t CPlaneBuildGrid::RowOf(int64_t y) const
{
    return int32_t(std::clamp<int64_t>(CellsTo(y - m_origin.y), 0, m_rows - 1));
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
    ForEachEntry(
        range, [&](uint32_t k) { out.push_back(m_entries[k]); }, [] {});
}

void CPlaneBuildGrid::GatherSorted(const Range& range, std::vector<int32_t>& out)
{
    // The same as Gather, each guide as its rank (in unsigned order) over its index: the words
    // ascend in guide order, each cell's run of them already does, and the runs merge without
    // reading a guide.
    m_keys.clear();
    m_runEnds.clear();
    ForEachEntry(
        range,
        [&](uint32_t k) {
            m_keys.push_back(uint64_t(uint32_t(m_entryRank[k]) ^ 0x80000000u) << 32 |
                             uint32_t(m_entries[k]));
        },
        [&] {
            if (m_keys.size() > (m_runEnds.empty() ? 0 : m_runEnds.back()))
                m_runEnds.push_back(m_keys.size());
        });
    // Pairs of neighbouring runs merge until one is left.
    while (m_runEnds.size() > 1) {
        m_merged.resize(m_keys.size());
        m_mergedEnds.clear();
        size_t begin = 0;
        for (size_t i = 0; i < m_runEnds.size(); i += 2) {
            const size_t middle = m_runEnds[i];
            const size_t end = i + 1 < m_runEnds.size() ? m_runEnds[i + 1] : middle;
            std::merge(m_keys.begin() + ptrdiff_t(begin), m_keys.begin() + ptrdiff_t(middle),
                       m_keys.begin() + ptrdiff_t(middle), m_keys.begin() + ptrdiff_t(end),
                       m_merged.begin() + ptrdiff_t(begin));
            m_mergedEnds.push_back(end);
            begin = end;
        }
        m_keys.swap(m_merged);
        m_runEnds.swap(m_mergedEnds);
    }
    out.resize(m_keys.size());
    for (size_t k = 0; k < m_keys.size(); ++k)
        out[k] = int32_t(uint32_t(m_keys[k]));
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
        GatherSorted(range, m_result);
        m_answer = m_result;
    }
    // The walk reads every guide answered; asking for all of them at once overlaps their
    // cache misses.
    for (int32_t j : m_answer)
        __builtin_prefetch(m_guideData + j);
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
