#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Groups of items (numbered 0..count-1) joined pair by pair, by any number of threads at once.
// A group is named by its smallest item: whatever order the pairs are joined in, and however
// the threads interleave, every item ends up naming the same item, so results built on the
// groups do not depend on the thread count.
class CUnionFind {
public:
    // Every item alone.
    explicit CUnionFind(std::size_t count);
    CUnionFind(const CUnionFind&) = delete;
    CUnionFind& operator=(const CUnionFind&) = delete;

    std::size_t GetCount() const { return m_parent.size(); }
    // The smallest item of the item's group, as far as the joins finished so far tell.
    uint32_t Find(uint32_t item);
    void Join(uint32_t a, uint32_t b);

private:
    // Each entry names an item of the same group no larger than itself; a group's smallest
    // item names itself.
    std::vector<std::atomic<uint32_t>> m_parent;
};
