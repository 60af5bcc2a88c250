#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "model/SegmentIntersection.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct IntersectCase {
    const char* name;
    CPoint a1, a2, b1, b2;
    bool meets;
    CPoint at;
};

// Each case also runs with both segments given from their other end.
TEST(IntersectSegmentsTest, MeetsWhereExpectedInEitherDirection)
{
    const IntersectCase cases[] = {
        {"crossing diagonals", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
        {"horizontal against vertical", {0, 0}, {10, 0}, {5, -5}, {5, 5}, true, {5, 0}},
        {"horizontal overlap", {0, 0}, {10, 0}, {5, 0}, {20, 0}, true, {10, 0}},
        {"horizontal b inside a", {0, 0}, {20, 0}, {5, 0}, {10, 0}, false, {}},
        {"horizontal apart in y", {0, 0}, {10, 0}, {0, 1}, {10, 1}, false, {}},
        {"vertical overlap", {0, 0}, {0, 10}, {0, 20}, {0, 5}, true, {0, 5}},
        {"vertical apart in x", {0, 0}, {0, 10}, {1, 0}, {1, 10}, false, {}},
        {"collinear sloped, shared end", {0, 0}, {10, 10}, {10, 10}, {20, 20}, true, {10, 10}},
        {"parallel sloped", {0, 0}, {10, 10}, {0, 1}, {10, 11}, false, {}},
        {"collinear sloped, apart", {0, 0}, {10, 10}, {20, 20}, {30, 30}, false, {}},
        // y = 0.5 and y = -0.5 round away from zero.
        {"sloped against vertical, half up", {0, 0}, {4, 2}, {1, -5}, {1, 5}, true, {1, 1}},
        {"sloped against vertical, half down", {0, 0}, {4, -2}, {1, -5}, {1, 5}, true, {1, -1}},
        {"vertical beside sloped", {0, 0}, {4, 4}, {5, 0}, {5, 10}, false, {}},
        // x = 1.5 rounds to 2.
        {"sloped against horizontal", {0, 0}, {4, 8}, {-10, 3}, {10, 3}, true, {2, 3}},
        // x = 1.4 rounds into the steep segment's x range, but y = 140 lies beyond its end.
        {"horizontal past a steep end", {0, 0}, {1, 100}, {-10, 140}, {10, 140}, false, {}},
        {"sloped lines meeting off b", {0, 0}, {4, 4}, {6, 0}, {10, -4}, false, {}},
        {"fill line across an edge", {100, -50}, {300, 50}, {kMin, 0}, {kMax, 0}, true, {200, 0}},
        // The lines meet near x = 2.79e9: beyond int32, so it must not saturate into a hit.
        {"meeting point past int32",
         {2147483000, 0},
         {kMax, 1},
         {0, 1000000},
         {kMax, 1000000},
         false,
         {}},
    };
    for (const IntersectCase& c : cases) {
        for (const bool reversed : {false, true}) {
            const CPoint a1 = reversed ? c.a2 : c.a1;
            const CPoint a2 = reversed ? c.a1 : c.a2;
            const CPoint b1 = reversed ? c.b2 : c.b1;
            const CPoint b2 = reversed ? c.b1 : c.b2;
            CPoint out(-99, -99);
            const bool meets =
                IntersectSegments(a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y, out);
            EXPECT_EQ(meets, c.meets) << c.name << (reversed ? " reversed" : "");
            if (c.meets && meets) {
                EXPECT_EQ(out, c.at) << c.name << (reversed ? " reversed" : "");
            }
        }
    }
}

} // namespace
