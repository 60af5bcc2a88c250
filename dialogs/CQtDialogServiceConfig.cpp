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

int32_t CQtDialogService::DesignConfig(CWevraDoc& document, int32_t firstPage, CGridArr& grids)
{
    CDesignConfig sheet(document, firstPage, grids, QApplication::activeWindow());
    return sheet.Run();
}

int32_t CQtDialogService::SelectLayer(CWevraDoc& document, int32_t& layer)
{
    CSelectLayerDlg dialog(document, QApplication::activeWindow());
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
