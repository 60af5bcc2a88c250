#include "analysis/RadixSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

TEST(RadixSort, IndexedKeysComeOutAsAComparisonSortPutsThem)
{
    std::mt19937_64 rng(5);
    // Short lists, and long ones with keys of every width: few digits, all 32 bits, and many
    // equal keys whose indexes must stay in order.
    for (const auto& [count, keyBits] :
         {std::pair{100, 32}, std::pair{20000, 7}, std::pair{20000, 32}, std::pair{70000, 20}}) {
        std::vector<uint64_t> words;
        for (int i = 0; i < count; ++i) {
            const uint64_t key = keyBits == 32 ? rng() >> 32 : rng() % (uint64_t(1) << keyBits);
            words.push_back(key << 32 | uint64_t(i));
        }
        std::vector<uint64_t> expected = words;
        std::sort(expected.begin(), expected.end());
        SortIndexedKeys(words);
        EXPECT_EQ(words, expected) << count << " keys of " << keyBits << " bits";
    }
}
