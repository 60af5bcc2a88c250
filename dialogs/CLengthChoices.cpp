#include "dialogs/CLengthChoices.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CLengthText.h"
#include "model/Geometry.h"

std::vector<int32_t> CLengthChoices::Range(int32_t firstHundredths, int32_t lastHundredths,
                                           int32_t stepHundredths)
{
    std::vector<int32_t> values;
    for (int32_t h = firstHundredths; h <= lastHundredths; h += stepHundredths)
        values.push_back(RoundToInt(h * UNITS_PER_MM / 100.0));
    return values;
}

std::vector<int32_t> CLengthChoices::Holes()
{
    return Range(20, 1000, 5);
}

std::vector<int32_t> CLengthChoices::Offsets()
{
    return Range(-1270, 1270, 1);
}

std::vector<int32_t> CLengthChoices::Sizes()
{
    return Range(11, 1270, 1);
}

std::vector<CLengthChoices::Entry> CLengthChoices::Entries(int32_t unit,
                                                           const std::vector<int32_t>& values,
                                                           const std::vector<int32_t>& extra)
{
    std::vector<Entry> entries;
    entries.reserve(values.size() + extra.size());
    for (const int32_t value : values)
        entries.push_back({value, CLengthText::FormatLength(unit, value)});
    for (const int32_t value : extra) {
        std::string text = CLengthText::FormatLength(unit, value);
        if (std::none_of(entries.begin(), entries.end(),
                         [&text](const Entry& entry) { return entry.text == text; }))
            entries.push_back({value, std::move(text)});
    }
    return entries;
}

std::optional<int64_t> CLengthChoices::ParseTyped(int32_t unit, std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    size_t at = 0;
    while (at < text.size() && blank(text[at]))
        ++at;
    std::string number;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        number += text[at++];
    bool digits = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        if (digit(text[at])) {
            digits = true;
            number += text[at];
        } else if ((text[at] == '.' || text[at] == ',') && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    while (at < text.size() && blank(text[at]))
        ++at;
    // What follows the number may only be the unit's own name.
    std::string rest(text.substr(at));
    while (!rest.empty() && blank(rest.back()))
        rest.pop_back();
    std::string unitName = CLengthText::FormatLength(unit, 0);
    unitName.erase(0, unitName.find(' ') + 1);
    const auto lower = [](std::string s) {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    rest = lower(rest);
    unitName = lower(unitName);
    if (unitName.ends_with('.') && rest == unitName.substr(0, unitName.size() - 1))
        rest = unitName;
    if (!rest.empty() && rest != unitName)
        return std::nullopt;
    // Mils too may come with a fraction.
    if (unit == CLengthText::unitMil) {
        constexpr double widest = 4611686018427387904.0;
        const double units = CNumberText::ParseDouble(number) * double(UNITS_PER_MIL);
        return int64_t(std::clamp(std::trunc(units), -widest, widest));
    }
    return CLengthText::ParseLengthWide(unit, number);
}
