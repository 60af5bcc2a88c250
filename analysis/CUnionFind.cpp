#include "analysis/CUnionFind.h"

#include <utility>

CUnionFind::CUnionFind(std::size_t count) : m_parent(count)
{
    for (std::size_t i = 0; i < count; ++i)
        m_parent[i].store(uint32_t(i), std::memory_order_relaxed);
}

uint32_t CUnionFind::Find(uint32_t item)
{
    for (;;) {
        uint32_t parent = m_parent[item].load(std::memory_order_acquire);
        if (parent == item)
            return item;
        const uint32_t grand = m_parent[parent].load(std::memory_order_acquire);
        if (grand == parent)
            return parent;
        // Halving the path keeps later finds short; a lost race only leaves it longer.
        m_parent[item].compare_exchange_weak(parent, grand, std::memory_order_acq_rel,
                                             std::memory_order_acquire);
        item = grand;
    }
}

void CUnionFind::Join(uint32_t a, uint32_t b)
{
    for (;;) {
        a = Find(a);
        b = Find(b);
        if (a == b)
            return;
        if (a < b)
            std::swap(a, b);
        // The larger name goes under the smaller one, and only while it still names a group:
        // another thread may have moved it meanwhile, and then the finds start over.
        uint32_t expected = a;
        if (m_parent[a].compare_exchange_strong(expected, b, std::memory_order_acq_rel,
                                                std::memory_order_acquire))
            return;
    }
}
