#pragma once

#include <cstdint>

#include "framework/ColorRef.h"

// How the insides of polygons, rectangles and ellipses are filled. A plain value: selecting it
// into a device context copies it.
struct CBrush {
    enum class Style : int32_t { Solid = 0, Null = 1, Hatched = 2 };
    // Hatch lines repeat every 8 pixels, aligned to the device's origin so that neighbouring
    // areas join seamlessly. Forward diagonal runs down to the right, backward diagonal up.
    enum class Hatch : int32_t {
        Horizontal = 0,
        Vertical = 1,
        ForwardDiagonal = 2,
        BackwardDiagonal = 3,
        Cross = 4,
        DiagonalCross = 5
    };

    Style style = Style::Solid;
    Hatch hatch = Hatch::Horizontal; // only for Style::Hatched
    COLORREF color = 0x00FFFFFF;

    // A white solid brush, the brush a fresh device context starts with.
    constexpr CBrush() = default;
    constexpr explicit CBrush(COLORREF solidColor) : color(solidColor) {}
    constexpr CBrush(Hatch hatchStyle, COLORREF hatchColor)
        : style(Style::Hatched), hatch(hatchStyle), color(hatchColor)
    {
    }

    constexpr bool operator==(const CBrush&) const = default;

    static constexpr CBrush Null()
    {
        CBrush brush;
        brush.style = Style::Null;
        brush.color = 0;
        return brush;
    }
};
