#include "framework/CNumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

// The C library in the "C" locale (the test process never changes it) is the oracle for the
// exact digits printf shows.
std::string Printf(double value, int precision, int width)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, precision, value);
    return buffer;
}

std::string PrintfInt(long long value, int width)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%*lld", width, value);
    return buffer;
}

TEST(CNumberTextFormat, FixedMatchesPrintfOnEdgeValues)
{
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             -0.5,
                             -2.5,
                             0.125,
                             0.375,
                             -0.125,
                             1.005,
                             2.675,
                             0.0635,
                             9.9995,
                             99.5,
                             999.9999999,
                             1e-7,
                             -1e-7,
                             -0.0004,
                             -0.00049999,
                             0.1,
                             0.100015,
                             123456789.987654321,
                             -987654321.123456789,
                             4503599627370495.5,
                             1e15,
                             1e22,
                             1e23,
                             DBL_MAX,
                             -DBL_MAX,
                             DBL_MIN,
                             5e-324,
                             -5e-324,
                             8388.60799609375,
                             -213070.6432,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN()};
    const int precisions[] = {0, 1, 2, 3, 4, 5, 6, 10, 20, 100};
    const int widths[] = {0, 2, 12};
    for (double value : values)
        for (int precision : precisions)
            for (int width : widths)
                EXPECT_EQ(CNumberText::FormatFixed(value, precision, width),
                          Printf(value, precision, width))
                    << "value " << value << " precision " << precision << " width " << width;
}

TEST(CNumberTextFormat, FixedMatchesPrintfOnRandomValues)
{
    std::mt19937_64 random(20240517);
    std::uniform_int_distribution<int64_t> thousandths(-100000000, 100000000);
    std::uniform_real_distribution<double> exponent(-12.0, 18.0);
    for (int i = 0; i < 20000; ++i) {
        // Decimal halves sit on the rounding edge; spread magnitudes cover long expansions.
        double half = (static_cast<double>(thousandths(random)) + 0.5) / 1000.0;
        double spread = std::pow(10.0, exponent(random)) * (i % 2 ? -1.0 : 1.0);
        for (int precision = 0; precision <= 8; ++precision) {
            ASSERT_EQ(CNumberText::FormatFixed(half, precision), Printf(half, precision, 0))
                << half;
            ASSERT_EQ(CNumberText::FormatFixed(spread, precision), Printf(spread, precision, 0))
                << spread;
        }
    }
}

TEST(CNumberTextFormat, IntMatchesPrintf)
{
    const long long values[] = {0,
                                7,
                                -7,
                                255,
                                -300,
                                2147483647,
                                -2147483647 - 1,
                                std::numeric_limits<long long>::max(),
                                std::numeric_limits<long long>::min()};
    for (long long value : values)
        for (int width : {0, 1, 4, 10, 25})
            EXPECT_EQ(CNumberText::FormatInt(value, width), PrintfInt(value, width));
}

TEST(CNumberTextFormat, OutOfRangeWidthAndPrecisionAreLimited)
{
    EXPECT_EQ(CNumberText::FormatFixed(1.25, -3), "1");
    EXPECT_EQ(CNumberText::FormatFixed(1.0, 500).size(), 102u);
    EXPECT_EQ(CNumberText::FormatInt(5, -4), "5");
    EXPECT_EQ(CNumberText::FormatInt(5, 1000000).size(), 1000u);
}

struct ParseCase {
    const char* text;
    bool found;
    double value;
};

TEST(CNumberTextParse, LeadingDecimalNumber)
{
    const ParseCase cases[] = {
        {"12.5abc", true, 12.5},
        {" \t\n\v\f\r+3", true, 3.0},
        {"-.5", true, -0.5},
        {"5.", true, 5.0},
        {"1e3", true, 1000.0},
        {"1E-2x", true, 0.01},
        {"1e", true, 1.0},
        {"1e+", true, 1.0},
        {"2.5e+2mm", true, 250.0},
        {"1,5", true, 1.0},
        {"0.1 inch", true, 0.1},
        {"000123", true, 123.0},
        {"", false, 0.0},
        {"   ", false, 0.0},
        {".", false, 0.0},
        {"-", false, 0.0},
        {"+.e5", false, 0.0},
        {"abc1", false, 0.0},
        {"- 1", false, 0.0},
        // Only the decimal form is a number.
        {"nan", false, 0.0},
        {"-NaN(123)", false, 0.0},
        {"inf", false, 0.0},
        {"-Infinity", false, 0.0},
        {"0x10", true, 0.0},
        {"0x1p3", true, 0.0},
        {"-0X1P3", true, 0.0},
        // Beyond the double range: finite, with the sign kept.
        {"1e999", true, DBL_MAX},
        {"-1e999", true, -DBL_MAX},
        {"1e99999999999999999999999", true, DBL_MAX},
        {"123456789e99999999999999999999999", true, DBL_MAX},
        {"0.000001e-999", true, 0.0},
        {"1e-99999999999999999999999", true, 0.0},
        {"0e99999999999999999999999", true, 0.0},
        {"0.0000000000000000000000000000001e330", true, 1e299},
    };
    for (const ParseCase& c : cases) {
        double value = -1.0;
        EXPECT_EQ(CNumberText::ParseLeadingDouble(c.text, value), c.found) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(CNumberText::ParseDouble(c.text), c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(CNumberText::ParseDouble("-0.0")));
    EXPECT_TRUE(std::signbit(CNumberText::ParseDouble("-1e-999")));
}

TEST(CNumberTextParse, DecimalTextsMatchStrtod)
{
    const char* texts[] = {"0.1",
                           "2.675",
                           "10078.740157480315",
                           "-1e-5",
                           "4.9406564584124654e-324",
                           "2.2250738585072011e-308",
                           "1.7976931348623157e308",
                           "123456789012345678901234567890.123456789",
                           "0.00000000000000000000000000000000000000000000000000012345e10",
                           "9007199254740993",
                           "3.14159265358979323846264338327950288"};
    for (const char* text : texts)
        EXPECT_EQ(CNumberText::ParseDouble(text), std::strtod(text, nullptr)) << text;

    std::mt19937_64 random(77);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 25);
    std::uniform_int_distribution<int> exponent(-320, 300);
    for (int i = 0; i < 5000; ++i) {
        std::string text = i % 2 ? "-" : "";
        for (int n = length(random); n > 0; --n)
            text += static_cast<char>('0' + digit(random));
        text += '.';
        for (int n = length(random); n > 0; --n)
            text += static_cast<char>('0' + digit(random));
        if (i % 3 == 0)
            text += "e" + std::to_string(exponent(random));
        // strtod overflows to infinity where the parser saturates at the largest double.
        double expected = std::strtod(text.c_str(), nullptr);
        if (std::isinf(expected))
            expected = std::copysign(DBL_MAX, expected);
        ASSERT_EQ(CNumberText::ParseDouble(text), expected) << text;
    }
}

TEST(CNumberTextParse, LeadingWholeNumberClamped)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"42", 42},
        {"  -17xyz", -17},
        {"+0", 0},
        {"12.7", 12},
        {"-0012abc", -12},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 2147483647},
        {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999999", 2147483647},
        {"-99999999999999999999999999", -2147483647 - 1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CNumberText::ParseInt(text), expected) << text;
}

} // namespace
