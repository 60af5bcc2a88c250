#include "analysis/RadixSort.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int digitBits = 11;
constexpr size_t digits = size_t(1) << digitBits;
constexpr uint64_t digitMask = digits - 1;
// Below this many words a piece's share of the counting outweighs what its thread saves.
constexpr size_t wordsPerPiece = size_t(1) << 16;

// Stable passes of a counting sort by digit of the upper halves, least significant first.
void SortByDigits(IndexedKeys& words, uint64_t largest)
{
    IndexedKeys sorted(words.size());
    for (int shift = 32; shift < 64 && (largest >> (shift - 32)) != 0; shift += digitBits) {
        PlaceByBucket(
            words.size(), digits, wordsPerPiece,
            [&](size_t i) { return size_t((words[i] >> shift) & digitMask); },
            [&](size_t place, size_t i) { sorted[place] = words[i]; });
        words.swap(sorted);
    }
}

} // namespace

void SortIndexedKeys(IndexedKeys& words)
{
    // A pass costs a count of every digit value: short lists sort faster by comparison.
    if (words.size() < 4 * digits) {
        std::sort(words.begin(), words.end());
        return;
    }
    const size_t pieces =
        std::clamp<size_t>(words.size() / wordsPerPiece, 1, size_t(CWorkPool::ThreadCount()));
    std::vector<uint64_t> largest(pieces, 0);
    const size_t size = words.size();
    CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
        for (size_t i = size * p / pieces; i < size * (p + 1) / pieces; ++i)
            largest[p] = std::max(largest[p], words[i] >> 32);
    });
    SortByDigits(words, *std::max_element(largest.begin(), largest.end()));
}
