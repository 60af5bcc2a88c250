#include "analysis/CPlaneWalkStates.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

// The table answers as a map of the states would: the first mark of a state noted again, and
// nothing of the states before a clear, across growth and many clears.
TEST(CPlaneWalkStatesTest, AnswersAsAMapOfTheStates)
{
    std::mt19937 rng(17);
    // Few distinct values, so that states repeat and probes collide.
    std::uniform_int_distribution<int32_t> small(-3, 3);
    CPlaneWalkStates states;
    for (int walk = 0; walk < 30; ++walk) {
        std::map<std::tuple<int32_t, int32_t, int32_t>, CPlaneWalkStates::Mark> expected;
        const int steps = walk % 3 == 0 ? 3000 : 40;
        for (int step = 0; step < steps; ++step) {
            const int32_t guide = small(rng) + 3;
            const int32_t x = small(rng) * 1000003;
            const int32_t y = walk % 2 == 0 ? small(rng) : -small(rng) * 65536;
            const CPlaneWalkStates::Mark mark{step, size_t(walk)};
            const auto [known, fresh] = expected.emplace(std::tuple(guide, x, y), mark);
            const CPlaneWalkStates::Mark* seen = states.Note(guide, x, y, mark);
            ASSERT_EQ(seen == nullptr, fresh) << walk << " " << step;
            if (seen) {
                EXPECT_EQ(seen->point, known->second.point);
                EXPECT_EQ(seen->visited, known->second.visited);
            }
        }
        EXPECT_EQ(states.GetCount(), expected.size());
        if (walk % 10 == 9)
            states.Release();
        else
            states.Clear();
        EXPECT_EQ(states.GetCount(), 0u);
    }
}
