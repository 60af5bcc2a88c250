#include "analysis/CPlaneWalkStates.h"

#include <utility>

namespace {

constexpr size_t firstSize = 64;

} // namespace

size_t CPlaneWalkStates::Hash(int32_t guide, int32_t x, int32_t y)
{
    uint64_t h = (uint64_t(uint32_t(x)) << 32 | uint32_t(y)) ^
                 (uint64_t(uint32_t(guide)) * 0x9E3779B97F4A7C15ull);
    // The low bits pick the slot: the high ones are folded into them.
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return size_t(h);
}

const CPlaneWalkStates::Mark* CPlaneWalkStates::Note(int32_t guide, int32_t x, int32_t y,
                                                     const Mark& mark)
{
    if (2 * (m_used.size() + 1) > m_slots.size())
        Grow();
    const size_t mask = m_slots.size() - 1;
    for (size_t at = Hash(guide, x, y) & mask;; at = (at + 1) & mask) {
        Slot& slot = m_slots[at];
        if (slot.guide == empty) {
            slot = Slot{guide, x, y, mark};
            m_used.push_back(at);
            return nullptr;
        }
        if (slot.guide == guide && slot.x == x && slot.y == y)
            return &slot.mark;
    }
}

void CPlaneWalkStates::Clear()
{
    for (size_t at : m_used)
        m_slots[at].guide = empty;
    m_used.clear();
}

void CPlaneWalkStates::Release()
{
    std::vector<Slot>().swap(m_slots);
    std::vector<size_t>().swap(m_used);
}

void CPlaneWalkStates::Grow()
{
    std::vector<Slot> old(m_slots.empty() ? firstSize : 2 * m_slots.size());
    old.swap(m_slots);
    std::vector<size_t> used;
    used.swap(m_used);
    m_used.reserve(used.size());
    const size_t mask = m_slots.size() - 1;
    for (size_t from : used) {
        const Slot& slot = old[from];
        size_t at = Hash(slot.guide, slot.x, slot.y) & mask;
        while (m_slots[at].guide != empty)
            at = (at + 1) & mask;
        m_slots[at] = slot;
        m_used.push_back(at);
    }
}
