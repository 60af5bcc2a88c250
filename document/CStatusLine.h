#pragma once

#include <array>
#include <cstdint>
#include <string>

class CDesign;
class CEditSession;
class CViewState;

// The texts of the status bar's panes that the board view writes: the info text (and the first
// plane whose fill is older than the copper), the cursor
// from the grid origin, the ruler lock, the distance from the ruler origin as x, y, length and
// direction, and the design time. Coordinates far apart are measured in 64 bits, so their
// differences never wrap.
class CStatusLine {
public:
    // Panes 0 to 7; the design time has pane 8 to itself.
    static constexpr int32_t cursorPaneCount = 8;
    static constexpr int32_t designTimePane = 8;

    static std::array<std::string, cursorPaneCount>
    Format(const CDesign& design, const CEditSession& session, const CViewState& view);
    // While a part hangs at the mouse: how to put it down and how to cancel; otherwise the
    // object under the cursor.
    static std::string InfoText(const CEditSession& session, const CViewState& view);
    // The direction of (xr, yr) in degrees, 0 up to below 360, counter-clockwise as seen on
    // the screen, where board y grows downwards: 90 points up.
    static double Direction(int64_t xr, int64_t yr);
    // "T:" hours ":" minutes, each at least two digits.
    static std::string FormatDesignTime(uint32_t milliseconds);
};
