#include "model/CAngleText.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/CScopedLocale.h"

TEST(CAngleTextTest, ShownAnglesReadBackUnchanged)
{
    const CScopedLocale german("de_DE.UTF-8");
    // Every thousandth of a degree of the first turns, and some beyond, survive a round trip.
    for (int32_t angle = -3000; angle <= 370000; angle += 7)
        ASSERT_EQ(CAngleText::Parse(CAngleText::Format(angle)), angle) << angle;
    EXPECT_EQ(CAngleText::Format(45000), "45.000");
    EXPECT_EQ(CAngleText::Format(-500), "-0.500");
}

TEST(CAngleTextTest, TypedDegreesRoundToTheNearestThousandth)
{
    EXPECT_EQ(CAngleText::Parse("45.0009"), 45001);
    EXPECT_EQ(CAngleText::Parse("45.0004"), 45000);
    EXPECT_EQ(CAngleText::Parse("-1.0005"), -1001);
    EXPECT_EQ(CAngleText::Parse("1.001"), 1001);
    EXPECT_EQ(CAngleText::Parse("abc"), 0);
    EXPECT_EQ(CAngleText::Parse("1e30"), INT32_MAX);
}
