#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// A value's bytes in file order at `p`, moved whole and reversed only on a big-endian host.
template <typename T> void StoreLittleEndian(uint8_t* p, T value)
{
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    if constexpr (std::endian::native == std::endian::big)
        bits = ReverseBytes(bits);
    std::memcpy(p, &bits, sizeof bits);
}

template <typename T> T LoadLittleEndian(const uint8_t* p)
{
    std::make_unsigned_t<T> bits;
    std::memcpy(&bits, p, sizeof bits);
    if constexpr (std::endian::native == std::endian::big)
        bits = ReverseBytes(bits);
    return static_cast<T>(bits);
}
