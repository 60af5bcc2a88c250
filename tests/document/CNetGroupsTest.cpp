#include "document/CNetGroups.h"

#include <gtest/gtest.h>

namespace {

TEST(CNetGroupsTest, NamesAndSpacingsInTenthsOfAMillimetre)
{
    CNetGroups groups;
    groups.Reset("C:\\TEMPLATE.PCB");
    EXPECT_EQ(groups.GetName(0), "G0");
    EXPECT_EQ(groups.GetSpacing(0), 0);
    EXPECT_EQ(groups.GetName(1), "G1");
    EXPECT_EQ(groups.GetSpacing(1), 1007);
    EXPECT_EQ(groups.GetName(10), "G10");
    EXPECT_EQ(groups.GetSpacing(10), 10078);
    EXPECT_EQ(groups.GetName(255), "G255");
    EXPECT_EQ(groups.GetSpacing(255), 257007);
}

TEST(CNetGroupsTest, GroupsOutsideTheListHaveNoNameAndNoSpacing)
{
    CNetGroups groups;
    // Before the first reset the list is empty, not 256 groups of unread memory.
    EXPECT_EQ(groups.GetName(0), "");
    EXPECT_EQ(groups.GetSpacing(0), 0);
    groups.Reset("");
    for (int32_t group : {-1, 256, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(groups.GetName(group), "") << group;
        EXPECT_EQ(groups.GetSpacing(group), 0) << group;
    }
}

} // namespace
