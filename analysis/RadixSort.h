#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/CUnsetAllocator.h"
#include "framework/CWorkPool.h"

// Words of an index packed under a key. Their lists are long and written in full once sized.
using IndexedKeys = CUnsetVector<uint64_t>;

// Sorts words ascending whose lower halves ascend as given (an index packed under a key):
// only the upper halves need sorting then, and a stable radix sort does that in linear time.
void SortIndexedKeys(IndexedKeys& words);

// Places the items 0 .. count - 1 as a stable counting sort by bucketOf(i) (below bucketCount)
// does: put(place, i) for each item, the places ascending by bucket and by item within one.
// Runs of at least `minimumPiece` items count and place on the work pool, each bucket's places
// going to the runs in order, so any number of threads gives the same places. Answers where
// each bucket begins (bucketCount + 1 bounds).
template <class BucketOf, class Put>
std::vector<uint32_t> PlaceByBucket(size_t count, size_t bucketCount, size_t minimumPiece,
                                    const BucketOf& bucketOf, const Put& put)
{
    const size_t pieces =
        std::clamp<size_t>(count / minimumPiece, 1, size_t(CWorkPool::ThreadCount()));
    const auto pieceStart = [&](size_t p) { return count * p / pieces; };
    std::vector<std::vector<uint32_t>> next(pieces);
    CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
        next[p].assign(bucketCount, 0);
        for (size_t i = pieceStart(p); i < pieceStart(p + 1); ++i)
            ++next[p][bucketOf(i)];
    });
    // The bounds, then each run's first place in every bucket, in stretches of buckets: a
    // bucket per few items makes these loops as long as the items'.
    constexpr size_t bucketsPerStretch = 65536;
    const size_t stretches = (bucketCount + bucketsPerStretch - 1) / bucketsPerStretch;
    const auto stretchEnd = [&](size_t s) {
        return std::min(bucketCount, (s + 1) * bucketsPerStretch);
    };
    std::vector<uint32_t> start(bucketCount + 1, 0);
    CWorkPool::Shared().ForEach(stretches, [&](size_t s) {
        for (size_t b = s * bucketsPerStretch; b < stretchEnd(s); ++b) {
            for (const std::vector<uint32_t>& counts : next)
                start[b + 1] += counts[b];
        }
    });
    for (size_t b = 1; b <= bucketCount; ++b)
        start[b] += start[b - 1];
    CWorkPool::Shared().ForEach(stretches, [&](size_t s) {
        for (size_t b = s * bucketsPerStretch; b < stretchEnd(s); ++b) {
            uint32_t at = start[b];
            for (std::vector<uint32_t>& counts : next) {
                const uint32_t n = counts[b];
                counts[b] = at;
                at += n;
            }
        }
    });
    CWorkPool::Shared().ForEach(pieces, [&](size_t p) {
        std::vector<uint32_t>& place = next[p];
        for (size_t i = pieceStart(p); i < pieceStart(p + 1); ++i)
            put(size_t(place[bucketOf(i)]++), i);
        place = std::vector<uint32_t>();
    });
    return start;
}
