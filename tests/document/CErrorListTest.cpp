#include "document/CErrorList.h"

#include <gtest/gtest.h>

#include <string>

// A value wider than its column pushes the next column on, so that "110.480 mm." and
// "22.860 mm." never run together; short texts leave every column at its place.
TEST(CErrorListTest, WideValuesPushTheNextColumnsOn)
{
    const auto width = [](const std::string& text) { return int32_t(text.size()) * 8; };
    const CErrorList::Columns row = {"1",          "Top", "GND", "Track",     "-1110.480 mm.",
                                     "22.860 mm.", "VCC", "Via", "1.000 mm.", "2.000 mm."};
    const auto starts = CErrorList::ColumnStarts({row}, width, 6);
    for (size_t c = 1; c < starts.size(); ++c) {
        EXPECT_GE(starts[c], starts[c - 1] + width(row[c - 1]) + 6) << c;
        EXPECT_GE(starts[c], CErrorList::ColumnX()[c]) << c;
    }
    EXPECT_GT(starts[5], CErrorList::ColumnX()[5]);

    const auto narrow = [](const std::string&) { return 10; };
    EXPECT_EQ(CErrorList::ColumnStarts({row, row}, narrow, 6), CErrorList::ColumnX());
}
