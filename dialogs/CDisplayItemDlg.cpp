#include "dialogs/CDisplayItemDlg.h"

CDisplayItemDlg::CDisplayItemDlg(CDesign& design, CEditSession& session,
                                 const CDocumentPaint& paint, QWidget* parent)
    : CLayerSetDlg(design, session, paint, ids, false, parent)
{
}
