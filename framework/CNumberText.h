#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Numbers as text, independent of the process locale: the program shows and writes numbers
// with a decimal point whatever language the desktop runs in, and reads them back the same way.
// Formatting gives the same bytes as printf in the "C" locale; parsing reads the leading number
// of a text as strtod and atoi do there, without their undefined or locale-bound corners.
class CNumberText {
public:
    // printf "%W.Pf": `precision` decimals (rounded as printf rounds the exact binary value),
    // right-aligned in at least `width` characters. A negative value that rounds to zero keeps
    // its sign ("-0.000"). Precision is limited to 0..100 and width to 0..1000.
    static std::string FormatFixed(double value, int precision, int width = 0);

    // printf "%Wd": right-aligned in at least `width` characters (0..1000).
    static std::string FormatInt(int64_t value, int width = 0);

    // Reads the leading decimal number of a text: blanks, an optional sign, digits with an
    // optional decimal point (at least one digit), an optional exponent; reading stops at the
    // first character that cannot continue the number. Only this decimal form counts: "nan",
    // "inf" and hexadecimal forms are no number ("0x10" reads as its leading "0"). Returns
    // false, with `value` 0, when the text has no number. Magnitudes beyond the double range
    // give the largest finite double of that sign, so the result is always finite; magnitudes
    // too small for a double give zero.
    static bool ParseLeadingDouble(std::string_view text, double& value);

    // The leading decimal number of a text, 0 when it has none.
    static double ParseDouble(std::string_view text);

    // Reads the leading whole number of a text as atoi does: blanks, an optional sign, digits.
    // Returns 0 when there is none; values beyond the int32 range are clamped to it.
    static int32_t ParseInt(std::string_view text);
};
