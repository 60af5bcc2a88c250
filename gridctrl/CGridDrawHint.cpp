#include "gridctrl/CGridDrawHint.h"

#include <algorithm>

void CGridDrawHint::Grow(const Block& block)
{
    if (m_blocks.size() == 1) {
        m_bounds = block;
        return;
    }
    m_bounds.col1 = std::min(m_bounds.col1, block.col1);
    m_bounds.row1 = std::min(m_bounds.row1, block.row1);
    m_bounds.col2 = std::max(m_bounds.col2, block.col2);
    m_bounds.row2 = std::max(m_bounds.row2, block.row2);
}

void CGridDrawHint::AddBlock(int col1, int row1, int col2, int row2)
{
    const Block block{std::min(col1, col2), std::min(row1, row2), std::max(col1, col2),
                      std::max(row1, row2)};
    m_blocks.push_back(block);
    Grow(block);
}

void CGridDrawHint::GrowFirst(int col1, int row1, int col2, int row2)
{
    if (m_blocks.empty()) {
        AddBlock(col1, row1, col2, row2);
        return;
    }
    Block& first = m_blocks.front();
    first.col1 = std::min({first.col1, col1, col2});
    first.row1 = std::min({first.row1, row1, row2});
    first.col2 = std::max({first.col2, col1, col2});
    first.row2 = std::max({first.row2, row1, row2});
    const Block grown = first;
    m_bounds.col1 = std::min(m_bounds.col1, grown.col1);
    m_bounds.row1 = std::min(m_bounds.row1, grown.row1);
    m_bounds.col2 = std::max(m_bounds.col2, grown.col2);
    m_bounds.row2 = std::max(m_bounds.row2, grown.row2);
}

bool CGridDrawHint::IsInBlock(int col, int row) const
{
    if (col < m_bounds.col1 || col > m_bounds.col2 || row < m_bounds.row1 || row > m_bounds.row2)
        return false;
    return std::any_of(m_blocks.begin(), m_blocks.end(), [col, row](const Block& b) {
        return col >= b.col1 && col <= b.col2 && row >= b.row1 && row <= b.row2;
    });
}

void CGridDrawHint::AddListedCell(int col, int row)
{
    m_cells.emplace_back(col, row);
}

bool CGridDrawHint::IsListedCell(int col, int row) const
{
    return std::find(m_cells.begin(), m_cells.end(), std::make_pair(col, row)) != m_cells.end();
}

void CGridDrawHint::Clear()
{
    m_blocks.clear();
    m_cells.clear();
    m_bounds = Block{0, 0, -1, -1};
}
