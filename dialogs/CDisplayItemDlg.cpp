#include "dialogs/CDisplayItemDlg.h"

CDisplayItemDlg::CDisplayItemDlg(CWevraDoc& document, QWidget* parent)
    : CLayerSetDlg(document, ids, false, parent)
{
}
