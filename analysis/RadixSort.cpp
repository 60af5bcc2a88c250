#include "analysis/RadixSort.h"

#include <algorithm>
#include <array>
#include <cstddef>

void SortIndexedKeys(std::vector<uint64_t>& words)
{
    constexpr int digitBits = 11;
    constexpr size_t digits = size_t(1) << digitBits;
    constexpr uint64_t digitMask = digits - 1;
    // A pass costs a count of every digit value: short lists sort faster by comparison.
    if (words.size() < 4 * digits) {
        std::sort(words.begin(), words.end());
        return;
    }
    uint64_t largest = 0;
    for (uint64_t word : words)
        largest = std::max(largest, word >> 32);
    std::vector<uint64_t> sorted(words.size());
    for (int shift = 32; shift < 64 && (largest >> (shift - 32)) != 0; shift += digitBits) {
        std::array<size_t, digits> start{};
        for (uint64_t word : words)
            ++start[(word >> shift) & digitMask];
        size_t total = 0;
        for (size_t& count : start) {
            const size_t n = count;
            count = total;
            total += n;
        }
        for (uint64_t word : words)
            sorted[start[(word >> shift) & digitMask]++] = word;
        words.swap(sorted);
    }
}
