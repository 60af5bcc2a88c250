#include "framework/CUnsetAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Segment {
    int32_t x = 7;
    int32_t y = -7;
    double length = 0.5;

    bool operator==(const Segment&) const = default;
};

using SegmentList = CUnsetVector<Segment>;

// Only the elements made without a value are left unset: every element given one, by copy,
// by fill, by its fields or by a move when the list grows, keeps it.
TEST(CUnsetAllocatorTest, ElementsMadeFromValuesKeepThem)
{
    const Segment first{1, 2, 3.0};
    SegmentList list(3, first);
    list.emplace_back(4, 5, 6.0);
    list.push_back(Segment{});
    const std::vector<Segment> more(40, Segment{-1, -2, -3.0});
    // Room first: growing inside a range insert trips a false overflow warning of GCC 12.
    list.reserve(list.size() + more.size());
    list.insert(list.begin() + 1, more.begin(), more.end());
    list.resize(list.size() + 10, Segment{9, 9, 9.0});

    ASSERT_EQ(list.size(), 55u);
    EXPECT_EQ(list[0], first);
    for (size_t k = 1; k <= 40; ++k)
        EXPECT_EQ(list[k], (Segment{-1, -2, -3.0})) << k;
    EXPECT_EQ(list[41], first);
    EXPECT_EQ(list[42], first);
    EXPECT_EQ(list[43], (Segment{4, 5, 6.0}));
    EXPECT_EQ(list[44], Segment{});
    for (size_t k = 45; k < 55; ++k)
        EXPECT_EQ(list[k], (Segment{9, 9, 9.0})) << k;

    const SegmentList copy = list;
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), list.begin(), list.end()));
}

// A list sized first and written afterwards holds what was written, through every growth.
TEST(CUnsetAllocatorTest, RoomWrittenAfterSizingHoldsTheWrites)
{
    SegmentList list;
    for (int32_t round = 0; round < 4; ++round) {
        const size_t before = list.size();
        list.resize(before + 1000);
        for (size_t k = before; k < list.size(); ++k)
            list[k] = Segment{int32_t(k), round, double(k) / 2};
    }
    ASSERT_EQ(list.size(), 4000u);
    for (size_t k = 0; k < list.size(); ++k)
        ASSERT_EQ(list[k], (Segment{int32_t(k), int32_t(k / 1000), double(k) / 2})) << k;
}

} // namespace
