#include "analysis/CBoxGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> Found(const CBoxGrid& grid, const CRect& query)
{
    std::vector<uint32_t> found;
    grid.Query(query, found);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<uint32_t> Meeting(const std::vector<CRect>& boxes, const CRect& q)
{
    std::vector<uint32_t> meeting;
    for (size_t k = 0; k < boxes.size(); ++k) {
        const CRect& b = boxes[k];
        if (b.left <= q.right && q.left <= b.right && b.top <= q.bottom && q.top <= b.bottom)
            meeting.push_back(uint32_t(k));
    }
    return meeting;
}

TEST(CBoxGridTest, EdgesAndCornersMeet)
{
    CBoxGrid grid;
    grid.Build({CRect(0, 0, 10, 10), CRect(20, 0, 30, 10)});
    EXPECT_EQ(Found(grid, CRect(10, 10, 15, 15)), std::vector<uint32_t>{0});
    EXPECT_EQ(Found(grid, CRect(10, 0, 20, 5)), (std::vector<uint32_t>{0, 1}));
    EXPECT_TRUE(Found(grid, CRect(11, 11, 19, 19)).empty());
    EXPECT_TRUE(Found(grid, CRect(-50, -50, -1, -1)).empty());
    grid.Build({});
    EXPECT_TRUE(Found(grid, CRect(0, 0, 10, 10)).empty());
}

// Random sets of every make: spread, clustered in a line, far from the origin, with boxes that
// cover the whole extent; each query must give exactly the boxes that meet it, each once.
TEST(CBoxGridTest, FindsExactlyTheBoxesThatMeetTheQuery)
{
    std::mt19937 random(7);
    auto pick = [&](int64_t lo, int64_t hi) {
        return int32_t(lo + int64_t(random() % uint64_t(hi - lo + 1)));
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t count = pick(1, 300);
        const int64_t reach = round % 5 == 0 ? 2000000000 : pick(10, 1000000);
        const int32_t thin = round % 3 == 0 ? 0 : pick(0, 1000000);
        std::vector<CRect> boxes;
        for (int32_t k = 0; k < count; ++k) {
            const int32_t x = pick(-reach, reach), y = pick(-thin, thin);
            if (k % 40 == 7) {
                boxes.emplace_back(int32_t(-reach), -thin, int32_t(reach), thin);
                continue;
            }
            boxes.emplace_back(x, y, pick(x, std::min<int64_t>(x + 50000, INT32_MAX)),
                               pick(y, std::min<int64_t>(y + 50000, INT32_MAX)));
        }
        CBoxGrid grid;
        grid.Build(boxes);
        // A grid over some of the boxes numbers them by their place in the choice; its cells
        // take one to four boxes each.
        std::vector<uint32_t> chosen;
        std::vector<CRect> chosenBoxes;
        for (uint32_t k = 0; k < uint32_t(count); ++k) {
            if (random() % 3 != 0) {
                chosen.push_back(k);
                chosenBoxes.push_back(boxes[k]);
            }
        }
        CBoxGrid some;
        some.Build(boxes, chosen, 1 + round % 4);
        for (int q = 0; q < 50; ++q) {
            const int32_t x = pick(-reach - 100000, reach + 100000);
            const int32_t y = pick(-thin - 100000, thin + 100000);
            const CRect query(x, y, pick(x, std::min<int64_t>(x + 200000, INT32_MAX)),
                              pick(y, std::min<int64_t>(y + 200000, INT32_MAX)));
            ASSERT_EQ(Found(grid, query), Meeting(boxes, query));
            ASSERT_EQ(Found(some, query), Meeting(chosenBoxes, query));
        }
    }
}

// Boxes that each reach over all the others (a damaged pad size) are filed in coarser cells, not
// in every cell, and the queries find the same.
TEST(CBoxGridTest, BoxesOverEverythingKeepTheEntriesBounded)
{
    std::vector<CRect> boxes;
    for (int32_t k = 0; k < 3000; ++k) {
        if (k % 2 == 0)
            boxes.emplace_back(-1073741824, -1073741824, 1073741824, 1073741824);
        else
            boxes.emplace_back(k * 10000, 0, k * 10000 + 5000, 5000);
    }
    CBoxGrid grid;
    grid.Build(boxes);
    EXPECT_LE(int64_t(grid.GetEntryCount()),
              int64_t(boxes.size()) * CBoxGrid::entriesPerBox + CBoxGrid::minEntries);
    for (int32_t k = 0; k < 3000; k += 97) {
        const CRect query(k * 10000 - 2000, -2000, k * 10000 + 1000, 1000);
        ASSERT_EQ(Found(grid, query), Meeting(boxes, query)) << k;
    }
}

} // namespace
