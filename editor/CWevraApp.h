#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The application object. The services here hold no state and need no window system: lengths
// as text in the user's display unit and back, string-table texts of the current language
// pack, and the names of the output devices. Texts are single-byte.
class CWevraApp {
public:
    // Display units.
    static constexpr int32_t unitInch = 0;
    static constexpr int32_t unitMillimetre = 1;
    static constexpr int32_t unitMil = 2;

    // Output devices of output jobs are numbered 0 .. outputFormatCount - 1.
    static constexpr int32_t outputFormatCount = 8;

    // A length in board units as text: "0.1000 inch", "0.100 mm.", "100 mil"; empty for an
    // unknown unit.
    static std::string FormatLength(int32_t unit, int32_t length);
    // The same with one more decimal: "0.10000 inch", "0.1000 mm.", "100 mil".
    static std::string FormatLengthFine(int32_t unit, int32_t length);
    // The leading number of a text as a length in board units (a whole number for mil),
    // truncated toward zero. No number, "nan", "inf", a hexadecimal form or an unknown unit
    // give 0; lengths beyond the board unit's range are clamped to it.
    static int32_t ParseLength(int32_t unit, std::string_view text);

    // The text of a string id in the current language pack; empty when it has none.
    static std::string LoadResString(uint32_t id);
    // That text up to its first newline: the prompt part of a command's text.
    static std::string LoadResStringPart(uint32_t id);
    // The pack's "YES" or "NO".
    static std::string LoadResStringBool(bool flag);

    // The name of an output device, compared and stored by output jobs; empty for an unknown
    // index.
    static std::string OutputFormatName(int32_t index);
};
