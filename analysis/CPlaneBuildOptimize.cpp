#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "analysis/RadixSort.h"
#include "framework/CWorkPool.h"
#include "model/Geometry.h"

namespace {

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

// Merges the overlapping guides of one run [first, last) of equal angle. For each guide in
// order, the first later guide on the same line whose box and extent meet it takes the union
// and the guide is removed; only the guides on the guide's own line and within reach of its
// extent are looked at.
void MergeRun(std::vector<DLine3>& guides, size_t first, size_t last)
{
    const double angle = guides[first].angle;
    const size_t count = last - first;
    std::vector<Turned> turned(count);
    for (size_t k = 0; k < count; ++k) {
        const DLine3& g = guides[first + k];
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
        const int32_t member = int32_t(uint32_t(lines[k]));
        Bucket& bucket = buckets.back();
        bucketOf[size_t(member)] = int32_t(buckets.size() - 1);
        bucket.byStart.emplace(turned[size_t(member)].start.x, member);
        bucket.longest = std::max<int64_t>(bucket.longest, int64_t(turned[size_t(member)].end.x) -
                                                               turned[size_t(member)].start.x);
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
            if (tj.end.x >= ti.start.x &&
                BoxesOverlap(guides[first + i], guides[first + size_t(j)]))
                partner = j;
        }
        if (partner < 0)
            continue;

        // The union keeps the original end points, which turn back onto themselves exactly.
        DLine3& gi = guides[first + i];
        DLine3& gj = guides[first + size_t(partner)];
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

// Sorts the guides by angle, keeping the order of equal angles, and moves each guide once:
// (angle, index) keys are spread over as many buckets of the angle range as there are guides
// by a counting sort, a bucket is sorted only when it is out of order (the axis directions
// fill theirs with one angle), and the guides are gathered in the keys' order.
void SortByAngle(std::vector<DLine3>& guides)
{
    struct Key {
        double angle;
        uint32_t index;

        bool operator<(const Key& other) const
        {
            return angle < other.angle || (angle == other.angle && index < other.index);
        }
    };
    const size_t count = guides.size();
    if (count < 2)
        return;
    const double scale = double(count) / 360.0;
    const auto bucketOf = [&](double angle) {
        return std::min(count - 1, size_t(std::max(0.0, angle) * scale));
    };
    std::vector<uint32_t> start(count + 1, 0);
    for (const DLine3& guide : guides)
        ++start[bucketOf(guide.angle) + 1];
    for (size_t b = 1; b <= count; ++b)
        start[b] += start[b - 1];
    std::vector<Key> keys(count);
    {
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (size_t i = 0; i < count; ++i)
            keys[next[bucketOf(guides[i].angle)]++] = Key{guides[i].angle, uint32_t(i)};
    }
    for (size_t b = 0; b < count; ++b) {
        const auto first = keys.begin() + start[b];
        const auto last = keys.begin() + start[b + 1];
        if (!std::is_sorted(first, last,
                            [](const Key& x, const Key& y) { return x.angle < y.angle; }))
            std::sort(first, last);
    }
    start = std::vector<uint32_t>();
    // The guides are moved round their cycles in place: a sorted copy beside them would double
    // the largest buffer of a big board's fill. A key whose guide is in place is marked.
    constexpr uint32_t placed = std::numeric_limits<uint32_t>::max();
    for (size_t k = 0; k < count; ++k) {
        if (keys[k].index == placed)
            continue;
        const DLine3 held = guides[k];
        for (size_t at = k;;) {
            const size_t from = keys[at].index;
            keys[at].index = placed;
            if (from == k) {
                guides[at] = held;
                break;
            }
            guides[at] = guides[from];
            at = from;
        }
    }
    // The room the guides were collected in is left as it is: what they never reached is
    // never touched, and a tight copy would hold all of them twice for a while.
    keys = std::vector<Key>();
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
    SortByAngle(guides);
    // Runs of one angle never share a guide: they merge on the work pool.
    std::vector<std::pair<size_t, size_t>> runs;
    size_t first = 0;
    while (first < guides.size()) {
        size_t last = first + 1;
        while (last < guides.size() && guides[last].angle == guides[first].angle)
            ++last;
        if (last - first > 1)
            runs.emplace_back(first, last);
        first = last;
    }
    // The longest runs first, so that they do not end up last on one thread.
    std::vector<size_t> order(runs.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return runs[a].second - runs[a].first > runs[b].second - runs[b].first;
    });
    CWorkPool::Shared().ForEach(order.size(), [&](size_t k) {
        const auto [from, to] = runs[order[k]];
        MergeRun(guides, from, to);
    });
}
