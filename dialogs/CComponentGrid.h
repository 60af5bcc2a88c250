#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QStringView>

#include "dialogs/CTableGrid.h"

class CDesign;

// The component table's grid: one row per component of the design as it was when the table
// opened, read-only, sorted by a click on a heading (references in natural order: R2 before
// R10).
class CComponentGrid : public CTableGrid {
    Q_OBJECT

public:
    enum Column : int {
        colNr = 0,
        colReference,
        colType,
        colShape,
        colX,
        colY,
        colRotate,
        colMirror,
        colTemplate,
        colPlaced,
        colSchematic
    };

    CComponentGrid(const CDesign& design, CViewCommandHost& view, QWidget* parent = nullptr);

    // The texts of the row of component `index`; positions relative to the user offset.
    static std::vector<std::string> RowTexts(const CDesign& design, int32_t index);
    // Natural order of two references: the text before the first digit, then the number that
    // follows; names with different leading texts compare whole. <0, 0 or >0.
    static int CompareReferences(QStringView first, QStringView second);

    void OnGridSetup() override;
    int OnCellTypeEvent(int /*typeIndex*/, int /*col*/, int /*row*/, int /*message*/, int /*value*/,
                        const QString& /*text*/) override
    {
        return 0;
    }
    int OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags) override;

private:
    const CDesign& m_design;
};
