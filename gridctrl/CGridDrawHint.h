#pragma once

#include <vector>

// Which cells a paint still has to draw: blocks of cells with their bounding block, and single
// cells already drawn (the anchors of joined blocks, drawn once).
class CGridDrawHint {
public:
    void AddCell(int col, int row) { AddBlock(col, row, col, row); }
    void AddBlock(int col1, int row1, int col2, int row2);
    // Grows the first block (adding one to an empty list) and the bounding block.
    void GrowFirst(int col1, int row1, int col2, int row2);
    bool IsInBlock(int col, int row) const;
    void AddListedCell(int col, int row);
    bool IsListedCell(int col, int row) const;
    void Clear();
    bool IsEmpty() const { return m_blocks.empty(); }

private:
    struct Block {
        int col1;
        int row1;
        int col2;
        int row2;
    };
    void Grow(const Block& block);

    std::vector<Block> m_blocks;
    Block m_bounds{0, 0, -1, -1};
    std::vector<std::pair<int, int>> m_cells;
};
