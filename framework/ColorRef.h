#pragma once

#include <cstdint>

// A colour as the design files store it: 0x00BBGGRR, red in the lowest byte.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t red, uint8_t green, uint8_t blue)
{
    return COLORREF(red) | (COLORREF(green) << 8) | (COLORREF(blue) << 16);
}

constexpr uint8_t GetRValue(COLORREF color)
{
    return uint8_t(color & 0xFF);
}

constexpr uint8_t GetGValue(COLORREF color)
{
    return uint8_t((color >> 8) & 0xFF);
}

constexpr uint8_t GetBValue(COLORREF color)
{
    return uint8_t((color >> 16) & 0xFF);
}
