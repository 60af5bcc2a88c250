#include "dialogs/CLengthChoices.h"

#include <algorithm>

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

std::optional<int32_t> CLengthChoices::ParseTyped(int32_t unit, std::string_view text)
{
    double number = 0;
    if (!CNumberText::ParseLeadingDouble(text, number))
        return std::nullopt;
    return CLengthText::ParseLength(unit, text);
}
