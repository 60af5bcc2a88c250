#pragma once

#include <cstdint>

// A board point or a point in device units, x then y.
struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}

    constexpr bool operator==(const CPoint&) const = default;
};

// A point with double coordinates.
struct CPointD {
    double x = 0.0;
    double y = 0.0;

    constexpr bool operator==(const CPointD&) const = default;
};
