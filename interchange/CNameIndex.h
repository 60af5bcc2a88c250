#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Names (references, net names) to the numbers they stand for, the first number given a name
// staying with it. Netlists of a hundred thousand parts look a name up for every pin: the
// names and their hashes lie in two flat tables, so that a look-up mostly costs two memory
// reads where a map of nodes costs several.
class CNameIndex {
public:
    CNameIndex();

    // Room for `count` names in all without growing.
    void Reserve(size_t count);
    void Clear();
    size_t Size() const { return m_entries.size(); }

    // The number of the name, or -1 when it has none.
    int32_t Find(std::string_view name) const;
    // Gives the name the number; false, changing nothing, when it has one already.
    bool Add(std::string_view name, int32_t number);

private:
    struct Slot {
        uint32_t hash = 0;
        // Index into m_entries, -1 for an empty slot.
        int32_t entry = -1;
    };
    struct Entry {
        std::string name;
        int32_t number = 0;
    };

    static uint32_t HashOf(std::string_view name);
    // The slot holding the name, or the empty slot where it would go.
    size_t SlotOf(std::string_view name, uint32_t hash) const;
    void Rehash(size_t slotCount);

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    size_t m_mask = 0;
};
