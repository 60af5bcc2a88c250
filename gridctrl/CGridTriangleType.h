#pragma once

#include "gridctrl/CGridCellType.h"

// The tables' sort mark: a heading text with a triangle at the right, tip up for parameter
// bit 16 (ascending), down otherwise.
class CGridTriangleType : public CGridCellType {
public:
    static constexpr int kPointUp = 16;

    CGridTriangleType();

    void OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                bool selected, bool current) override;

private:
    int m_buttonWidth = 16;
};
