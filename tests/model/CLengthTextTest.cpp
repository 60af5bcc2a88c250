#include "model/CLengthText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

#include "tests/support/CScopedLocale.h"

namespace {

constexpr int32_t maxUnits = std::numeric_limits<int32_t>::max();
constexpr int32_t minUnits = std::numeric_limits<int32_t>::min();

struct FormatCase {
    int32_t unit;
    int32_t length;
    const char* text;
    const char* fineText;
};

const FormatCase formatCases[] = {
    {0, 25600, "0.1000 inch", "0.10000 inch"},
    {0, 0, "0.0000 inch", "0.00000 inch"},
    {0, -1, "-0.0000 inch", "-0.00000 inch"},
    {0, 64, "0.0003 inch", "0.00025 inch"},
    {0, maxUnits, "8388.6080 inch", "8388.60800 inch"},
    {0, minUnits, "-8388.6080 inch", "-8388.60800 inch"},
    {1, 1008, "0.100 mm.", "0.1000 mm."},
    {1, -1008, "-0.100 mm.", "-0.1000 mm."},
    {1, 2015, "0.200 mm.", "0.1999 mm."},
    {1, 10078, "1.000 mm.", "0.9999 mm."},
    {1, 640, "0.064 mm.", "0.0635 mm."},
    {1, maxUnits, "213070.643 mm.", "213070.6431 mm."},
    {1, minUnits, "-213070.643 mm.", "-213070.6432 mm."},
    {2, 25600, "100 mil", "100 mil"},
    {2, 255, "0 mil", "0 mil"},
    {2, -300, "-1 mil", "-1 mil"},
    {2, minUnits, "-8388608 mil", "-8388608 mil"},
    {3, 25600, "", ""},
    {-1, 25600, "", ""},
};

struct ParseCase {
    int32_t unit;
    const char* text;
    int32_t length;
};

const ParseCase parseCases[] = {
    {1, "1", 10078},
    {0, "0.1", 25600},
    {2, "12.7", 3072},
    {0, "", 0},
    {0, "abc", 0},
    {3, "1", 0},
    {-1, "1", 0},
    {0, " 0.1 inch", 25600},
    {1, "0.100 mm.", 1007},
    {1, "-2.5", -25196},
    {0, "2,5", 512000},
    {2, "100 mil", 25600},
    {2, "-1", -256},
    // Out of range clamps; forms that are not decimal numbers read as no number.
    {0, "1e999", maxUnits},
    {1, "-1e999", minUnits},
    {0, "-1e20", minUnits},
    {1, "9999999", maxUnits},
    {2, "99999999999", maxUnits},
    {2, "-99999999999", minUnits},
    {0, "nan", 0},
    {1, "-inf", 0},
    {0, "0x10", 0},
    {1, "0x1p3", 0},
    {2, "0x10", 0},
};

void ExpectLengthTexts()
{
    for (const FormatCase& c : formatCases) {
        EXPECT_EQ(CLengthText::FormatLength(c.unit, c.length), c.text)
            << "unit " << c.unit << " length " << c.length;
        EXPECT_EQ(CLengthText::FormatLengthFine(c.unit, c.length), c.fineText)
            << "unit " << c.unit << " length " << c.length;
    }
    for (const ParseCase& c : parseCases)
        EXPECT_EQ(CLengthText::ParseLength(c.unit, c.text), c.length)
            << "unit " << c.unit << " text " << c.text;
}

TEST(CLengthTextTest, TextsInEveryUnit)
{
    ExpectLengthTexts();
}

// The desktop's locale must not turn decimal points into commas, in either direction.
TEST(CLengthTextTest, TextsUnderGermanLocale)
{
    CScopedLocale german("de_DE.UTF-8");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5") << "the German locale is not in effect";
    ExpectLengthTexts();
}

} // namespace
