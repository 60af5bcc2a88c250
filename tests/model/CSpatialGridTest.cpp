#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "model/CSpatialGrid.h"

namespace {

using Items = std::vector<uint32_t>;
constexpr int32_t lo = std::numeric_limits<int32_t>::min();
constexpr int32_t hi = std::numeric_limits<int32_t>::max();

TEST(CSpatialGridTest, SizeFollowsTheBoardAndStaysBounded)
{
    const struct {
        int32_t width, height, columns, rows, cellSize;
    } cases[] = {
        {1000000, 500000, 12, 7, 100000}, {-5, -100000000, 2, 2, 100000},
        {99999, 100000, 2, 3, 100000},    {hi, hi, 673, 673, 3200000},
        {hi, 5000000, 10739, 27, 200000},
    };
    for (const auto& c : cases) {
        CSpatialGrid grid;
        grid.Reset(c.width, c.height, CSpatialGrid::itemsPins);
        EXPECT_EQ(grid.GetColumns(), c.columns) << c.width << " x " << c.height;
        EXPECT_EQ(grid.GetRows(), c.rows) << c.width << " x " << c.height;
        EXPECT_EQ(grid.GetCellSize(), c.cellSize) << c.width << " x " << c.height;
    }
}

// Every item whose registered box meets the grown query box is reported exactly once, however
// many cells it or the query spans.
TEST(CSpatialGridTest, QueriesFindItemsAcrossCellBordersOnce)
{
    CSpatialGrid grid;
    grid.Reset(1000000, 500000, CSpatialGrid::itemsVertices);
    grid.AddPoint(1, 300000, 300000);                     // on a corner: 4 cells
    grid.AddSegment(2, 10000, 250000, 990000, 250000, 0); // along the whole board
    grid.AddPoint(3, 95000, 50000, 1000);                 // near a cell border, small
    grid.AddPoint(4, 95000, 150000, 30000);               // a large pad across the border
    grid.AddToCellAt(5, 5000000, 5000000);                // beyond the board: last cell
    EXPECT_EQ(grid.GetInsertCount(), 4 + 10 + 1 + 2 + 1);
    const auto corner = grid.CellAt(350000, 399999);
    EXPECT_EQ(Items(corner.begin(), corner.end()), Items{1});
    const auto outside = grid.CellAt(lo, lo);
    EXPECT_EQ(Items(outside.begin(), outside.end()), Items{3});

    const struct {
        int32_t x1, y1, x2, y2, margin;
        Items expected;
    } cases[] = {
        {250000, 250000, 350000, 350000, 100, {1, 2}},
        {1200000, 700000, 0, 0, 0, {3, 4, 2, 1, 5}},
        {lo, lo, hi, hi, hi, {3, 4, 2, 1, 5}},
        // The small item lies in the next cell: found only when the margin reaches it.
        {101000, 50000, 101000, 50000, 100, {}},
        {101000, 50000, 101000, 50000, 5000, {3}},
        // The large pad reaches into the next cell by its own box.
        {120000, 150000, 120000, 150000, 0, {4}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grid.Query(c.x1, c.y1, c.x2, c.y2, c.margin), c.expected)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2 << " +" << c.margin;
    }
}

// The grid as first written: dense cells found by scaling with 1e-05, and a linear duplicate
// search. The grid must give the same lists in the same order.
class LiteralGrid {
public:
    void AddRect(uint32_t item, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    {
        const Range r = RangeOf(x1, y1, x2, y2);
        for (int32_t c = r.c0; c <= r.c1; ++c) {
            for (int32_t row = r.r0; row <= r.r1; ++row)
                m_cells[size_t(columns * row + c)].push_back(item);
        }
    }

    Items Query(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t m) const
    {
        const Range r = RangeOf(std::min(x1, x2) - m, std::min(y1, y2) - m, std::max(x1, x2) + m,
                                std::max(y1, y2) + m);
        Items result;
        for (int32_t c = r.c0; c <= r.c1; ++c) {
            for (int32_t row = r.r0; row <= r.r1; ++row) {
                for (uint32_t item : m_cells[size_t(columns * row + c)]) {
                    if (std::find(result.begin(), result.end(), item) == result.end())
                        result.push_back(item);
                }
            }
        }
        return result;
    }

private:
    static constexpr int32_t columns = 12, rows = 7;
    struct Range {
        int32_t c0, r0, c1, r1;
    };
    static Range RangeOf(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    {
        const int32_t c0 = std::clamp(int32_t(std::min(x1, x2) * 1e-05), 0, columns - 1);
        const int32_t r0 = std::clamp(int32_t(std::min(y1, y2) * 1e-05), 0, rows - 1);
        return {c0, r0, std::clamp(int32_t(std::max(x1, x2) * 1e-05), c0, columns - 1),
                std::clamp(int32_t(std::max(y1, y2) * 1e-05), r0, rows - 1)};
    }
    std::vector<Items> m_cells = std::vector<Items>(columns * rows);
};

TEST(CSpatialGridTest, GivesTheListsOfTheLiteralGrid)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int32_t> coordinate(-300000, 1500000);
    std::uniform_int_distribution<int32_t> size(0, 250000);
    for (int round = 0; round < 200; ++round) {
        CSpatialGrid grid;
        grid.Reset(1000000, 500000, CSpatialGrid::itemsVertices);
        LiteralGrid literal;
        // Few items leave most cells empty, many fill the grid: both ways of scanning run.
        for (uint32_t item = 0; item < uint32_t(round % 25); ++item) {
            const int32_t x = coordinate(random), y = coordinate(random) / 2;
            const int32_t x2 = x + size(random) - 125000, y2 = y + size(random) / 4;
            grid.AddRect(item, x, y, x2, y2);
            literal.AddRect(item, x, y, x2, y2);
        }
        for (int query = 0; query < 20; ++query) {
            const int32_t x = coordinate(random), y = coordinate(random) / 2;
            const int32_t x2 = x + size(random) * 4, y2 = y - size(random);
            const int32_t margin = size(random) / 8;
            ASSERT_EQ(grid.Query(x, y, x2, y2, margin), literal.Query(x, y, x2, y2, margin))
                << "round " << round << " query " << query;
        }
    }
}

// Boxes far larger than the board (a damaged pad size) would each fill every cell: the cells grow
// coarser instead, and every query still finds what meets it.
TEST(CSpatialGridTest, BoxesLargerThanTheBoardKeepTheGridBounded)
{
    CSpatialGrid grid;
    grid.Reset(100000000, 100000000, CSpatialGrid::itemsPins);
    ASSERT_GT(int64_t(grid.GetColumns()) * grid.GetRows(), 200000);
    constexpr uint32_t items = 400;
    for (uint32_t item = 0; item < items; ++item) {
        const int32_t x = int32_t(item) * 250000;
        if (item % 2 == 0)
            grid.AddRect(item, lo, lo, hi, hi);
        else
            grid.AddPoint(item, x, x);
    }
    EXPECT_LE(grid.GetInsertCount(),
              int64_t(items) * CSpatialGrid::insertsPerItem + CSpatialGrid::minInserts);
    for (uint32_t item = 1; item < items; item += 2) {
        const int32_t x = int32_t(item) * 250000;
        const Items& found = grid.Query(x, x, x, x);
        // The large boxes and the point's own.
        EXPECT_EQ(std::count_if(found.begin(), found.end(), [](uint32_t k) { return k % 2 == 0; }),
                  items / 2);
        EXPECT_NE(std::find(found.begin(), found.end(), item), found.end()) << item;
    }
}

} // namespace
