#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/CPoint.h"

// The plane fill's point-in-ring test: the even-odd rule over the edges p(k-1)-p(k) of a point
// list (no implicit closing edge). An edge counts for a point when min(y) < y <= max(y) and the
// edge meets the row y at or left of the point, at any x (copper round a plane reaches past
// the board's origin); a point equal to an end of an edge is inside.
//
// The index answers the same as the plain test for many points of one ring, looking only at
// the edges whose y range holds the point's y.
class CRingIndex {
public:
    // An index of no ring: nothing is inside.
    CRingIndex() = default;
    explicit CRingIndex(std::span<const CPoint> ring);

    // Indexes another ring in the room of the last one: a fill indexes thousands of small rings
    // one after another.
    void Assign(std::span<const CPoint> ring);

    bool Contains(CPoint p) const;

    // The plain test over every edge.
    static bool Contains(std::span<const CPoint> ring, CPoint p);

private:
    static constexpr int64_t maxBands = 4096;
    static constexpr int64_t maxEntriesPerEdge = 32;

    // Whether edge a-b counts for p; sets `onEnd` when p is one of its ends.
    static bool EdgeCounts(CPoint a, CPoint b, CPoint p, bool& onEnd);

    std::vector<CPoint> m_ring;
    int64_t m_top = 0;
    int64_t m_bandHeight = 1;
    // Per band of rows, the edges (index of their end point) whose closed y range meets it:
    // band b's are m_edges[m_bandStart[b] .. m_bandStart[b + 1]), in ring order, one block for
    // all bands.
    std::vector<uint32_t> m_bandStart;
    std::vector<int32_t> m_edges;
    // Room for the bands each edge meets while the ring is indexed.
    struct EdgeBands {
        uint32_t first;
        uint32_t last;
    };
    std::vector<EdgeBands> m_edgeBands;
};
