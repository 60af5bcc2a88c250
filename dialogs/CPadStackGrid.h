#pragma once

#include <QString>

#include "dialogs/CTableGrid.h"

class CShapeLib;
class CWevraDoc;

// The padstack table's grid: for each padstack of one shape library a general row and one row
// per enabled board layer with that layer's pad, read-only; its popup menu closes the table.
class CPadStackGrid : public CTableGrid {
    Q_OBJECT

public:
    // The library is read while the grid is set up, and not kept.
    CPadStackGrid(CWevraDoc& document, CViewCommandHost& view, const CShapeLib& library,
                  QWidget* parent = nullptr);

    void OnGridSetup() override;
    int OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags) override;
    int OnPopupOpen(int col, int row, int section) override;
    void OnPopupCommand(int col, int row, int section, int id) override;
    int OnHintText(int col, int row, int section, QString& text) override;

private:
    CWevraDoc& m_document;
    const CShapeLib* m_library;
};
