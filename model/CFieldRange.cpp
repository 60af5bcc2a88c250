#include "model/CFieldRange.h"

#include <algorithm>
#include <cmath>

#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CAngleText.h"
#include "model/CLengthText.h"
#include "resources/StringIds.h"

namespace {

// The ends of every range lie within the int range that length texts are made from.
int32_t End(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The end of a range as a length text that reads back within the range: a text rounded past the
// end would name a length the range refuses. `inward` is +1 at the low end, -1 at the high end.
std::string LengthEnd(int32_t unit, int64_t end, int32_t inward)
{
    std::string text;
    // A mil is 256 units, the coarsest step a length text shows.
    for (int64_t value = end, steps = 0; steps <= 512; value += inward, ++steps) {
        text = CLengthText::FormatLengthFine(unit, End(value));
        const int64_t read = CLengthText::ParseLengthWide(unit, text);
        if (inward > 0 ? read >= end : read <= end)
            break;
    }
    return text;
}

std::string Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::optional<int32_t> CFieldRange::TakeLength(int32_t unit, std::string_view text,
                                               const std::string& field) const
{
    return Take(CLengthText::ParseLengthWide(unit, text), field, Trimmed(text),
                LengthEnd(unit, m_low, 1), LengthEnd(unit, m_high, -1));
}

std::optional<int32_t> CFieldRange::TakeLength(int32_t unit, int64_t length,
                                               const std::string& field) const
{
    return Take(length, field, CLengthText::FormatLengthFine(unit, End(length)),
                LengthEnd(unit, m_low, 1), LengthEnd(unit, m_high, -1));
}

std::optional<int32_t> CFieldRange::TakeLength(int32_t unit, int64_t length, std::string_view typed,
                                               const std::string& field) const
{
    return Take(length, field, Trimmed(typed), LengthEnd(unit, m_low, 1),
                LengthEnd(unit, m_high, -1));
}

std::optional<int32_t> CFieldRange::TakeAngle(std::string_view text, const std::string& field) const
{
    // Rounded to the nearest 1/1000 degree as a typed angle reads back; beyond what a double
    // of 2^62 holds is beyond every range.
    const double thousandths = CNumberText::ParseDouble(text) * 1000.0;
    constexpr double widest = 4611686018427387904.0;
    const double rounded = std::round(std::clamp(thousandths, -widest, widest));
    const int64_t angle = std::isnan(rounded) ? 0 : int64_t(rounded);
    return Take(angle, field, Trimmed(text) + " degrees", Trimmed(CAngleText::Format(End(m_low))),
                Trimmed(CAngleText::Format(End(m_high))));
}

std::optional<int32_t> CFieldRange::TakeCount(std::string_view text, const std::string& field) const
{
    return TakeCount(CNumberText::ParseInt(text), text, field);
}

std::optional<int32_t> CFieldRange::TakeCount(int64_t count, std::string_view typed,
                                              const std::string& field) const
{
    return Take(count, field, Trimmed(typed), std::to_string(m_low), std::to_string(m_high));
}

std::optional<int32_t> CFieldRange::Take(int64_t value, const std::string& field,
                                         const std::string& typed, const std::string& low,
                                         const std::string& high) const
{
    if (Holds(value))
        return int32_t(value);
    Refuse(field, typed, "outside " + low + " to " + high);
    return std::nullopt;
}

void CFieldRange::Refuse(const std::string& field, std::string_view typed, const std::string& why)
{
    CServices::Messages().MessageBox(
        CResString::LoadWith(IDS_VALUE_NOT_TAKEN, field + " " + Trimmed(typed) + ", " + why), "",
        MB_OK, MB_ICONEXCLAMATION);
}
