#include "analysis/CPlaneBuild.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "analysis/RadixSort.h"
#include "framework/CUnsetAllocator.h"
#include "framework/CWorkPool.h"
#include "model/Geometry.h"

namespace {

// Guides taken in rank order lie anywhere in memory: loops over them ask for the guide this
// many steps ahead.
constexpr size_t ahead = 16;
// Buckets of the sort by angle: few enough that their bounds take little room beside the
// guides.
constexpr size_t guidesPerBucket = 8;
// Fewer guides than this are put into buckets on one thread: the pieces' bucket counts would
// cost more.
constexpr size_t guidesPerPiece = size_t(1) << 16;

// The guides' indexes in rank order, written in full on the work pool.
using Order = CUnsetVector<uint32_t>;

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

// Merges guide i of a line into the first later one that meets it, if any: the partner takes
// the union and i is removed. The union keeps the original end points, which turn back onto
// themselves exactly.
void Unite(DLine3& gi, const Turned& ti, DLine3& gj, Turned& tj)
{
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
    gi.Remove();
}

// Lines of up to this many guides are merged by looking at every later guide of the line, which
// takes no room and no allocation.
constexpr size_t shortLine = 24;

// Merges the overlapping guides of one line (same angle, same turned start y), `line` the
// members' numbers in rank order. For each guide in order, the first later guide on the line
// whose box and extent meet it takes the union and the guide is removed. Lines do not meet,
// so each is merged on its own.
template <typename Member>
void MergeLine(const Member& member, std::vector<Turned>& turned, std::span<const uint32_t> line)
{
    if (line.size() <= shortLine) {
        for (size_t a = 0; a < line.size(); ++a) {
            const uint32_t i = line[a];
            const Turned& ti = turned[i];
            for (size_t b = a + 1; b < line.size(); ++b) {
                const uint32_t j = line[b];
                Turned& tj = turned[j];
                if (tj.start.x <= ti.end.x && tj.end.x >= ti.start.x &&
                    BoxesOverlap(member(i), member(j))) {
                    Unite(member(i), ti, member(j), tj);
                    break;
                }
            }
        }
        return;
    }
    // A long line keeps its guides not yet merged by turned start x: only those within reach
    // of a guide's extent are looked at. `longest` is the longest turned extent any member had:
    // a member that reaches a start x begins at most this far before it.
    std::set<std::pair<int32_t, uint32_t>> byStart;
    int64_t longest = 0;
    for (const uint32_t m : line) {
        byStart.emplace(turned[m].start.x, m);
        longest = std::max<int64_t>(longest, int64_t(turned[m].end.x) - turned[m].start.x);
    }
    for (const uint32_t i : line) {
        const Turned& ti = turned[i];
        byStart.erase({ti.start.x, i});
        int64_t partner = -1;
        const int64_t from = int64_t(ti.start.x) - longest;
        for (auto it = byStart.lower_bound({int32_t(std::max<int64_t>(from, INT32_MIN)), 0});
             it != byStart.end() && it->first <= ti.end.x; ++it) {
            const uint32_t j = it->second;
            if (partner >= 0 && j > partner)
                continue;
            const Turned& tj = turned[j];
            if (tj.end.x >= ti.start.x && BoxesOverlap(member(i), member(j)))
                partner = j;
        }
        if (partner < 0)
            continue;
        Turned& tj = turned[size_t(partner)];
        byStart.erase({tj.start.x, uint32_t(partner)});
        Unite(member(i), ti, member(size_t(partner)), tj);
        byStart.emplace(tj.start.x, uint32_t(partner));
        longest = std::max<int64_t>(longest, int64_t(tj.end.x) - tj.start.x);
    }
}

// Merges the overlapping guides of one run of equal angle, the guides `members` in rank
// order, line by line.
void MergeRun(std::span<DLine3> guides, std::span<const uint32_t> members)
{
    const auto member = [&](size_t k) -> DLine3& { return guides[members[k]]; };
    const double angle = guides[members[0]].angle;
    const size_t count = members.size();
    std::vector<Turned> turned(count);
    for (size_t k = 0; k < count; ++k) {
        if (k + ahead < count)
            __builtin_prefetch(guides.data() + members[k + ahead]);
        const DLine3& g = member(k);
        turned[k] = Turned{CPlaneBuild::RotateByDegrees(g.x1, g.y1, -angle),
                           CPlaneBuild::RotateByDegrees(g.x2, g.y2, -angle)};
    }

    // The members by line: turned start y (in unsigned order) over the member's number, which
    // keeps each line's members in rank order.
    IndexedKeys lines(count);
    for (size_t k = 0; k < count; ++k)
        lines[k] = uint64_t(uint32_t(turned[k].start.y) ^ 0x80000000u) << 32 | k;
    SortIndexedKeys(lines);
    std::vector<uint32_t> line;
    for (size_t first = 0; first < count;) {
        size_t end = first + 1;
        while (end < count && lines[end] >> 32 == lines[first] >> 32)
            ++end;
        if (end - first > 1) {
            line.clear();
            for (size_t k = first; k < end; ++k)
                line.push_back(uint32_t(lines[k]));
            MergeLine(member, turned, line);
        }
        first = end;
    }
}

// The guides' indexes by angle, keeping the order of equal angles, and each guide's rank in
// that order. The indexes are spread over buckets of the angle range by a counting sort, and a
// bucket is sorted only when it is out of order (the axis directions fill theirs with one
// angle). `runs` gets the stretches [first, last) of the order with one angle and more than
// one guide. The guides are read in the order's sequence, which lies anywhere in memory: each
// loop asks for the guide a few steps ahead.
Order RankByAngle(std::span<DLine3> guides, std::vector<std::pair<size_t, size_t>>& runs)
{
    const size_t count = guides.size();
    const size_t bucketCount = std::max<size_t>(1, count / guidesPerBucket);
    const double scale = double(bucketCount) / 360.0;
    const auto bucketOf = [&](double angle) {
        return std::min(bucketCount - 1, size_t(std::max(0.0, angle) * scale));
    };
    const auto bucketOfGuide = [&](size_t i) { return bucketOf(guides[i].angle); };
    Order order(count);
    std::vector<uint32_t> start =
        PlaceByBucket(count, bucketCount, guidesPerPiece, bucketOfGuide,
                      [&](size_t place, size_t i) { order[place] = uint32_t(i); });
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

void CPlaneBuild::OptimizeGuides(std::span<DLine3> guides)
{
    constexpr size_t chunk = 16384;
    CWorkPool::Shared().ForEach((guides.size() + chunk - 1) / chunk, [&](size_t c) {
        const size_t end = std::min(guides.size(), (c + 1) * chunk);
        for (size_t i = c * chunk; i < end; ++i)
            guides[i].angle = LineAngle(guides[i].x1, guides[i].y1, guides[i].x2, guides[i].y2);
    });
    // Runs of one angle never share a guide: they merge on the work pool.
    std::vector<std::pair<size_t, size_t>> runs;
    const Order order = RankByAngle(guides, runs);
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
