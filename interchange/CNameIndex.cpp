#include "interchange/CNameIndex.h"

#include <functional>

namespace {

constexpr size_t initialSlots = 16;

} // namespace

CNameIndex::CNameIndex()
{
    Rehash(initialSlots);
}

void CNameIndex::Reserve(size_t count)
{
    m_entries.reserve(count);
    // At most half the slots are taken, so that probes stay short.
    size_t slots = m_slots.size();
    while (slots < count * 2)
        slots *= 2;
    if (slots != m_slots.size())
        Rehash(slots);
}

void CNameIndex::Clear()
{
    m_entries.clear();
    m_slots.assign(m_slots.size(), Slot{});
}

uint32_t CNameIndex::HashOf(std::string_view name)
{
    const size_t hash = std::hash<std::string_view>{}(name);
    return uint32_t(hash ^ (hash >> 32));
}

size_t CNameIndex::SlotOf(std::string_view name, uint32_t hash) const
{
    for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry < 0 || (slot.hash == hash && m_entries[size_t(slot.entry)].name == name))
            return i;
    }
}

int32_t CNameIndex::Find(std::string_view name) const
{
    const Slot& slot = m_slots[SlotOf(name, HashOf(name))];
    return slot.entry < 0 ? -1 : m_entries[size_t(slot.entry)].number;
}

bool CNameIndex::Add(std::string_view name, int32_t number)
{
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        Rehash(m_slots.size() * 2);
    const uint32_t hash = HashOf(name);
    Slot& slot = m_slots[SlotOf(name, hash)];
    if (slot.entry >= 0)
        return false;
    slot = {hash, int32_t(m_entries.size())};
    m_entries.push_back({std::string(name), number});
    return true;
}

void CNameIndex::Rehash(size_t slotCount)
{
    std::vector<Slot> old(slotCount);
    old.swap(m_slots);
    m_mask = slotCount - 1;
    for (const Slot& slot : old) {
        if (slot.entry < 0)
            continue;
        size_t i = slot.hash & m_mask;
        while (m_slots[i].entry >= 0)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
}
