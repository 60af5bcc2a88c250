#include "dialogs/COutputItemDlg.h"

COutputItemDlg::COutputItemDlg(CWevraDoc& document, QWidget* parent)
    : CLayerSetDlg(document, ids, true, parent)
{
}
