#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Lengths in board units as the user reads and types them, in one of the display units. Texts
// are single-byte and locale-free.
class CLengthText {
public:
    // Display units.
    static constexpr int32_t unitInch = 0;
    static constexpr int32_t unitMillimetre = 1;
    static constexpr int32_t unitMil = 2;

    // A length in board units as text: "0.1000 inch", "0.100 mm.", "100 mil"; empty for an
    // unknown unit.
    static std::string FormatLength(int32_t unit, int32_t length);
    // The same with one more decimal: "0.10000 inch", "0.1000 mm.", "100 mil".
    static std::string FormatLengthFine(int32_t unit, int32_t length);
    // The leading number of a text as a length in board units (a whole number for mil),
    // truncated toward zero. No number, "nan", "inf", a hexadecimal form or an unknown unit
    // give 0; lengths beyond the board unit's range are clamped to it.
    static int32_t ParseLength(int32_t unit, std::string_view text);
    // The same without the clamp to the board unit's range, so that a length typed beyond it can
    // be told from the largest one; magnitudes beyond 2^62 are clamped to it.
    static int64_t ParseLengthWide(int32_t unit, std::string_view text);
    // Whether a field that showed `shown` was left as it showed it: rounded to the unit, the
    // text need not read back as `shown`, and taken as read it would change what was left.
    static bool ReadsAs(int32_t unit, std::string_view text, int32_t shown);
    // The same for a length the field has read already: `shown` when it was left so, else
    // `typed`.
    static int32_t Kept(int32_t unit, int32_t typed, int32_t shown);
};
