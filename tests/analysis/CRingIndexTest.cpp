#include "analysis/CRingIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// A closed ring of random points; coarse rows in y so that points often lie on edges and
// vertices share rows.
std::vector<CPoint> RandomRing(std::mt19937& rng, int points, int range)
{
    std::uniform_int_distribution<int> coord(-range, range);
    std::vector<CPoint> ring;
    for (int k = 0; k < points; ++k)
        ring.emplace_back(coord(rng), coord(rng) / 5 * 5);
    ring.push_back(ring.front());
    return ring;
}

} // namespace

// One index takes ring after ring, big ones and small ones, and each time answers as the plain
// test over the ring's edges, which holds nothing of the rings before.
TEST(CRingIndexTest, EveryRingAssignedAnswersAsThePlainTest)
{
    std::mt19937 rng(23);
    std::uniform_int_distribution<int> coord(-120, 120);
    CRingIndex reused;
    for (int round = 0; round < 60; ++round) {
        const int points = round % 5 == 0 ? 400 : (round % 5 == 1 ? 1 : 3 + round % 17);
        const std::vector<CPoint> ring = RandomRing(rng, points, 100);
        reused.Assign(ring);
        const CRingIndex fresh(ring);
        for (int q = 0; q < 300; ++q) {
            // Every other probe is a vertex of the ring, which counts as inside.
            const CPoint p =
                q % 2 == 0 ? CPoint(coord(rng), coord(rng)) : ring[size_t(q) % ring.size()];
            const bool expected = CRingIndex::Contains(ring, p);
            ASSERT_EQ(reused.Contains(p), expected) << "round " << round << " probe " << q;
            ASSERT_EQ(fresh.Contains(p), expected) << "round " << round << " probe " << q;
        }
    }
    // An index of no ring holds nothing.
    reused.Assign({});
    EXPECT_FALSE(reused.Contains(CPoint(0, 0)));
    EXPECT_FALSE(CRingIndex().Contains(CPoint(0, 0)));
}
