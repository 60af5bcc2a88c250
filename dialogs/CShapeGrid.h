#pragma once

#include "dialogs/CTableGrid.h"

class CDesign;
class CShapeLib;

// The shape table's grid: for each shape of one shape library its pins, then its outline
// points, read-only and in library order.
class CShapeGrid : public CTableGrid {
    Q_OBJECT

public:
    // The library is read while the grid is set up, and not kept.
    CShapeGrid(const CDesign& design, CViewCommandHost& view, const CShapeLib& library,
               QWidget* parent = nullptr);

    void OnGridSetup() override;
    int OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags) override;

private:
    const CDesign& m_design;
    const CShapeLib* m_library;
};
