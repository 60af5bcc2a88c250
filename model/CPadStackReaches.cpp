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
    const bool kept = Names(padStack) && angle >= INT32_MIN && angle <= INT32_MAX;
    const uint64_t key = (uint64_t(uint32_t(padStack)) << 32) | uint32_t(int32_t(angle));
    if (!kept)
        return CNet::PadStackMargin(m_padStacks, padStack, angle);
    if (angle % 90000 == 0) {
        if (size_t(padStack) >= m_squareMargin.size())
            m_squareMargin.resize(size_t(padStack) + 1, -1);
        int64_t& margin = m_squareMargin[size_t(padStack)];
        if (margin < 0)
            margin = CNet::PadStackMargin(m_padStacks, padStack, 0);
        return margin;
    }
    if (m_lastMargin >= 0 && key == m_lastKey)
        return m_lastMargin;
    const auto found = m_margins.find(key);
    const int64_t margin =
        found != m_margins.end()
            ? found->second
            : m_margins.emplace(key, CNet::PadStackMargin(m_padStacks, padStack, angle))
                  .first->second;
    m_lastKey = key;
    m_lastMargin = margin;
    return margin;
}
