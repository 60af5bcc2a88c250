#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/DLine3.h"
#include "analysis/RadixSort.h"
#include "framework/CPoint.h"

// The order in which the walks of a plane fill take their start guides: each time, the live
// guide nearest the seed, the lowest rank (then index) among equally near ones.
//
// Guides only ever go from live to removed, and most are removed by the walks round their
// holes long before their turn comes. So the guides are ranked by a cheap lower bound of their
// distance, and the exact distance is worked out only for a guide still live when that bound
// says it might come next.
class CPlaneStartOrder {
public:
    // Forgets the guides before and takes these, measured from the seed.
    void Reset(std::span<const DLine3> guides, CPoint seed);
    // The live guide of least Distance, the lowest rank, then index, on ties; -1 when none is
    // left. The guides are those of Reset, changed since only in their states.
    int32_t Next(std::span<const DLine3> guides);

    // The distance the order goes by: the fill's truncated point-to-segment distance, unsigned.
    static int64_t Distance(const DLine3& guide, CPoint seed);
    // Never more than Distance, and from exact integer arithmetic but one square root.
    static int64_t LowerBound(const DLine3& guide, CPoint seed);

private:
    CPoint m_seed;
    // Bound << 32 | index, by bound.
    IndexedKeys m_byBound;
    size_t m_next = 0;
    // The guides taken from m_byBound and live then: a min-heap.
    struct Candidate {
        // Distance << 32 | rank.
        uint64_t key;
        uint32_t index;

        bool operator>(const Candidate& other) const
        {
            return key > other.key || (key == other.key && index > other.index);
        }
    };
    std::vector<Candidate> m_candidates;
};
