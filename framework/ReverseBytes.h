#pragma once

#include <cstddef>
#include <type_traits>

// The value with its bytes in the opposite order; what a big-endian host needs to read and
// write the little-endian files.
template <typename T> constexpr T ReverseBytes(T value)
{
    static_assert(std::is_unsigned_v<T>);
    T reversed = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        reversed = T((reversed << 8) | (value & 0xFF));
        value = T(value >> 8);
    }
    return reversed;
}
