#include "analysis/CPlaneStartOrder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "analysis/RadixSort.h"
#include "framework/CWorkPool.h"
#include "model/CopperGeometry.h"

namespace {

constexpr uint32_t indexMask = UINT32_MAX;
// How many places on in the list a guide is asked for before it is read.
constexpr size_t readAhead = 8;

int64_t Magnitude(__int128 dx, __int128 dy)
{
    return int64_t(std::sqrt(double(dx * dx + dy * dy)));
}

} // namespace

int64_t CPlaneStartOrder::Distance(const DLine3& guide, CPoint seed)
{
    CPoint nearest;
    return std::llabs(PointToSegmentDistance(guide.Start(), guide.End(), seed, nearest));
}

int64_t CPlaneStartOrder::LowerBound(const DLine3& guide, CPoint seed)
{
    const int64_t dx = int64_t(guide.x2) - guide.x1;
    const int64_t dy = int64_t(guide.y2) - guide.y1;
    const int64_t px = int64_t(seed.x) - guide.x1;
    const int64_t py = int64_t(seed.y) - guide.y1;
    const __int128 along = __int128(px) * dx + __int128(py) * dy;
    const __int128 length2 = __int128(dx) * dx + __int128(dy) * dy;
    int64_t exact;
    if (along <= 0 || length2 == 0) {
        exact = Magnitude(px, py);
    } else if (along >= length2) {
        exact = Magnitude(int64_t(seed.x) - guide.x2, int64_t(seed.y) - guide.y2);
    } else {
        const __int128 cross = __int128(px) * dy - __int128(py) * dx;
        exact = int64_t(std::fabs(double(cross)) / std::sqrt(double(length2)));
    }
    // Distance truncates, goes by a segment frame of sines and cosines and measures beyond
    // the end from a point up to a unit short of it: it is never more than a unit below the
    // exact distance. One unit more covers the rounding of this one.
    return std::clamp<int64_t>(exact - 2, 0, INT32_MAX);
}

void CPlaneStartOrder::Reset(std::span<const DLine3> guides, CPoint seed)
{
    m_seed = seed;
    // A removed guide never comes again. Each chunk of the guides counts its live ones, then
    // writes their words from where the chunks before it end.
    constexpr size_t chunk = 16384;
    const size_t chunks = (guides.size() + chunk - 1) / chunk;
    const auto chunkEnd = [&](size_t c) { return std::min(guides.size(), (c + 1) * chunk); };
    std::vector<size_t> at(chunks + 1, 0);
    CWorkPool::Shared().ForEach(chunks, [&](size_t c) {
        at[c + 1] = size_t(std::count_if(guides.begin() + ptrdiff_t(c * chunk),
                                         guides.begin() + ptrdiff_t(chunkEnd(c)),
                                         [](const DLine3& guide) { return guide.IsLive(); }));
    });
    for (size_t c = 1; c <= chunks; ++c)
        at[c] += at[c - 1];
    m_byBound.clear();
    m_byBound.resize(at[chunks]);
    CWorkPool::Shared().ForEach(chunks, [&](size_t c) {
        size_t k = at[c];
        for (size_t i = c * chunk; i < chunkEnd(c); ++i) {
            if (guides[i].IsLive())
                m_byBound[k++] = uint64_t(LowerBound(guides[i], seed)) << 32 | uint64_t(i);
        }
    });
    SortIndexedKeys(m_byBound);
    m_next = 0;
    m_candidates.clear();
}

int32_t CPlaneStartOrder::Next(std::span<const DLine3> guides)
{
    for (;;) {
        while (!m_candidates.empty() && !guides[m_candidates.front().index].IsLive()) {
            std::pop_heap(m_candidates.begin(), m_candidates.end(), std::greater<>());
            m_candidates.pop_back();
        }
        // A guide not taken yet is at least its bound away: once that bound is beyond the
        // best candidate's distance, no such guide can come before it.
        const uint64_t best = m_candidates.empty() ? UINT64_MAX : m_candidates.front().key;
        if (m_next == m_byBound.size() || (m_byBound[m_next] >> 32) > (best >> 32))
            return m_candidates.empty() ? -1 : int32_t(m_candidates.front().index);
        // Most guides in the list were removed long before their turn: asking for those a
        // few places on overlaps the misses of reading them.
        if (m_next + readAhead < m_byBound.size())
            __builtin_prefetch(guides.data() + (m_byBound[m_next + readAhead] & indexMask));
        const uint32_t index = uint32_t(m_byBound[m_next++] & indexMask);
        const DLine3& guide = guides[index];
        if (guide.IsLive()) {
            m_candidates.push_back(
                Candidate{uint64_t(Distance(guide, m_seed)) << 32 | uint32_t(guide.rank), index});
            std::push_heap(m_candidates.begin(), m_candidates.end(), std::greater<>());
        }
    }
}
