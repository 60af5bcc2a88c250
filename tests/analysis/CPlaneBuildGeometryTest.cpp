#include "analysis/CPlaneBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <span>
#include <tuple>
#include <vector>

#include "analysis/CPlaneBuildGrid.h"
#include "analysis/CPlaneStartOrder.h"
#include "analysis/CRingIndex.h"
#include "framework/CWorkPool.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/SegmentIntersection.h"

// The faster algorithms of the plane fill are checked against the plain ones, written out here
// as literally as they are meant, on random inputs.

namespace {

DLine3 Guide(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    DLine3 g;
    g.x1 = x1;
    g.y1 = y1;
    g.x2 = x2;
    g.y2 = y2;
    return g;
}

// Random guides that collide a lot: short collinear pieces on a few lines in the axis and
// diagonal directions, both ways round, plus arbitrary ones.
std::vector<DLine3> CollidingGuides(std::mt19937& rng, int count)
{
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> line(0, 3);
    std::uniform_int_distribution<int> pos(0, 60);
    std::uniform_int_distribution<int> len(2, 12);
    std::uniform_int_distribution<int> any(0, 400);
    std::vector<DLine3> guides;
    for (int i = 0; i < count; ++i) {
        const int a = pos(rng) * 5;
        const int b = a + len(rng) * 5;
        const int l = line(rng) * 40;
        const bool back = (rng() & 1) != 0;
        DLine3 g;
        switch (kind(rng)) {
        case 0:
            g = Guide(a, l, b, l);
            break;
        case 1:
            g = Guide(l, a, l, b);
            break;
        case 2:
            g = Guide(a, a + l, b, b + l);
            break;
        case 3:
            g = Guide(a * 3, a * 2 + l, b * 3, b * 2 + l);
            break;
        default:
            g = Guide(any(rng), any(rng), any(rng), any(rng));
            break;
        }
        if (back) {
            std::swap(g.x1, g.x2);
            std::swap(g.y1, g.y2);
        }
        g.state = (rng() & 1) != 0 ? DLine3::stateOutline : 0;
        guides.push_back(g);
    }
    return guides;
}

bool BoxesOverlap(const DLine3& a, const DLine3& b)
{
    return std::min(a.x1, a.x2) <= std::max(b.x1, b.x2) &&
           std::min(b.x1, b.x2) <= std::max(a.x1, a.x2) &&
           std::min(a.y1, a.y2) <= std::max(b.y1, b.y2) &&
           std::min(b.y1, b.y2) <= std::max(a.y1, a.y2);
}

void OptimizeLiterally(std::vector<DLine3>& guides)
{
    for (DLine3& g : guides)
        g.angle = LineAngle(g.x1, g.y1, g.x2, g.y2);
    std::stable_sort(guides.begin(), guides.end(),
                     [](const DLine3& a, const DLine3& b) { return a.angle < b.angle; });
    for (size_t first = 0; first < guides.size();) {
        size_t last = first + 1;
        while (last < guides.size() && guides[last].angle == guides[first].angle)
            ++last;
        for (size_t i = first; i < last; ++i) {
            for (size_t j = i + 1; j < last; ++j) {
                DLine3& gi = guides[i];
                DLine3& gj = guides[j];
                if (!BoxesOverlap(gi, gj))
                    continue;
                const double a = -gi.angle;
                const CPoint si = CPlaneBuild::RotateByDegrees(gi.x1, gi.y1, a);
                const CPoint ei = CPlaneBuild::RotateByDegrees(gi.x2, gi.y2, a);
                const CPoint sj = CPlaneBuild::RotateByDegrees(gj.x1, gj.y1, a);
                const CPoint ej = CPlaneBuild::RotateByDegrees(gj.x2, gj.y2, a);
                if (si.y != sj.y || ei.x < sj.x || ej.x < si.x)
                    continue;
                if (si.x < sj.x) {
                    gj.x1 = gi.x1;
                    gj.y1 = gi.y1;
                }
                if (ei.x > ej.x) {
                    gj.x2 = gi.x2;
                    gj.y2 = gi.y2;
                }
                gi.state = DLine3::stateRemoved;
                break;
            }
        }
        first = last;
    }
}

std::vector<int32_t> ScanLineLiterally(const std::vector<std::vector<CPoint>>& rings, int32_t y)
{
    std::vector<int32_t> xs;
    for (const auto& ring : rings) {
        for (size_t k = 1; k < ring.size(); ++k) {
            const CPoint a = ring[k - 1];
            const CPoint b = ring[k];
            if (std::min(a.y, b.y) <= y && y < std::max(a.y, b.y)) {
                CPoint hit;
                if (IntersectSegments(a.x, a.y, b.x, b.y, INT32_MIN, y, INT32_MAX, y, hit))
                    xs.push_back(hit.x);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

std::vector<CPoint> RandomRing(std::mt19937& rng, int points, int range)
{
    std::uniform_int_distribution<int> coord(0, range);
    std::vector<CPoint> ring;
    for (int k = 0; k < points; ++k)
        ring.emplace_back(coord(rng), coord(rng) / 7 * 7);
    ring.push_back(ring.front());
    return ring;
}

} // namespace

TEST(CPlaneBuildFastAlgorithms, OptimizeGuidesMergesAsThePairwiseScan)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        // Every fourth round puts dozens of guides on a line, which merge another way than the
        // few of the other rounds.
        std::vector<DLine3> guides = CollidingGuides(rng, round % 4 == 0 ? 2000 : 300);
        std::vector<DLine3> expected = guides;
        OptimizeLiterally(expected);
        CPlaneBuild::OptimizeGuides(guides);
        // The guides stay in place; taken by rank they are the sorted and merged list.
        std::vector<DLine3> ranked(guides.size());
        std::vector<bool> taken(guides.size(), false);
        for (const DLine3& guide : guides) {
            ASSERT_TRUE(guide.rank >= 0 && size_t(guide.rank) < guides.size());
            ASSERT_FALSE(taken[size_t(guide.rank)]);
            taken[size_t(guide.rank)] = true;
            ranked[size_t(guide.rank)] = guide;
            ranked[size_t(guide.rank)].rank = 0;
        }
        ASSERT_EQ(ranked, expected) << "round " << round;
    }
    // Touching end to end is overlapping: the later guide takes the union.
    std::vector<DLine3> touching{Guide(0, 0, 10, 0), Guide(10, 0, 30, 0)};
    CPlaneBuild::OptimizeGuides(touching);
    EXPECT_EQ(touching[0].state, DLine3::stateRemoved);
    EXPECT_EQ(touching[1], ([] {
                  DLine3 g = Guide(0, 0, 30, 0);
                  g.rank = 1;
                  return g;
              }()));
}

// Enough guides for the ranking to be shared out over the pool in pieces, uneven ones too,
// with runs of one angle across the pieces' borders: the ranks are still the stable order by
// angle.
TEST(CPlaneBuildFastAlgorithms, RanksOfManyGuidesAreTheStableOrderByAngle)
{
    std::mt19937 rng(19);
    std::uniform_int_distribution<int> step(-3, 3);
    std::uniform_int_distribution<int> coord(0, 1000000);
    std::vector<DLine3> made;
    for (int i = 0; i < 300000; ++i) {
        const int x = coord(rng);
        const int y = coord(rng);
        made.push_back(Guide(x, y, x + step(rng) * 1000, y + step(rng) * 1000));
    }
    const int threadsWere = CWorkPool::ThreadCount();
    for (int threads : {1, 3, 8}) {
        CWorkPool::SetThreadCount(threads);
        std::vector<DLine3> guides = made;
        CPlaneBuild::OptimizeGuides(guides);
        std::vector<uint32_t> expected(guides.size());
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](uint32_t a, uint32_t b) { return guides[a].angle < guides[b].angle; });
        for (size_t k = 0; k < expected.size(); ++k)
            ASSERT_EQ(guides[expected[k]].rank, int32_t(k)) << threads << " threads, " << k;
    }
    CWorkPool::SetThreadCount(threadsWere);
}

TEST(CPlaneBuildFastAlgorithms, StartGuideIsTheNearestLiveOne)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<DLine3> guides = CollidingGuides(rng, 400);
        // Every other round at board scale, where distances are seldom whole numbers.
        const int32_t scale = round % 2 == 0 ? 1 : 90001;
        const auto spread = [&](int32_t v) {
            return scale == 1 ? v : v * scale + int32_t(rng() % 1000);
        };
        for (DLine3& g : guides) {
            g.x1 = spread(g.x1);
            g.y1 = spread(g.y1);
            g.x2 = spread(g.x2);
            g.y2 = spread(g.y2);
        }
        const CPoint seed(spread(int32_t(rng() % 400)), spread(int32_t(rng() % 300)));
        // Ranked guides break ties by rank.
        if (round % 4 < 2) {
            std::vector<int32_t> ranks(guides.size());
            std::iota(ranks.begin(), ranks.end(), 0);
            std::shuffle(ranks.begin(), ranks.end(), rng);
            for (size_t i = 0; i < guides.size(); ++i)
                guides[i].rank = ranks[i];
        }
        CPlaneStartOrder order;
        order.Reset(guides, seed);
        for (int pick = 0; pick < 200; ++pick) {
            int32_t expected = -1;
            int64_t best = INT64_MAX;
            for (size_t i = 0; i < guides.size(); ++i) {
                CPoint nearest;
                const int64_t d = std::llabs(
                    PointToSegmentDistance(guides[i].Start(), guides[i].End(), seed, nearest));
                if (guides[i].IsLive() &&
                    (d < best || (d == best && guides[i].rank < guides[size_t(expected)].rank))) {
                    best = d;
                    expected = int32_t(i);
                }
            }
            ASSERT_EQ(order.Next(guides), expected) << "round " << round << " pick " << pick;
            // Remove the chosen guide and a random other one, as walks do.
            guides[size_t(expected)].state = DLine3::stateRemoved;
            guides[rng() % guides.size()].state = DLine3::stateRemoved;
        }
    }
    // Many guides, a third of them removed already, are listed in chunks: taken to the last,
    // every live one comes, nearest first.
    {
        std::vector<DLine3> guides = CollidingGuides(rng, 50000);
        std::vector<std::tuple<int64_t, int32_t, int32_t>> expected;
        const CPoint seed(150, 120);
        for (size_t i = 0; i < guides.size(); ++i) {
            guides[i].rank = int32_t(rng() % 1000);
            if (rng() % 3 == 0)
                guides[i].state = DLine3::stateRemoved;
            else
                expected.emplace_back(CPlaneStartOrder::Distance(guides[i], seed), guides[i].rank,
                                      int32_t(i));
        }
        std::sort(expected.begin(), expected.end());
        CPlaneStartOrder order;
        order.Reset(guides, seed);
        for (const auto& [distance, rank, index] : expected) {
            ASSERT_EQ(order.Next(guides), index) << distance << " " << rank;
            guides[size_t(index)].state = DLine3::stateRemoved;
        }
        EXPECT_EQ(order.Next(guides), -1);
    }
    // The bound that lets the order skip exact distances holds out to the coordinates' ends.
    std::uniform_int_distribution<int32_t> anywhere(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> near(-3000, 3000);
    for (int k = 0; k < 20000; ++k) {
        const bool far = k % 2 == 0;
        const CPoint a(far ? anywhere(rng) : near(rng), far ? anywhere(rng) : near(rng));
        const CPoint b(k % 3 == 0 ? a.x : near(rng), k % 5 == 0 ? a.y : near(rng));
        const DLine3 g = Guide(a.x, a.y, b.x, b.y);
        const CPoint seed(k % 7 == 0 ? anywhere(rng) : near(rng), near(rng));
        const int64_t bound = CPlaneStartOrder::LowerBound(g, seed);
        const int64_t distance = CPlaneStartOrder::Distance(g, seed);
        // Tight too: a bound far below would send every guide through the exact distance.
        ASSERT_TRUE(bound <= distance && distance - bound <= 4)
            << bound << " " << distance << " for " << a.x << "," << a.y << " " << b.x << "," << b.y
            << " from " << seed.x << "," << seed.y;
    }
}

TEST(CPlaneBuildFastAlgorithms, ScanLinesCrossAsTheEdgeByEdgeScan)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::vector<CPoint>> rings;
        for (int r = 0; r < 4; ++r)
            rings.push_back(RandomRing(rng, 12, 10000));
        // Lines over the whole rings, and lines through their middle only, where edges start
        // above the first line and end below the last; the steps meet vertices now and then.
        struct Window {
            int32_t first;
            int32_t end;
            int32_t step;
        };
        for (const Window& w : {Window{-13, 10010, 97}, Window{2002, 7001, 91}}) {
            int32_t lines = 0;
            CPlaneBuild::ScanLines(rings, w.first, w.end, w.step,
                                   [&](int32_t y, const std::vector<int32_t>& crossings) {
                                       EXPECT_EQ(crossings, ScanLineLiterally(rings, y)) << y;
                                       ++lines;
                                   });
            EXPECT_EQ(lines, (w.end - w.first + w.step - 1) / w.step);
        }
    }
    // A ring of many edges sorts them by line in pieces, one per thread.
    const int threadsWere = CWorkPool::ThreadCount();
    const std::vector<std::vector<CPoint>> many{RandomRing(rng, 200000, 10000)};
    for (int threads : {1, 3}) {
        CWorkPool::SetThreadCount(threads);
        CPlaneBuild::ScanLines(many, 2002, 7001, 499,
                               [&](int32_t y, const std::vector<int32_t>& crossings) {
                                   EXPECT_EQ(crossings, ScanLineLiterally(many, y))
                                       << y << ", " << threads << " threads";
                               });
    }
    CWorkPool::SetThreadCount(threadsWere);
}

TEST(CPlaneBuildFastAlgorithms, RingIndexAnswersAsThePlainTest)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coord(-50, 1050);
    for (int round = 0; round < 20; ++round) {
        const std::vector<CPoint> ring = RandomRing(rng, 3 + round * 5, 1000);
        const CRingIndex index(ring);
        for (int k = 0; k < 500; ++k) {
            const CPoint p(coord(rng), coord(rng) / 7 * 7);
            ASSERT_EQ(index.Contains(p), CRingIndex::Contains(ring, p));
        }
        for (const CPoint& corner : ring)
            EXPECT_TRUE(index.Contains(corner));
    }
    // No implicit closing edge: a ring that stops short of its start leaks.
    const std::vector<CPoint> open{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    EXPECT_FALSE(CPlaneBuild::PointInPolygon(open, 50, 50));
    const std::vector<CPoint> closed{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    EXPECT_TRUE(CPlaneBuild::PointInPolygon(closed, 50, 50));
    EXPECT_FALSE(CPlaneBuild::PointInPolygon(closed, 150, 50));
    // Copper that reaches past the board's origin: an edge that crosses the row left of x = 0
    // still counts, and one that crosses it right of the point never does.
    const std::vector<CPoint> skewed{
        {-6942, 25916}, {-736, 42708}, {25436, 33034}, {19230, 16242}, {-6942, 25916}};
    EXPECT_FALSE(CPlaneBuild::PointInPolygon(skewed, 20329, 42706));
    EXPECT_FALSE(CRingIndex(skewed).Contains(CPoint(20329, 42706)));
    EXPECT_TRUE(CPlaneBuild::PointInPolygon(skewed, 0, 30000));
    EXPECT_TRUE(CPlaneBuild::PointInPolygon(skewed, -5000, 27000));
    EXPECT_FALSE(CPlaneBuild::PointInPolygon(skewed, -5000, 40000));
}

TEST(CPlaneBuildGridTest, QueryFindsEveryGuideNearTheSegmentOnceAndInOrder)
{
    std::mt19937 rng(9);
    std::vector<DLine3> guides;
    std::uniform_int_distribution<int> coord(-200000, 2200000);
    std::uniform_int_distribution<int> step(-30000, 30000);
    for (int i = 0; i < 3000; ++i) {
        const int x = coord(rng);
        const int y = coord(rng);
        guides.push_back(Guide(x, y, x + step(rng), y + step(rng)));
    }
    const CRect box(1000000, 1000000, 2000000, 2000000);
    for (int32_t cellSize : {0, 700, 50393, 400000}) {
        CPlaneBuildGrid grid;
        grid.BuildAll(box, guides, cellSize);
        EXPECT_LE(int64_t(grid.GetColumns()) * grid.GetRows(), CPlaneBuildGrid::maxCells);
        EXPECT_EQ(grid.GetOrigin(), CPoint(1000000, 1000000));
        for (int q = 0; q < 100; ++q) {
            const CPoint a(1000000 + int32_t(rng() % 1000000), 1000000 + int32_t(rng() % 1000000));
            const CPoint b(a.x + step(rng), a.y + step(rng));
            const std::span<const int32_t> span = grid.Query(a, b);
            const std::vector<int32_t> found(span.begin(), span.end());
            ASSERT_TRUE(std::is_sorted(found.begin(), found.end()));
            ASSERT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
            // The unordered answer for a box holds the same guides, each once too.
            std::vector<int32_t> collected;
            grid.Collect(CRect(a.x, a.y, b.x, b.y), collected);
            std::sort(collected.begin(), collected.end());
            ASSERT_EQ(collected, found);
            const CRect reach(std::min(a.x, b.x) - 100, std::min(a.y, b.y) - 100,
                              std::max(a.x, b.x) + 100, std::max(a.y, b.y) + 100);
            for (size_t i = 0; i < guides.size(); ++i) {
                const DLine3& g = guides[i];
                const bool meets =
                    std::min(g.x1, g.x2) <= reach.right && std::max(g.x1, g.x2) >= reach.left &&
                    std::min(g.y1, g.y2) <= reach.bottom && std::max(g.y1, g.y2) >= reach.top;
                if (meets) {
                    ASSERT_TRUE(std::binary_search(found.begin(), found.end(), int32_t(i)))
                        << "cell size " << cellSize << " guide " << i;
                }
            }
        }
    }
    // A box far out and huge keeps its cell count bounded and its origin at its corner.
    CPlaneBuildGrid huge;
    huge.BuildAll(CRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), guides, 512);
    EXPECT_LE(int64_t(huge.GetColumns()) * huge.GetRows(), CPlaneBuildGrid::maxCells);
    EXPECT_FALSE(huge.Query(CPoint(0, 0), CPoint(10, 10)).empty());
}

// Guides that keep their place but carry a rank come out by rank.
TEST(CPlaneBuildGridTest, QueryAnswersByRank)
{
    std::mt19937 rng(13);
    std::vector<DLine3> guides;
    std::uniform_int_distribution<int> coord(0, 400000);
    std::uniform_int_distribution<int> step(-20000, 20000);
    for (int i = 0; i < 3000; ++i) {
        const int x = coord(rng);
        const int y = coord(rng);
        guides.push_back(Guide(x, y, x + step(rng), y + step(rng)));
    }
    std::vector<uint32_t> order(guides.size());
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), rng);
    for (size_t k = 0; k < order.size(); ++k)
        guides[order[k]].rank = int32_t(k);
    const auto byRank = [&](int32_t a, int32_t b) {
        return guides[size_t(a)].rank < guides[size_t(b)].rank;
    };
    const CRect box(0, 0, 400000, 400000);
    for (const int32_t cellSize : {0, 9000}) {
        CPlaneBuildGrid grid;
        grid.BuildAll(box, guides, cellSize);
        for (int q = 0; q < 200; ++q) {
            const CPoint a(coord(rng), coord(rng));
            const CPoint b(a.x + step(rng), a.y + step(rng));
            const std::span<const int32_t> span = grid.Query(a, b);
            std::vector<int32_t> found(span.begin(), span.end());
            ASSERT_TRUE(std::is_sorted(found.begin(), found.end(), byRank)) << cellSize;
            std::vector<int32_t> collected;
            grid.Collect(CRect(a.x, a.y, b.x, b.y), collected);
            std::sort(collected.begin(), collected.end());
            std::sort(found.begin(), found.end());
            ASSERT_EQ(collected, found);
            ASSERT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
        }
    }
}

TEST(CPlaneBuildGeometry, CrossGuidesMeetsOnlyWhereTheSegmentsDo)
{
    struct Case {
        DLine3 line;
        DLine3 guide;
        bool meets;
        CPoint hit;
    };
    const Case cases[] = {
        // A steep guide whose line, not the guide, passes the horizontal segment.
        {Guide(38995, 49995, 49995, 49995), Guide(38995, 50005, 38994, 51453), false, {}},
        {Guide(0, 0, 10, 10), Guide(0, 10, 10, 0), true, {5, 5}},
        {Guide(0, 0, 100, 0), Guide(50, -7, 52, 7), true, {51, 0}},
        {Guide(0, 0, 100, 0), Guide(100, 0, 100, 50), true, {100, 0}},
        {Guide(0, 0, 100, 0), Guide(101, -5, 101, 5), false, {}},
        {Guide(5, 5, 5, 5), Guide(0, 0, 10, 10), true, {5, 5}},
        {Guide(0, 0, 10, 0), Guide(5, 0, 20, 0), true, {10, 0}},
    };
    for (const Case& c : cases) {
        CPoint hit;
        EXPECT_EQ(CPlaneBuild::CrossGuides(c.line, c.guide, hit), c.meets);
        if (c.meets) {
            EXPECT_EQ(hit, c.hit);
        }
    }
}

TEST(CPlaneBuildGeometry, ClipGuideKeepsWhatMeetsTheBox)
{
    const CRect box(0, 0, 1000, 1000);
    struct Case {
        DLine3 in;
        bool kept;
        DLine3 out;
    };
    const Case cases[] = {
        {Guide(0, 5, 1, 5), false, {}},                       // length 1
        {Guide(0, 5, 2, 5), true, Guide(0, 5, 2, 5)},         // length 2
        {Guide(-50, 0, 2000, 0), true, Guide(0, 0, 1000, 0)}, // on the top edge, clipped
        {Guide(2000, 1000, -50, 1000), true, Guide(1000, 1000, 0, 1000)},
        {Guide(5, -1, 500, -1), false, {}},                   // above the box
        {Guide(7, 1500, 7, -20), true, Guide(7, 1000, 7, 0)}, // towards -y
        {Guide(1200, 10, 1300, 90), false, {}},               // diagonal beside it
        {Guide(-300, -300, 3000, 3000), true, Guide(-300, -300, 3000, 3000)},
    };
    for (const Case& c : cases) {
        DLine3 g = c.in;
        const int32_t sector = CPlaneBuild::GuideSector(LineAngle(g.x1, g.y1, g.x2, g.y2));
        ASSERT_EQ(CPlaneBuild::ClipGuide(box, sector, g), c.kept);
        if (c.kept) {
            EXPECT_EQ(g, c.out);
        }
    }
}

// A guide from (0, 0) to (1000, 0) bounds copper above it (y < 0).
TEST(CPlaneBuildGeometry, RunsIntoGuideOnlyWhenTheFillGetsIntoTheCopper)
{
    struct Case {
        CPoint a;
        CPoint b;
        bool into;
    };
    const Case cases[] = {
        {{500, 300}, {500, -300}, true},    // straight through
        {{500, 300}, {500, -60}, false},    // a corner rounded short of the limit
        {{500, 300}, {520, -70}, true},     // just beyond it
        {{1000, 300}, {1003, -300}, false}, // past the guide's end at once
        {{-200, -5}, {900, 8}, false},      // along the guide, a few units deep
        {{500, 0}, {500, -300}, false},     // from the guide, never across it
        {{500, 300}, {520, 200}, false},    // on the free side
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPlaneBuild::RunsIntoGuide(c.a, c.b, CPoint(0, 0), CPoint(1000, 0)), c.into)
            << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y;
}
