#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CCopperShape.h"

// The copper of other nets round a plane, each piece grown by the room the fill must leave it,
// for the last check of a fill: no part of the fill may lie inside any of them. Pieces are
// bucketed by area so that a point is tested against the few pieces that can hold it.
class CPlaneObstacles {
public:
    void Clear();
    // A pad, track or other outline; pieces with no copper are ignored.
    void Add(const CCopperShape& piece);
    // Room for `count` more pieces after those added, to be filled with pieces of copper.
    std::span<CCopperShape> Append(size_t count);
    // Sizes the buckets over the pieces added; call before Contains.
    void Index();
    // Whether the point lies inside a piece (on its edge counts as outside for circles and
    // tracks, inside for rings).
    bool Contains(CPoint p) const;
    // Whether the point lies inside a piece or nearer than `reach` to one.
    bool Reaches(CPoint p, int32_t reach) const;

    int32_t GetCount() const { return int32_t(m_pieces.size()); }

    // Whether the piece holds the point, as Contains (reach 0) and Reaches ask.
    static bool Holds(const CCopperShape& piece, CPoint p, int32_t reach = 0);

private:
    int64_t CellOf(int64_t v, int64_t origin) const;

    std::vector<CCopperShape> m_pieces;
    CRect m_area;
    int64_t m_cellSize = 1;
    int64_t m_columns = 0;
    int64_t m_rows = 0;
    // Cell (column c, row r) at r * columns + c: the pieces whose box reaches it.
    std::vector<std::vector<int32_t>> m_cells;
};
