#include "analysis/CPlaneObstacles.h"

#include <algorithm>
#include <cmath>

#include "analysis/CRingIndex.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"

namespace {

// Buckets hold about this many pieces; the bucket count stays below maxCells.
constexpr double piecesPerCell = 2.0;
constexpr int64_t maxCells = int64_t(1) << 20;

} // namespace

void CPlaneObstacles::Clear()
{
    m_pieces.clear();
    m_cells.clear();
    m_columns = 0;
    m_rows = 0;
}

void CPlaneObstacles::Add(const CCopperShape& piece)
{
    if (piece.GetKind() != CCopperShape::Kind::None)
        m_pieces.push_back(piece);
}

std::span<CCopperShape> CPlaneObstacles::Append(size_t count)
{
    const size_t before = m_pieces.size();
    m_pieces.resize(before + count);
    return std::span<CCopperShape>(m_pieces).subspan(before);
}

int64_t CPlaneObstacles::CellOf(int64_t v, int64_t origin) const
{
    return (v - origin) / m_cellSize;
}

void CPlaneObstacles::Index()
{
    m_cells.clear();
    if (m_pieces.empty())
        return;
    m_area = m_pieces.front().GetBounds();
    for (const CCopperShape& piece : m_pieces) {
        const CRect b = piece.GetBounds();
        m_area = CRect(std::min(m_area.left, b.left), std::min(m_area.top, b.top),
                       std::max(m_area.right, b.right), std::max(m_area.bottom, b.bottom));
    }
    const double area = double(m_area.Width() + 1) * double(m_area.Height() + 1);
    m_cellSize = std::max<int64_t>(
        1, int64_t(std::ceil(std::sqrt(area * piecesPerCell / double(m_pieces.size())))));
    for (;;) {
        m_columns = m_area.Width() / m_cellSize + 1;
        m_rows = m_area.Height() / m_cellSize + 1;
        if (m_columns * m_rows <= maxCells)
            break;
        m_cellSize *= 2;
    }
    m_cells.resize(size_t(m_columns * m_rows));
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        const CRect b = m_pieces[i].GetBounds();
        for (int64_t r = CellOf(b.top, m_area.top); r <= CellOf(b.bottom, m_area.top); ++r) {
            for (int64_t c = CellOf(b.left, m_area.left); c <= CellOf(b.right, m_area.left); ++c)
                m_cells[size_t(r * m_columns + c)].push_back(int32_t(i));
        }
    }
}

bool CPlaneObstacles::Holds(const CCopperShape& piece, CPoint p, int32_t reach)
{
    const CRect b = piece.GetBounds();
    if (int64_t(p.x) < int64_t(b.left) - reach || int64_t(p.x) > int64_t(b.right) + reach ||
        int64_t(p.y) < int64_t(b.top) - reach || int64_t(p.y) > int64_t(b.bottom) + reach)
        return false;
    switch (piece.GetKind()) {
    case CCopperShape::Kind::Circle:
        return DistanceDouble(p.x, p.y, piece.GetCentre().x, piece.GetCentre().y) <
               double(piece.GetRadius()) + reach;
    case CCopperShape::Kind::Track: {
        CPoint nearest;
        const int64_t d = PointToSegmentDistance(piece.GetStart(), piece.GetEnd(), p, nearest);
        return std::abs(d) < int64_t(piece.GetRadius()) + reach;
    }
    case CCopperShape::Kind::Polygon: {
        const std::span<const CPoint> ring = piece.GetPolygon();
        if (CRingIndex::Contains(ring, p))
            return true;
        for (size_t k = 1; reach > 0 && k < ring.size(); ++k) {
            CPoint nearest;
            if (std::abs(int64_t(PointToSegmentDistance(ring[k - 1], ring[k], p, nearest))) < reach)
                return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool CPlaneObstacles::Contains(CPoint p) const
{
    if (m_cells.empty() || p.x < m_area.left || p.x > m_area.right || p.y < m_area.top ||
        p.y > m_area.bottom)
        return false;
    const int64_t cell = CellOf(p.y, m_area.top) * m_columns + CellOf(p.x, m_area.left);
    for (int32_t i : m_cells[size_t(cell)]) {
        if (Holds(m_pieces[size_t(i)], p))
            return true;
    }
    return false;
}

bool CPlaneObstacles::Reaches(CPoint p, int32_t reach) const
{
    if (m_cells.empty())
        return false;
    const auto clampTo = [](int64_t v, int64_t count) {
        return std::clamp<int64_t>(v, 0, count - 1);
    };
    const int64_t c0 = CellOf(int64_t(p.x) - reach, m_area.left);
    const int64_t c1 = CellOf(int64_t(p.x) + reach, m_area.left);
    const int64_t r0 = CellOf(int64_t(p.y) - reach, m_area.top);
    const int64_t r1 = CellOf(int64_t(p.y) + reach, m_area.top);
    if (c1 < 0 || r1 < 0 || c0 >= m_columns || r0 >= m_rows)
        return false;
    for (int64_t r = clampTo(r0, m_rows); r <= clampTo(r1, m_rows); ++r) {
        for (int64_t c = clampTo(c0, m_columns); c <= clampTo(c1, m_columns); ++c) {
            for (int32_t i : m_cells[size_t(r * m_columns + c)]) {
                if (Holds(m_pieces[size_t(i)], p, reach))
                    return true;
            }
        }
    }
    return false;
}
