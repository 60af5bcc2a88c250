#include "analysis/RadixSort.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "framework/CWorkPool.h"

namespace {

constexpr int digitBits = 11;
constexpr size_t digits = size_t(1) << digitBits;
constexpr uint64_t digitMask = digits - 1;
// Below this many words a piece's share of the counting outweighs what its thread saves.
constexpr size_t wordsPerPiece = size_t(1) << 16;

using Counts = std::array<size_t, digits>;

void SortSerially(IndexedKeys& words, uint64_t largest)
{
    IndexedKeys sorted(words.size());
    for (int shift = 32; shift < 64 && (largest >> (shift - 32)) != 0; shift += digitBits) {
        Counts start{};
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

// Each piece counts and places its own run of words; a digit's places go to the pieces in
// order, so every pass stays as stable as the serial one and the result is the same.
void SortInPieces(IndexedKeys& words, uint64_t largest, size_t pieces)
{
    const size_t size = words.size();
    const auto first = [&](size_t p) { return size * p / pieces; };
    IndexedKeys sorted(size);
    std::vector<Counts> start(pieces);
    for (int shift = 32; shift < 64 && (largest >> (shift - 32)) != 0; shift += digitBits) {
        CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
            Counts& counts = start[p];
            counts.fill(0);
            for (size_t i = first(p); i < first(p + 1); ++i)
                ++counts[(words[i] >> shift) & digitMask];
        });
        size_t total = 0;
        for (size_t d = 0; d < digits; ++d) {
            for (Counts& counts : start) {
                const size_t n = counts[d];
                counts[d] = total;
                total += n;
            }
        }
        CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
            Counts& next = start[p];
            for (size_t i = first(p); i < first(p + 1); ++i)
                sorted[next[(words[i] >> shift) & digitMask]++] = words[i];
        });
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
    const uint64_t top = *std::max_element(largest.begin(), largest.end());
    if (pieces == 1)
        SortSerially(words, top);
    else
        SortInPieces(words, top, pieces);
}
