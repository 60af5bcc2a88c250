#include <QApplication>

#include "dialogs/CCompCircularDlg.h"
#include "dialogs/CCompPropertiesDlg.h"
#include "dialogs/CCompSetPositionDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CSelCompTextDlg.h"

bool CQtDialogService::OffersComponentDialogs(Dialog dialog)
{
    switch (dialog) {
    case Dialog::compProperties:
    case Dialog::compSetPosition:
    case Dialog::compCircular:
    case Dialog::selCompText:
        return true;
    default:
        return false;
    }
}

int32_t CQtDialogService::CompProperties(CToolDocument& document, int32_t component)
{
    CCompPropertiesDlg dialog(document, component, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::CompSetPosition(int32_t unit, const PinnedComponent& component,
                                          CPoint center, CPoint mouse, int32_t& dx, int32_t& dy)
{
    CCompSetPositionDlg dialog(unit, component, center, mouse, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        dx = dialog.GetOffset().x;
        dy = dialog.GetOffset().y;
    }
    return result;
}

int32_t CQtDialogService::CompCircular(const std::vector<std::string>& references,
                                       CircularPlacement& values)
{
    CircularPlacement edited = values;
    CCompCircularDlg dialog(references, edited, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        values = edited;
    return result;
}

int32_t CQtDialogService::SelCompText(int32_t& choice)
{
    CSelCompTextDlg dialog(choice, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        choice = dialog.GetChoice();
    return result;
}
