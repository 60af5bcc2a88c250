#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CPadStackArray;

// The reaches and margins of pad stacks (CNet::PadStackReach, CNet::PadStackMargin), each worked
// out once for as long as the stacks stay as they are: a net's pads and vias mostly share a
// few stacks and turns, and every look-up walks all layers of a stack. One may serve every net
// of a design, but only while the stacks cannot change.
class CPadStackReaches {
public:
    explicit CPadStackReaches(const CPadStackArray& padStacks);

    int32_t Of(int32_t padStack);
    int64_t Margin(int32_t padStack, int64_t angle);

private:
    bool Names(int32_t padStack) const;

    const CPadStackArray& m_padStacks;
    // Per stack number, its reach, or -1 until asked for.
    std::vector<int32_t> m_reach;
    // Per stack number, its margin at quarter turns, or -1 until asked for: a margin depends on
    // the angle only through the pads' turns to the axes, and most items sit square.
    std::vector<int64_t> m_squareMargin;
    // Margins at other angles by stack number (high word) and angle (low word); neighbouring
    // items mostly ask for the one asked last.
    std::unordered_map<uint64_t, int64_t> m_margins;
    uint64_t m_lastKey = 0;
    int64_t m_lastMargin = -1;
};
