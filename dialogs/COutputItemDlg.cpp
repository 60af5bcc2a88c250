#include "dialogs/COutputItemDlg.h"

COutputItemDlg::COutputItemDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                               QWidget* parent)
    : CLayerSetDlg(design, session, paint, ids, true, parent)
{
}
