#include "framework/CWindows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(CWindows1252Test, ConvertsTheUpperHalfByItsOwnTable)
{
    EXPECT_EQ(CWindows1252::ToUtf8("Pad \x80 \x96 \x9F"), "Pad \u20AC \u2013 \u0178");
    EXPECT_EQ(CWindows1252::ToUtf8("Gr\xF6\xDF"
                                   "e \xB5m"),
              "Gr\u00F6\u00DFe \u00B5m");
    EXPECT_EQ(CWindows1252::FromUtf8("\u20AC 5 \u00B0C \u2122"), "\x80 5 \xB0"
                                                                 "C \x99");
}

TEST(CWindows1252Test, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += char(c);
    EXPECT_EQ(CWindows1252::FromUtf8(CWindows1252::ToUtf8(all)), all);
}

TEST(CWindows1252Test, UnrepresentableAndMalformedTextBecomesQuestionMarks)
{
    EXPECT_EQ(CWindows1252::FromUtf8("\u4E2D\u6587 \U0001F600"), "?? ?");
    // A lone lead byte, a stray continuation byte, an overlong '/', a truncated sequence.
    EXPECT_EQ(CWindows1252::FromUtf8("a\xC3"
                                     "b\x80"
                                     "c\xC0\xAF"
                                     "d\xE2\x82"),
              "a?b?c??d??");
}

} // namespace
