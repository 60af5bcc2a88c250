#pragma once

#include <cstdint>

// An extent in device units, width then height.
struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int32_t width, int32_t height) : cx(width), cy(height) {}

    constexpr bool operator==(const CSize&) const = default;
};
