#pragma once

#include <cstdint>

#include "framework/CPoint.h"
#include "framework/Numeric.h"

// Where the manufacturing files put a board point. The board's y grows downwards, a
// photoplotter's and a drill's upwards: the files show the board as the view does, seen from
// the top, with y mirrored about the board's lower edge so that the board keeps positive
// coordinates. The job's offset then moves the plot on the film. The Gerber writer, the drill
// program and their reports all take their points and their words for it from here, so that
// holes stay registered with the copper.
class COutputFrame {
public:
    // What the files and reports say of the y axis.
    static constexpr char axisText[] = "board height - board y, seen from the top";

    COutputFrame(int32_t boardHeight, CPoint offset) : m_boardHeight(boardHeight), m_offset(offset)
    {
    }

    // The file's point of board point (x, y), saturated to the 32-bit range.
    CPoint ToOutput(int32_t x, int32_t y) const;
    // The file's direction of a board distance, as an aperture's outline about its centre.
    // A y of INT32_MIN, which has no 32-bit negation, saturates.
    static CPoint ToOutputVector(CPoint v) { return CPoint(v.x, SaturateToInt(-int64_t(v.y))); }

private:
    int32_t m_boardHeight;
    CPoint m_offset;
};
