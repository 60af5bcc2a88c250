#include "dialogs/CLayerTableDlg.h"

#include "dialogs/CLayerGrid.h"
#include "resources/CommandIds.h"

CLayerTableDlg::CLayerTableDlg(CWevraDoc& document, CViewCommandHost& view, QWidget* parent)
    : CTableDlg(dialogId, ID_BOARD_LAYER_TABLE, QStringLiteral("Layer Table"), view, parent)
{
    HostGrid(new CLayerGrid(document, view, this), idPlaceholder);
}

CLayerGrid* CLayerTableDlg::GetLayerGrid() const
{
    return static_cast<CLayerGrid*>(GetGrid());
}
