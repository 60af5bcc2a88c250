#include "analysis/CUnionFind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "framework/CWorkPool.h"

namespace {

// The smallest item of each item's group, by a plain search over the pairs.
std::vector<uint32_t> SmallestOfGroups(size_t count,
                                       const std::vector<std::pair<uint32_t, uint32_t>>& pairs)
{
    std::vector<std::vector<uint32_t>> next(count);
    for (const auto& [a, b] : pairs) {
        next[a].push_back(b);
        next[b].push_back(a);
    }
    std::vector<uint32_t> smallest(count, UINT32_MAX);
    for (uint32_t first = 0; first < count; ++first) {
        if (smallest[first] != UINT32_MAX)
            continue;
        std::vector<uint32_t> stack{first};
        smallest[first] = first;
        while (!stack.empty()) {
            const uint32_t item = stack.back();
            stack.pop_back();
            for (uint32_t other : next[item]) {
                if (smallest[other] == UINT32_MAX) {
                    smallest[other] = first;
                    stack.push_back(other);
                }
            }
        }
    }
    return smallest;
}

// Many threads joining pairs of one set at once, in any order, end with the groups the pairs
// make, each named by its smallest item.
TEST(CUnionFindTest, JoinsFromManyThreadsNameEachGroupByItsSmallestItem)
{
    const int threadsBefore = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(8);
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const size_t count = 20000;
        // Few pairs leave many small groups, many pairs a few large ones.
        const size_t pairCount = seed % 2 == 1 ? 8000 : 30000;
        std::uniform_int_distribution<uint32_t> any(0, uint32_t(count) - 1);
        std::vector<std::pair<uint32_t, uint32_t>> pairs(pairCount);
        for (auto& pair : pairs)
            pair = {any(random), any(random)};

        CUnionFind groups(count);
        constexpr size_t block = 64;
        CWorkPool::Shared().ForEach((pairs.size() + block - 1) / block, [&](size_t b) {
            for (size_t k = b * block; k < std::min(pairs.size(), (b + 1) * block); ++k)
                groups.Join(pairs[k].first, pairs[k].second);
        });

        const std::vector<uint32_t> expected = SmallestOfGroups(count, pairs);
        for (uint32_t item = 0; item < count; ++item)
            ASSERT_EQ(groups.Find(item), expected[item]) << "item " << item;
    }
    CWorkPool::SetThreadCount(threadsBefore);
}

} // namespace
