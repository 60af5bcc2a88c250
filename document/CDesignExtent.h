#pragma once

#include "framework/CRect.h"

class CDesign;

// The box that holds the whole design: the board and every item on it or beside it (drawn
// lines, components, tracks, pads and vias, texts, planes). A netlist import leaves its
// components above the board; the view must reach them as it reaches the board.
class CDesignExtent {
public:
    // Never smaller than the board rectangle (0, 0)-(width, height).
    static CRect Of(const CDesign& design);
};
