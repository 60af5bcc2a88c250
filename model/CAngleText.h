#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Angles in 1/1000 degree as the user reads and types them: degrees with three decimals.
// Texts are locale-free.
class CAngleText {
public:
    // "%6.3f" of the angle in degrees: " 45.000", "-90.500".
    static std::string Format(int32_t angle);
    // The leading number of a text in degrees, to the nearest 1/1000 degree (halves away from
    // zero), so that a text shown by Format reads back as the angle it came from; 0 for a text
    // without a number. Not brought into one turn.
    static int32_t Parse(std::string_view text);
};
