#include "model/CPadStackReaches.h"

#include "model/CNet.h"
#include "model/CPadStackArray.h"

CPadStackReaches::CPadStackReaches(const CPadStackArray& padStacks) : m_padStacks(padStacks) {}

// A number naming no stack is never kept: each look-up of it notes the bad number.
bool CPadStackReaches::Names(int32_t padStack) const
{
    return padStack >= 0 && padStack < m_padStacks.GetCount();
}

int32_t CPadStackReaches::Of(int32_t padStack)
{
    if (!Names(padStack))
        return CNet::PadStackReach(m_padStacks, padStack);
    if (size_t(padStack) >= m_reach.size())
        m_reach.resize(size_t(padStack) + 1, -1);
    int32_t& reach = m_reach[size_t(padStack)];
    if (reach < 0)
        reach = CNet::PadStackReach(m_padStacks, padStack);
    return reach;
}

int64_t CPadStackReaches::Margin(int32_t padStack, int64_t angle)
{
    for (size_t k = 0; k < m_marginsUsed; ++k) {
        if (m_margins[k].padStack == padStack && m_margins[k].angle == angle)
            return m_margins[k].margin;
    }
    const int64_t margin = CNet::PadStackMargin(m_padStacks, padStack, angle);
    if (!Names(padStack))
        return margin;
    const size_t slot =
        m_marginsUsed < m_margins.size() ? m_marginsUsed++ : m_nextMargin++ % m_margins.size();
    m_margins[slot] = MarginEntry{padStack, angle, margin};
    return margin;
}
