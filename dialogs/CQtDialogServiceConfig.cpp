#include <QApplication>

#include "dialogs/CDesignConfig.h"
#include "dialogs/CDisplayLayersetDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CSelectLayerDlg.h"

bool CQtDialogService::OffersConfigDialogs(Dialog dialog)
{
    return dialog == Dialog::designConfig || dialog == Dialog::selectLayer ||
           dialog == Dialog::displayLayerset;
}

int32_t CQtDialogService::DesignConfig(const DesignParts& parts, int32_t firstPage, CGridArr& grids)
{
    CDesignConfig sheet(parts, firstPage, grids, QApplication::activeWindow());
    return sheet.Run();
}

int32_t CQtDialogService::SelectLayer(const CDesign& design, const CEditSession& session,
                                      const CDocumentPaint& paint, int32_t& layer)
{
    CSelectLayerDlg dialog(design, session, paint, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        layer = dialog.GetLayer();
    return result;
}

int32_t CQtDialogService::DisplayLayerset(CWevraDoc& document)
{
    CDisplayLayersetDlg dialog(document, QApplication::activeWindow());
    return dialog.Run();
}
