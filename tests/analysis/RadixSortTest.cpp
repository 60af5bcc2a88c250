#include "analysis/RadixSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "framework/CWorkPool.h"

TEST(RadixSort, IndexedKeysComeOutAsAComparisonSortPutsThem)
{
    const int threadsWere = CWorkPool::ThreadCount();
    std::mt19937_64 rng(5);
    // Short lists, and long ones with keys of every width: few digits, all 32 bits, and many
    // equal keys whose indexes must stay in order. The longest split into pieces over the
    // threads, unevenly, which must not change where any word lands.
    for (int threads : {1, 3, 8}) {
        CWorkPool::SetThreadCount(threads);
        for (const auto& [count, keyBits] :
             {std::pair{100, 32}, std::pair{20000, 7}, std::pair{20000, 32}, std::pair{70000, 20},
              std::pair{400001, 3}, std::pair{400001, 32}, std::pair{600000, 22}}) {
            IndexedKeys words;
            for (int i = 0; i < count; ++i) {
                const uint64_t key = keyBits == 32 ? rng() >> 32 : rng() % (uint64_t(1) << keyBits);
                words.push_back(key << 32 | uint64_t(i));
            }
            IndexedKeys expected = words;
            std::sort(expected.begin(), expected.end());
            SortIndexedKeys(words);
            EXPECT_EQ(words, expected)
                << count << " keys of " << keyBits << " bits, " << threads << " threads";
        }
    }
    CWorkPool::SetThreadCount(threadsWere);
}
