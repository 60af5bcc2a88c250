#pragma once

#include <cstdint>

#include "framework/ColorRef.h"

// How lines and outlines are drawn. A plain value: selecting it into a device context copies it.
struct CPen {
    enum class Style : int32_t { Solid = 0, Dash = 1, Dot = 2, Null = 5 };

    Style style = Style::Solid;
    // Device pixels; 0 and 1 both draw one pixel wide. Dashes and dots exist only one pixel
    // wide: a wider dashed or dotted pen draws solid.
    int32_t width = 0;
    COLORREF color = 0;

    // A one-pixel black pen, the pen a fresh device context starts with.
    constexpr CPen() = default;
    constexpr CPen(Style penStyle, int32_t penWidth, COLORREF penColor)
        : style(penStyle), width(penWidth), color(penColor)
    {
    }

    constexpr bool operator==(const CPen&) const = default;

    static constexpr CPen Null() { return CPen(Style::Null, 0, 0); }
};
