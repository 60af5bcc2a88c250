#include "dialogs/COutputItemDlg.h"

#include "document/CWevraDoc.h"

COutputItemDlg::COutputItemDlg(CWevraDoc& document, QWidget* parent)
    : CLayerSetDlg(document, document.Design().GetOutputJobs(), ids, true, parent)
{
}
