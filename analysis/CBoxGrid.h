#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/CRect.h"

// Finds the boxes that meet a query box among a fixed set. The cells are fitted to the extent of
// the boxes themselves, wherever they lie (also beyond the board or at negative coordinates),
// with about as many cells as boxes, so a query costs the cells it covers and the boxes in them,
// not a column or row of the whole board. Boxes count with their edges: boxes that only share an
// edge or a corner meet. Queries change nothing, so any number of threads may ask at once.
class CBoxGrid {
public:
    // The cells are made coarser while the boxes would be filed in more cells than this many
    // per box and the few more, so that boxes far larger than the spaces between them stay
    // bounded in memory.
    static constexpr int64_t entriesPerBox = 16;
    static constexpr int64_t minEntries = 4096;

    // Replaces the set by `boxes` (each with left <= right and top <= bottom), numbered by their
    // position in it.
    void Build(const std::vector<CRect>& boxes);
    // The same for the boxes boxes[chosen[k]], each numbered k, with about `boxesPerCell` boxes
    // (at least 1) to a cell: larger cells hold a box in fewer of them.
    void Build(const std::vector<CRect>& boxes, const std::vector<uint32_t>& chosen,
               int32_t boxesPerCell = 1);

    // Appends to `found` the number of every box that meets `query`, each once, in no particular
    // order.
    void Query(const CRect& query, std::vector<uint32_t>& found) const;

    std::size_t GetCount() const { return m_count; }
    // The entries filed in the cells, each box once per cell it reaches.
    std::size_t GetEntryCount() const { return m_cellStart.empty() ? 0 : m_cellStart.back(); }

private:
    // A box as a cell holds it. A box spread over several cells a query reaches is reported from
    // the first of them only, which its top left corner tells: the cell's entries lie side by
    // side, so a query reads them without looking anywhere else. Plain fields without
    // initialisers: the entries are written once, by cell, without being cleared first.
    struct Entry {
        int32_t left;
        int32_t top;
        int32_t right;
        int32_t bottom;
        uint32_t number;
    };
    // The cells a box covers, inclusive.
    struct Cells {
        int32_t c0, r0, c1, r1;
    };

    // Fits the cells to the boxes boxAt(0..count-1) and files each box in its cells.
    template <typename BoxAt> void Fill(size_t count, const BoxAt& boxAt, int32_t boxesPerCell);
    int32_t ColumnOf(int64_t x) const;
    int32_t RowOf(int64_t y) const;

    std::size_t m_count = 0;
    int64_t m_left = 0;
    int64_t m_top = 0;
    int64_t m_cellSize = 1;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    // The boxes of cell c are m_entries[m_cellStart[c] .. m_cellStart[c + 1]).
    std::vector<uint32_t> m_cellStart;
    std::unique_ptr<Entry[]> m_entries;
};
