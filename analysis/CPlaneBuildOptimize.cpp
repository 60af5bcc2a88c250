#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "analysis/RadixSort.h"
#include "framework/CWorkPool.h"
#include "model/Geometry.h"

namespace {

// Guides taken in rank order lie anywhere in memory: loops over them ask for the guide this
// many steps ahead.
constexpr size_t ahead = 16;
// Buckets of the sort by angle: few enough that their bounds take little room beside the
// guides.
constexpr size_t guidesPerBucket = 8;

// A guide turned by minus its angle, so that it runs along +x.
struct Turned {
    CPoint start;
    CPoint end;
};

bool BoxesOverlap(const DLine3& a, const DLine3& b)
{
    return std::min(a.x1, a.x2) <= std::max(b.x1, b.x2) &&
           std::min(b.x1, b.x2) <= std::max(a.x1, a.x2) &&
           std::min(a.y1, a.y2) <= std::max(b.y1, b.y2) &&
           std::min(b.y1, b.y2) <= std::max(a.y1, a.y2);
}

// The guides of one angle that lie on one line (same turned start y), by turned start x.
struct Bucket {
    std::set<std::pair<int32_t, int32_t>> byStart;
    // The longest turned extent any member had: a member that reaches a start x begins at
    // most this far before it.
    int64_t longest = 0;
};

// Merges the overlapping guides of one run of equal angle, the guides `members` in rank
// order. For each guide in order, the first later guide on the same line whose box and extent
// meet it takes the union and the guide is removed; only the guides on the guide's own line and
// within reach of its extent are looked at.
void MergeRun(std::vector<DLine3>& guides, std::span<const uint32_t> members)
{
    const auto member = [&](size_t k) -> DLine3& { return guides[members[k]]; };
    const double angle = member(0).angle;
    const size_t count = members.size();
    std::vector<Turned> turned(count);
    for (size_t k = 0; k < count; ++k) {
        if (k + ahead < count)
            __builtin_prefetch(guides.data() + members[k + ahead]);
        const DLine3& g = member(k);
        turned[k] = Turned{CPlaneBuild::RotateByDegrees(g.x1, g.y1, -angle),
                           CPlaneBuild::RotateByDegrees(g.x2, g.y2, -angle)};
    }

    // The members by line: turned start y (in unsigned order) over the member's number.
    std::vector<uint64_t> lines(count);
    for (size_t k = 0; k < count; ++k)
        lines[k] = uint64_t(uint32_t(turned[k].start.y) ^ 0x80000000u) << 32 | k;
    SortIndexedKeys(lines);
    const auto lineOf = [&](size_t k) { return lines[k] >> 32; };
    // A guide alone on its line has nothing to merge with and gets no bucket (-1).
    std::vector<int32_t> bucketOf(count, -1);
    std::vector<Bucket> buckets;
    for (size_t k = 0; k < count; ++k) {
        const bool opens = k == 0 || lineOf(k) != lineOf(k - 1);
        if (opens && (k + 1 == count || lineOf(k + 1) != lineOf(k)))
            continue;
        if (opens)
            buckets.emplace_back();
        const int32_t m = int32_t(uint32_t(lines[k]));
        Bucket& bucket = buckets.back();
        bucketOf[size_t(m)] = int32_t(buckets.size() - 1);
        bucket.byStart.emplace(turned[size_t(m)].start.x, m);
        bucket.longest = std::max<int64_t>(bucket.longest, int64_t(turned[size_t(m)].end.x) -
                                                               turned[size_t(m)].start.x);
    }

    for (size_t i = 0; i < count; ++i) {
        if (bucketOf[i] < 0)
            continue;
        Bucket& bucket = buckets[size_t(bucketOf[i])];
        const Turned& ti = turned[i];
        bucket.byStart.erase({ti.start.x, int32_t(i)});
        int32_t partner = -1;
        const int64_t from = int64_t(ti.start.x) - bucket.longest;
        for (auto it = bucket.byStart.lower_bound(
                 {int32_t(std::max<int64_t>(from, INT32_MIN)), INT32_MIN});
             it != bucket.byStart.end() && it->first <= ti.end.x; ++it) {
            const int32_t j = it->second;
            if (partner >= 0 && j > partner)
                continue;
            const Turned& tj = turned[size_t(j)];
            if (tj.end.x >= ti.start.x && BoxesOverlap(member(i), member(size_t(j))))
                partner = j;
        }
        if (partner < 0)
            continue;

        // The union keeps the original end points, which turn back onto themselves exactly.
        DLine3& gi = member(i);
        DLine3& gj = member(size_t(partner));
        Turned& tj = turned[size_t(partner)];
        bucket.byStart.erase({tj.start.x, partner});
        if (ti.start.x < tj.start.x) {
            gj.x1 = gi.x1;
            gj.y1 = gi.y1;
            tj.start = ti.start;
        }
        if (ti.end.x > tj.end.x) {
            gj.x2 = gi.x2;
            gj.y2 = gi.y2;
            tj.end = ti.end;
        }
        bucket.byStart.emplace(tj.start.x, partner);
        bucket.longest = std::max<int64_t>(bucket.longest, int64_t(tj.end.x) - tj.start.x);
        gi.Remove();
    }
}

// The guides' indexes by angle, keeping the order of equal angles, and each guide's rank in
// that order. The indexes are spread over buckets of the angle range by a counting sort, and a
// bucket is sorted only when it is out of order (the axis directions fill theirs with one
// angle). `runs` gets the stretches [first, last) of the order with one angle and more than
// one guide. The guides are read in the order's sequence, which lies anywhere in memory: each
// loop asks for the guide a few steps ahead.
std::vector<uint32_t> RankByAngle(std::vector<DLine3>& guides,
                                  std::vector<std::pair<size_t, size_t>>& runs)
{
    const size_t count = guides.size();
    std::vector<uint32_t> order(count);
    const size_t bucketCount = std::max<size_t>(1, count / guidesPerBucket);
    const double scale = double(bucketCount) / 360.0;
    const auto bucketOf = [&](double angle) {
        return std::min(bucketCount - 1, size_t(std::max(0.0, angle) * scale));
    };
    std::vector<uint32_t> start(bucketCount + 1, 0);
    for (const DLine3& guide : guides)
        ++start[bucketOf(guide.angle) + 1];
    for (size_t b = 1; b <= bucketCount; ++b)
        start[b] += start[b - 1];
    {
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (size_t i = 0; i < count; ++i)
            order[next[bucketOf(guides[i].angle)]++] = uint32_t(i);
    }
    // Each piece of the work reads ahead within its own stretch of the order only: another
    // piece may be sorting the next.
    const auto angleAt = [&](size_t k, size_t end) {
        if (k + ahead < end)
            __builtin_prefetch(guides.data() + order[k + ahead]);
        return guides[order[k]].angle;
    };
    constexpr size_t bucketsPerPiece = 4096;
    CWorkPool::Shared().ForEach(
        (bucketCount + bucketsPerPiece - 1) / bucketsPerPiece, [&](size_t p) {
            const size_t lastBucket = std::min(bucketCount, (p + 1) * bucketsPerPiece);
            const size_t end = start[lastBucket];
            for (size_t b = p * bucketsPerPiece; b < lastBucket; ++b) {
                bool sorted = true;
                for (size_t k = start[b] + 1; k < start[b + 1] && sorted; ++k)
                    sorted = angleAt(k - 1, end) <= angleAt(k, end);
                if (!sorted) {
                    std::sort(order.begin() + start[b], order.begin() + start[b + 1],
                              [&](uint32_t x, uint32_t y) {
                                  return guides[x].angle < guides[y].angle ||
                                         (guides[x].angle == guides[y].angle && x < y);
                              });
                }
            }
        });
    start = std::vector<uint32_t>();
    // Where a new angle begins, piece by piece, and each guide's rank.
    constexpr size_t piece = 65536;
    std::vector<std::vector<size_t>> opens((count + piece - 1) / piece);
    CWorkPool::Shared().ForEach(opens.size(), [&](size_t p) {
        const size_t end = std::min(count, (p + 1) * piece);
        double before = p == 0 ? 0.0 : guides[order[p * piece - 1]].angle;
        for (size_t k = p * piece; k < end; ++k) {
            const double angle = angleAt(k, end);
            guides[order[k]].rank = int32_t(k);
            if (k == 0 || angle != before)
                opens[p].push_back(k);
            before = angle;
        }
    });
    size_t first = 0;
    for (const std::vector<size_t>& starts : opens) {
        for (size_t k : starts) {
            if (k > first + 1)
                runs.emplace_back(first, k);
            first = k;
        }
    }
    if (count > first + 1)
        runs.emplace_back(first, count);
    return order;
}

} // namespace

void CPlaneBuild::OptimizeGuides(std::vector<DLine3>& guides)
{
    constexpr size_t chunk = 16384;
    CWorkPool::Shared().ForEach((guides.size() + chunk - 1) / chunk, [&](size_t c) {
        const size_t end = std::min(guides.size(), (c + 1) * chunk);
        for (size_t i = c * chunk; i < end; ++i)
            guides[i].angle = LineAngle(guides[i].x1, guides[i].y1, guides[i].x2, guides[i].y2);
    });
    // Runs of one angle never share a guide: they merge on the work pool.
    std::vector<std::pair<size_t, size_t>> runs;
    std::vector<uint32_t> order = RankByAngle(guides, runs);
    // The longest runs first, so that they do not end up last on one thread.
    std::vector<size_t> longest(runs.size());
    std::iota(longest.begin(), longest.end(), size_t(0));
    std::stable_sort(longest.begin(), longest.end(), [&](size_t a, size_t b) {
        return runs[a].second - runs[a].first > runs[b].second - runs[b].first;
    });
    CWorkPool::Shared().ForEach(longest.size(), [&](size_t k) {
        const auto [from, to] = runs[longest[k]];
        MergeRun(guides, std::span<const uint32_t>(order).subspan(from, to - from));
    });
}
