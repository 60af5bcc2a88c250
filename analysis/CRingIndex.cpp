#include "analysis/CRingIndex.h"

#include <algorithm>

bool CRingIndex::EdgeCounts(CPoint a, CPoint b, CPoint p, bool& onEnd)
{
    if (a == p || b == p) {
        onEnd = true;
        return false;
    }
    const int32_t low = std::min(a.y, b.y);
    const int32_t high = std::max(a.y, b.y);
    if (!(low < p.y && p.y <= high))
        return false;
    if (std::max(a.x, b.x) < p.x)
        return true;
    // Where the edge meets the row, compared with the point exactly: whether it lies left of
    // the point or on it, wherever that is (rings of copper reach past the board's origin).
    const CPoint& up = a.y < b.y ? a : b;
    const CPoint& down = a.y < b.y ? b : a;
    const __int128 side = __int128(int64_t(down.x) - up.x) * (int64_t(p.y) - up.y) -
                          __int128(int64_t(p.x) - up.x) * (int64_t(down.y) - up.y);
    return side <= 0;
}

bool CRingIndex::Contains(std::span<const CPoint> ring, CPoint p)
{
    bool inside = false;
    for (size_t k = 1; k < ring.size(); ++k) {
        bool onEnd = false;
        if (EdgeCounts(ring[k - 1], ring[k], p, onEnd))
            inside = !inside;
        if (onEnd)
            return true;
    }
    return inside;
}

CRingIndex::CRingIndex(std::span<const CPoint> ring)
{
    Assign(ring);
}

void CRingIndex::Assign(std::span<const CPoint> ring)
{
    m_ring.assign(ring.begin(), ring.end());
    m_bandStart.clear();
    m_edges.clear();
    m_top = 0;
    m_bandHeight = 1;
    if (m_ring.size() < 2)
        return;
    int64_t top = m_ring[0].y;
    int64_t bottom = m_ring[0].y;
    for (const CPoint& q : m_ring) {
        top = std::min<int64_t>(top, q.y);
        bottom = std::max<int64_t>(bottom, q.y);
    }
    // About two edges per band, as long as tall edges do not fill too many bands.
    const int64_t edges = int64_t(m_ring.size()) - 1;
    int64_t bandCount = std::clamp<int64_t>(edges / 2, 1, maxBands);
    m_top = top;
    // Each edge's first and last band, worked out once for the height chosen: the divisions
    // are most of the cost of indexing a small ring.
    for (;;) {
        m_bandHeight = std::max<int64_t>(1, (bottom - top) / bandCount + 1);
        int64_t entries = 0;
        m_edgeBands.clear();
        for (size_t k = 1; k < m_ring.size(); ++k) {
            const int64_t low = std::min(m_ring[k - 1].y, m_ring[k].y);
            const int64_t high = std::max(m_ring[k - 1].y, m_ring[k].y);
            const EdgeBands span{uint32_t((low - m_top) / m_bandHeight),
                                 uint32_t((high - m_top) / m_bandHeight)};
            m_edgeBands.push_back(span);
            entries += int64_t(span.last) - span.first + 1;
        }
        if (bandCount == 1 || entries <= maxEntriesPerEdge * edges)
            break;
        bandCount /= 2;
    }
    // Counted first, then placed: each band's edges land in ring order.
    const size_t bands = size_t((bottom - top) / m_bandHeight + 1);
    m_bandStart.assign(bands + 1, 0);
    const auto forEachEntry = [&](const auto& visit) {
        for (size_t k = 1; k < m_ring.size(); ++k) {
            const EdgeBands span = m_edgeBands[k - 1];
            for (uint32_t band = span.first; band <= span.last; ++band)
                visit(size_t(band), int32_t(k));
        }
    };
    forEachEntry([&](size_t band, int32_t) { ++m_bandStart[band + 1]; });
    for (size_t b = 1; b <= bands; ++b)
        m_bandStart[b] += m_bandStart[b - 1];
    m_edges.resize(m_bandStart[bands]);
    // Each band's start serves as its cursor and ends where the next band starts; the starts
    // move back up by one after.
    forEachEntry([&](size_t band, int32_t k) { m_edges[m_bandStart[band]++] = k; });
    std::copy_backward(m_bandStart.begin(), m_bandStart.end() - 1, m_bandStart.end());
    m_bandStart[0] = 0;
}

bool CRingIndex::Contains(CPoint p) const
{
    if (m_bandStart.empty() || p.y < m_top)
        return false;
    const int64_t band = (int64_t(p.y) - m_top) / m_bandHeight;
    if (band >= int64_t(m_bandStart.size()) - 1)
        return false;
    bool inside = false;
    for (uint32_t e = m_bandStart[size_t(band)]; e < m_bandStart[size_t(band) + 1]; ++e) {
        const int32_t k = m_edges[e];
        bool onEnd = false;
        if (EdgeCounts(m_ring[size_t(k) - 1], m_ring[size_t(k)], p, onEnd))
            inside = !inside;
        if (onEnd)
            return true;
    }
    return inside;
}
