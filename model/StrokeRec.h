#pragma once

#include <cstdint>

// One point of a stroke font character, in font units times 3.
struct StrokeRec {
    // Draw a line from the previous point to this one; without it the pen moves there.
    static constexpr uint8_t penDown = 0x01;
    // Alternates from one character to the next, which is how the characters are told apart.
    static constexpr uint8_t characterToggle = 0x80;

    int16_t x = 0;
    int16_t y = 0;
    uint8_t flag = 0;

    bool IsPenDown() const { return (flag & penDown) != 0; }
    bool operator==(const StrokeRec&) const = default;
};
