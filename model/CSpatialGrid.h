#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

// Buckets the items of one net by board area, so that touch tests run only on the items near
// a place instead of on the whole net. The board is cut into square cells; an item is
// registered with a box, and its number goes into every cell the box reaches. Item numbers are
// whatever indexes the owner counts by (vertex or pin indexes of a net); the grid keeps one word
// per number up to the highest added, to report each item once per query.
//
// An item is found by any query whose box meets a cell its registration box reaches, so the
// owner registers an item with the box its copper covers, and grows a query by the clearance
// (and by its own half extent when it asks from a point): then every item whose copper can
// reach the query is reported, however the two lie across cell borders. Each item is reported
// once per query, also when it sits in several of the cells scanned.
//
// Only cells that hold items take memory, whatever the board size; positions beyond the board
// fall into the outer cells. Items whose boxes are far larger than the spaces between them (a
// damaged pad size) would each fill most cells: the cells then grow coarser, so that the items
// stored stay within insertsPerItem per item and minInserts more.
class CSpatialGrid {
public:
    // What the item numbers count; kept for the owner, the grid does not use it.
    static constexpr int32_t itemsVertices = 0;
    static constexpr int32_t itemsPins = 1;

    // The side of a cell in board units, unless the board needs more cells than maxCells.
    static constexpr int32_t defaultCellSize = 100000;
    static constexpr int64_t maxCells = int64_t(1) << 20;
    static constexpr int32_t maxCellSize = int32_t(1) << 30;
    static constexpr int64_t insertsPerItem = 64;
    static constexpr int64_t minInserts = 4096;
    // Half the side of the box a via, free pad or pin is registered with by default (1 mm).
    static constexpr int32_t pointHalfSize = 10078;
    // What every query adds around its box unless told otherwise.
    static constexpr int32_t queryMargin = 100;

    // 10 x 10 cells declared, none to hold items until Reset.
    CSpatialGrid() = default;
    virtual ~CSpatialGrid() = default;

    // Empties the grid and sizes it for a board: the cells the board needs plus one more
    // column and row, with the cell side doubled until there are at most maxCells. Negative
    // sizes count as 0.
    void Reset(int32_t boardWidth, int32_t boardHeight, int32_t itemKind);

    int32_t GetItemKind() const { return m_itemKind; }
    int32_t GetColumns() const { return m_columns; }
    int32_t GetRows() const { return m_rows; }
    int32_t GetCellSize() const { return m_cellSize; }
    // Item numbers stored in the cells as they are now.
    int64_t GetInsertCount() const { return m_insertCount; }

    // Registers an item in every cell the box (corners in any order) reaches; a repeat of the
    // same item in a cell is not checked. Nothing happens before the first Reset.
    void AddRect(uint32_t item, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // The square of +-halfSize around a point.
    void AddPoint(uint32_t item, int32_t x, int32_t y, int32_t halfSize = pointHalfSize);
    // The box of a segment grown by `grow` on every side.
    void AddSegment(uint32_t item, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t grow);
    // Only the cell that holds the point.
    void AddToCellAt(uint32_t item, int32_t x, int32_t y);

    // The items of the cell holding the point (positions beyond the grid clamp to its outer
    // cells), in the order they were added; empty before the first Reset.
    std::span<const uint32_t> CellAt(int32_t x, int32_t y) const;

    // Every item registered in a cell that the box (corners in any order, grown by `margin` on
    // every side) reaches, each once, in the order of first appearance when scanning columns
    // left to right and, within a column, rows top to bottom. The list is refilled by the
    // next query.
    const std::vector<uint32_t>& Query(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                       int32_t margin = queryMargin);

private:
    struct CellRange {
        int32_t c0, r0, c1, r1;
    };
    // An item as it was added, to be stored again in coarser cells.
    struct Box {
        uint32_t item;
        int64_t x1, y1, x2, y2;
    };

    static int64_t CellCount(const CellRange& range)
    {
        return int64_t(range.c1 - range.c0 + 1) * (range.r1 - range.r0 + 1);
    }
    void SetCellSize(int64_t cellSize);
    // Doubles the cell side and stores every item again.
    void Coarsen();
    void Insert(uint32_t item, const CellRange& range);

    int32_t ColumnOf(int64_t x) const;
    int32_t RowOf(int64_t y) const;
    CellRange RangeOf(int64_t left, int64_t top, int64_t right, int64_t bottom) const;
    uint32_t CellIndex(int32_t column, int32_t row) const
    {
        return uint32_t(m_columns) * uint32_t(row) + uint32_t(column);
    }
    void AddBox(uint32_t item, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
    void AppendCellToResult(uint32_t cell);

    bool m_sized = false;
    int32_t m_itemKind = itemsVertices;
    int32_t m_columns = 10;
    int32_t m_rows = 10;
    int32_t m_cellSize = defaultCellSize;
    int64_t m_insertCount = 0;
    int64_t m_width = 0;
    int64_t m_height = 0;
    std::vector<Box> m_boxes;
    // Cell index (columns * row + column) -> item numbers; cells without items are absent.
    std::unordered_map<uint32_t, std::vector<uint32_t>> m_cells;
    std::vector<uint32_t> m_result;
    // Per item number, the query that last reported it: a query reports an item once without
    // a set to clear and fill each time.
    std::vector<uint32_t> m_seenStamp;
    uint32_t m_stamp = 0;
};
