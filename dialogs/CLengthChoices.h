#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The metric lengths the padstack editor offers in its drop-down lists, in board units: each
// value comes from its whole number of hundredths of a millimetre and is rounded, so that
// 1.27 mm is exactly 12800 units (a sum of steps would drift and truncate to 12799).
class CLengthChoices {
public:
    // Hole diameters 0.20 mm to 10.00 mm in steps of 0.05 mm: 197 values.
    static std::vector<int32_t> Holes();
    // Pad offsets -12.70 mm to 12.70 mm in steps of 0.01 mm: 2541 values.
    static std::vector<int32_t> Offsets();
    // Pad sizes 0.11 mm to 12.70 mm in steps of 0.01 mm: 1260 values.
    static std::vector<int32_t> Sizes();

    // One entry of a list: the value and its text in the display unit.
    struct Entry {
        int32_t value;
        std::string text;
    };
    // The values, and `extra` added where its text is not there yet (a padstack's own sizes
    // off the list).
    static std::vector<Entry> Entries(int32_t unit, const std::vector<int32_t>& values,
                                      const std::vector<int32_t>& extra);

    // A length the user typed in the display unit: a number with a decimal point or comma,
    // optionally followed by the unit as the program writes it ("2", "1,5", "2.000 mm." in
    // millimetres); none when the text is anything else. Lengths beyond the board unit's
    // range are not clamped to it (magnitudes beyond 2^62 are), so that the caller can tell
    // them from the largest one.
    static std::optional<int64_t> ParseTyped(int32_t unit, std::string_view text);

private:
    static std::vector<int32_t> Range(int32_t firstHundredths, int32_t lastHundredths,
                                      int32_t stepHundredths);
};
