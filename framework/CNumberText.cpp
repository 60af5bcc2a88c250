#include "framework/CNumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <system_error>

namespace {

constexpr int maxPrecision = 100;
constexpr int maxWidth = 1000;
// Exponents are saturated here while reading: far beyond any double, far inside int64.
constexpr int64_t exponentLimit = 1000000;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string PadLeft(std::string_view text, int width)
{
    size_t wanted = static_cast<size_t>(std::clamp(width, 0, maxWidth));
    std::string result;
    if (text.size() < wanted)
        result.assign(wanted - text.size(), ' ');
    result += text;
    return result;
}

size_t SkipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

// Decimal power of the first nonzero digit of a mantissa: 0 for "5", 2 for "123", -1 for ".5",
// -3 for ".00123". The mantissa must hold a nonzero digit.
int64_t LeadingDigitPower(std::string_view intDigits, std::string_view fracDigits)
{
    size_t first = intDigits.find_first_not_of('0');
    if (first != std::string_view::npos)
        return static_cast<int64_t>(intDigits.size() - 1 - first);
    first = fracDigits.find_first_not_of('0');
    return -static_cast<int64_t>(first) - 1;
}

bool HasNonzeroDigit(std::string_view digits)
{
    return digits.find_first_not_of('0') != std::string_view::npos;
}

} // namespace

std::string CNumberText::FormatFixed(double value, int precision, int width)
{
    precision = std::clamp(precision, 0, maxPrecision);
    // Room for a sign, the 309 integer digits of the largest double, the point and decimals.
    std::array<char, 1 + 309 + 1 + maxPrecision> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, precision);
    if (error != std::errc())
        return PadLeft("", width);
    return PadLeft(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.data())),
                   width);
}

std::string CNumberText::FormatInt(int64_t value, int width)
{
    std::array<char, 24> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (error != std::errc())
        return PadLeft("", width);
    return PadLeft(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.data())),
                   width);
}

bool CNumberText::ParseLeadingDouble(std::string_view text, double& value)
{
    value = 0.0;
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    std::string_view intDigits = text.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < text.size() && text[i] == '.') {
        size_t fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fracDigits = text.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return false;

    // An exponent counts only when at least one digit follows the 'e' and its sign.
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), exponentLimit);
            if (negativeExponent)
                exponent = -exponent;
        }
    }

    double magnitude = 0.0;
    if (HasNonzeroDigit(intDigits) || HasNonzeroDigit(fracDigits)) {
        // Rebuilt in the one form std::from_chars reads the same on every library.
        std::string normalized(intDigits.empty() ? std::string_view("0") : intDigits);
        if (!fracDigits.empty()) {
            normalized += '.';
            normalized += fracDigits;
        }
        normalized += 'e';
        normalized += std::to_string(exponent);
        auto [end, error] =
            std::from_chars(normalized.data(), normalized.data() + normalized.size(), magnitude,
                            std::chars_format::general);
        if (error == std::errc::result_out_of_range) {
            bool overflow = LeadingDigitPower(intDigits, fracDigits) + exponent > 0;
            magnitude = overflow ? std::numeric_limits<double>::max() : 0.0;
        } else if (error != std::errc() || end != normalized.data() + normalized.size()) {
            magnitude = 0.0;
        }
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

double CNumberText::ParseDouble(std::string_view text)
{
    double value;
    ParseLeadingDouble(text, value);
    return value;
}

int32_t CNumberText::ParseInt(std::string_view text)
{
    constexpr int64_t beyondRange = int64_t{std::numeric_limits<int32_t>::max()} + 2;
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), beyondRange);
    int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(
        signedValue, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
