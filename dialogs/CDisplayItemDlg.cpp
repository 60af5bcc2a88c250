#include "dialogs/CDisplayItemDlg.h"

#include "document/CWevraDoc.h"

CDisplayItemDlg::CDisplayItemDlg(CWevraDoc& document, QWidget* parent)
    : CLayerSetDlg(document, document.GetDisplaySets(), ids, false, parent)
{
}
