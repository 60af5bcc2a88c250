#include "dialogs/CDisplayItemDlg.h"

#include "document/CWevraDoc.h"

CDisplayItemDlg::CDisplayItemDlg(CWevraDoc& document, QWidget* parent)
    : CLayerSetDlg(document, document.Design().GetDisplaySets(), ids, false, parent)
{
}
