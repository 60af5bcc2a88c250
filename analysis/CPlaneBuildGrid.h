#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/DLine3.h"
#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CUnsetAllocator.h"

// Buckets the guides of a plane fill into square cells over the plane's working box, so that
// each step of the boundary walk looks only at the guides near its segment.
//
// A query answers every guide registered in the cells that the segment's box (grown by 100)
// reaches, each once and in guide order: by rank, guides of equal rank by index. The answer is
// therefore a function of the cell range alone and the walk, which only ever acts on guides whose
// geometry meets its segment, comes out the same whatever the cell size; the size is chosen from
// the number of guides.
class CPlaneBuildGrid : public CObject {
public:
    // The cell size of a grid that was never built, and the largest one chosen.
    static constexpr int32_t defaultCellSize = 50393;
    // A chosen size is a power of two from minCellSize up to defaultCellSize.
    static constexpr int32_t minCellSize = 512;
    // Guides per cell the chosen size aims at, on average.
    static constexpr int64_t targetGuidesPerCell = 2;
    // The cells of one grid stay below this; the cell size grows instead.
    static constexpr int64_t maxCells = int64_t(1) << 22;
    // Every cell range reaches this far beyond its box.
    static constexpr int32_t rangeMargin = 100;

    // Columns and rows are counted from 0 at the origin; indexes outside are clamped into them.
    struct Range {
        int32_t c0 = 0;
        int32_t r0 = 0;
        int32_t c1 = -1;
        int32_t r1 = -1;

        bool operator==(const Range&) const = default;
    };

    // 10 x 10 cells of the default size, no cell lists yet, no remembered range.
    CPlaneBuildGrid();
    ~CPlaneBuildGrid() override;
    CPlaneBuildGrid(const CPlaneBuildGrid&) = delete;
    CPlaneBuildGrid& operator=(const CPlaneBuildGrid&) = delete;

    // Drops every cell list and covers the box, from its top-left corner, with cells of
    // `cellSize` (0: a size chosen from the guide count), then registers every guide, removed
    // ones too, in every cell of its box's range. The guides must stay alive and in place while
    // the grid is used.
    void BuildAll(const CRect& box, std::span<const DLine3> guides, int32_t cellSize = 0);

    // The cells the box (corners in any order) reaches, grown by rangeMargin.
    Range CellRange(const CRect& box) const;
    // The guides registered in the cells of the segment's range, in guide order and each once. A
    // query for the same range as the one before answers without looking again. The answer
    // holds until the next query or build.
    std::span<const int32_t> Query(CPoint a, CPoint b);
    // The same for a box, into `out` but in no particular order; the remembered query stays
    // as it is. Several threads may collect at once.
    void Collect(const CRect& box, std::vector<int32_t>& out) const;
    void Collect(const Range& range, std::vector<int32_t>& out) const;

    int32_t GetColumns() const { return m_columns; }
    int32_t GetRows() const { return m_rows; }
    int32_t GetCellSize() const { return m_cellSize; }
    CPoint GetOrigin() const { return m_origin; }
    // (guide, cell) entries made by the last BuildAll.
    int64_t GetInsertCount() const { return m_insertCount; }

private:
    static int32_t ChooseCellSize(const CRect& box, size_t guideCount);
    // Whole cells in the offset from the origin, rounded towards zero.
    int64_t CellsTo(int64_t offset) const;
    int32_t ColumnOf(int64_t x) const;
    int32_t RowOf(int64_t y) const;
    size_t CellOf(int32_t column, int32_t row) const
    {
        return size_t(row) * size_t(m_columns) + size_t(column);
    }
    // Calls take(entry) for each guide listed for the range, each guide once, cell by cell, and
    // cellDone() after each cell. A guide whose range starts left of (above) the query's was
    // listed in the query's first column (row) already.
    template <class Take, class CellDone>
    void ForEachEntry(const Range& range, Take take, CellDone cellDone) const
    {
        for (int32_t r = range.r0; r <= range.r1; ++r) {
            for (int32_t c = range.c0; c <= range.c1; ++c) {
                const uint8_t need =
                    uint8_t((c == range.c0 ? 0 : firstColumn) | (r == range.r0 ? 0 : firstRow));
                const size_t cell = CellOf(c, r);
                for (uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                    if ((m_entryCorner[k] & need) == need)
                        take(k);
                }
                cellDone();
            }
        }
    }
    // Each guide once, in cell order.
    void Gather(const Range& range, std::vector<int32_t>& out) const;
    // Each guide once, in guide order.
    void GatherSorted(const Range& range, std::vector<int32_t>& out);

    CPoint m_origin;
    int32_t m_columns = 10;
    int32_t m_rows = 10;
    int32_t m_cellSize = defaultCellSize;
    // log2 of the cell size when it is a power of two, else -1.
    int32_t m_shift = -1;
    int64_t m_insertCount = 0;
    // The guides of cell i (column c, row r at i = r * columns + c) are
    // m_entries[m_cellStart[i] .. m_cellStart[i + 1]), in guide order: one block for the whole grid
    // keeps neighbouring cells' lists next to each other in memory.
    std::vector<uint32_t> m_cellStart;
    // The entries' lists are sized first and written on the work pool, which so takes their
    // pages' first touch.
    CUnsetVector<int32_t> m_entries;
    // The guides of the last build, read ahead for the walk.
    const DLine3* m_guideData = nullptr;
    // Per entry, whether its cell is in the first column (firstColumn) or first row (firstRow)
    // of the guide's own range. A query keeps a guide only in the first cell of its range that
    // the query reaches, so a guide in several cells is listed once without marks per guide.
    static constexpr uint8_t firstColumn = 1;
    static constexpr uint8_t firstRow = 2;
    CUnsetVector<uint8_t> m_entryCorner;
    // Per entry, its guide's rank: a query puts its guides in order without reading them.
    CUnsetVector<int32_t> m_entryRank;
    // A sorted query's guides as (rank, index) keys, one word each; where each cell's run of
    // them ends, and room for merging the runs.
    std::vector<uint64_t> m_keys;
    std::vector<size_t> m_runEnds;
    std::vector<size_t> m_mergedEnds;
    std::vector<uint64_t> m_merged;
    // The answer of the remembered query when it spans several cells.
    std::vector<int32_t> m_result;
    std::span<const int32_t> m_answer;
    Range m_remembered;
    bool m_hasRemembered = false;
};
