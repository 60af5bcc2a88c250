#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "model/LayerIds.h"

class CPad;

// The pairs of pads two items have already been tested with, one pair a copper layer at most:
// layers that give both items the same pads answer the same, so each pair is tested once.
class CPadPairsTried {
public:
    // True, and the pair noted, the first time it is met; false after.
    bool Add(const CPad* first, const CPad* second)
    {
        const std::pair<const CPad*, const CPad*> pair(first, second);
        if (std::find(m_pairs.begin(), m_pairs.begin() + m_count, pair) !=
            m_pairs.begin() + m_count)
            return false;
        m_pairs[size_t(m_count++)] = pair;
        return true;
    }

private:
    std::array<std::pair<const CPad*, const CPad*>, LAYER_INNER_12> m_pairs;
    int32_t m_count = 0;
};
