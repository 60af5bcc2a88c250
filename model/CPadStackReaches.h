#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CPadStackArray;

// The reaches and margins of pad stacks (CNet::PadStackReach, CNet::PadStackMargin), each worked
// out once for as long as the stacks stay as they are: a net's pads and vias mostly share a
// few stacks and turns, and every look-up walks all layers of a stack. Keep one only while the
// stacks cannot change.
class CPadStackReaches {
public:
    explicit CPadStackReaches(const CPadStackArray& padStacks);

    int32_t Of(int32_t padStack);
    int64_t Margin(int32_t padStack, int64_t angle);

private:
    struct MarginEntry {
        int32_t padStack = 0;
        int64_t angle = 0;
        int64_t margin = 0;
    };

    bool Names(int32_t padStack) const;

    const CPadStackArray& m_padStacks;
    // Per stack number, its reach, or -1 until asked for.
    std::vector<int32_t> m_reach;
    // The margins met last; the oldest gives way.
    std::array<MarginEntry, 8> m_margins{};
    size_t m_marginsUsed = 0;
    size_t m_nextMargin = 0;
};
