#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Conversions of doubles to board integers. Values outside the int32 range saturate and NaN
// gives 0, so no conversion of an extreme or corrupt value is undefined.

// Truncates toward zero.
inline int32_t TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// Rounds halves away from zero: 2.5 gives 3, -2.5 gives -3.
inline int32_t RoundToInt(double value)
{
    return TruncToInt(value >= 0.0 ? value + 0.5 : value - 0.5);
}

// Brings a 64-bit intermediate (sums and products of coordinates) back into the int32 range.
inline int32_t SaturateToInt(int64_t value)
{
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
