#pragma once

#include "gridctrl/CGridCellType.h"

// A small arrow glyph and no text (a row marker). The parameter picks the glyph: 16 (or none)
// one arrow right, 32 one left, 64 two right, 128 two left.
class CGridArrowType : public CGridCellType {
public:
    CGridArrowType();

    void OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                bool selected, bool current) override;
};
