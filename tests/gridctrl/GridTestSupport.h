#pragma once

#include <memory>

#include <QString>

#include "framework/CRect.h"
#include "gridctrl/CGridCtrl.h"
#include "tests/framework/qt/QtApplicationTest.h"

// A grid of `cols` x `rows` in a window of its own, 400 x 300 pixels, shown offscreen.
inline std::unique_ptr<CGridCtrl> MakeGrid(int cols, int rows, CGridCtrl* grid = nullptr)
{
    std::unique_ptr<CGridCtrl> owned(grid != nullptr ? grid : new CGridCtrl());
    owned->Create(nullptr, CRect(0, 0, 400, 300));
    owned->SetNumberCols(cols);
    owned->SetNumberRows(rows);
    return owned;
}

// Fills every cell with "c<col>r<row>".
inline void FillNames(CGridCtrl& grid)
{
    for (int row = 0; row < grid.GetNumberRows(); ++row) {
        for (int col = 0; col < grid.GetNumberCols(); ++col)
            grid.SetCellText(col, row, QStringLiteral("c%1r%2").arg(col).arg(row));
    }
}
