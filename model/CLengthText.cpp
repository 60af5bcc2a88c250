#include "model/CLengthText.h"

#include <algorithm>
#include <cmath>

#include "framework/CNumberText.h"
#include "framework/Numeric.h"

namespace {

constexpr double inchPerUnit = 3.90625e-06;        // 1 / 256000
constexpr double millimetrePerUnit = 9.921875e-05; // 25.4 / 256000
constexpr double milPerUnit = 0.00390625;          // 1 / 256
constexpr double unitsPerInch = 256000.0;
constexpr double unitsPerMillimetre = 10078.740157480315;
constexpr double unitsPerMil = 256.0;

std::string FormatInUnit(int32_t unit, int32_t length, int extraDecimals)
{
    switch (unit) {
    case CLengthText::unitInch:
        return CNumberText::FormatFixed(length * inchPerUnit, 4 + extraDecimals, 2) + " inch";
    case CLengthText::unitMillimetre:
        return CNumberText::FormatFixed(length * millimetrePerUnit, 3 + extraDecimals, 2) + " mm.";
    case CLengthText::unitMil:
        return CNumberText::FormatInt(TruncToInt(length * milPerUnit)) + " mil";
    default:
        return std::string();
    }
}

} // namespace

std::string CLengthText::FormatLength(int32_t unit, int32_t length)
{
    return FormatInUnit(unit, length, 0);
}

std::string CLengthText::FormatLengthFine(int32_t unit, int32_t length)
{
    return FormatInUnit(unit, length, 1);
}

int32_t CLengthText::ParseLength(int32_t unit, std::string_view text)
{
    return SaturateToInt(ParseLengthWide(unit, text));
}

bool CLengthText::ReadsAs(int32_t unit, std::string_view text, int32_t shown)
{
    return ParseLengthWide(unit, text) == ParseLengthWide(unit, FormatLength(unit, shown));
}

int32_t CLengthText::Kept(int32_t unit, int32_t typed, int32_t shown)
{
    return typed == ParseLength(unit, FormatLength(unit, shown)) ? shown : typed;
}

int64_t CLengthText::ParseLengthWide(int32_t unit, std::string_view text)
{
    double length = 0.0;
    switch (unit) {
    case unitInch:
        length = CNumberText::ParseDouble(text) * unitsPerInch;
        break;
    case unitMillimetre:
        length = CNumberText::ParseDouble(text) * unitsPerMillimetre;
        break;
    case unitMil:
        length = double(CNumberText::ParseInt(text)) * unitsPerMil;
        break;
    default:
        break;
    }
    constexpr double widest = 4611686018427387904.0; // 2^62
    if (std::isnan(length))
        return 0;
    return int64_t(std::trunc(std::clamp(length, -widest, widest)));
}
