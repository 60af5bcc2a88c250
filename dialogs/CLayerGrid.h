#pragma once

#include "dialogs/CTableGrid.h"

class CWevraDoc;

// The layer table's grid: one row per enabled layer with its colours as the backgrounds of
// three columns. A double click on a colour, or a key typed on it, offers the colour chooser;
// the colour chosen becomes the layer's and the board is redrawn.
class CLayerGrid : public CTableGrid {
    Q_OBJECT

public:
    CLayerGrid(CWevraDoc& document, CViewCommandHost& view, QWidget* parent = nullptr);

    void OnGridSetup() override;
    void OnCellDoubleClick(int col, int row, const CRect& rect, CPoint point,
                           int processed) override;
    void OnCharTyped(uint32_t& ch, int processed) override;

    // The colour edit of cell (col, row); nothing outside the colour columns.
    void EditColor(int col, int row);

private:
    CWevraDoc& m_document;
};
