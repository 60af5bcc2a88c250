#include "dialogs/CQtDialogService.h"

#include <QApplication>

#include "dialogs/CPcbInfoDlg.h"

namespace {

// Dialogs open over the window the user works in.
QWidget* Owner()
{
    return QApplication::activeWindow();
}

} // namespace

bool CQtDialogService::Offers(Dialog dialog) const
{
    if (OffersPadDialogs(dialog))
        return true;
    switch (dialog) {
    case Dialog::pcbInfo:
        return true;
    default:
        return false;
    }
}

int32_t CQtDialogService::PcbInfo(const std::string& boardXSize, const std::string& boardYSize,
                                  const std::string& components, const std::string& componentPins,
                                  const std::string& nets)
{
    CPcbInfoDlg dialog(boardXSize, boardYSize, components, componentPins, nets, Owner());
    return dialog.Run();
}
