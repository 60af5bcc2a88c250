#include <algorithm>

#include <QApplication>

#include "dialogs/CCenterTextDlg.h"
#include "dialogs/CCompTextDlg.h"
#include "dialogs/CCopyArrayDlg.h"
#include "dialogs/CDisplayCompTextDlg.h"
#include "dialogs/CEditTextDlg.h"
#include "dialogs/CInputSizesDlg.h"
#include "dialogs/CPadArrayCircDlg.h"
#include "dialogs/CPadArrayRectDlg.h"
#include "dialogs/CPadInfoDlg.h"
#include "dialogs/CPensDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CRotationDlg.h"
#include "dialogs/CSelectPadDlg.h"
#include "dialogs/CTemplateImportDlg.h"
#include "resources/CommandIds.h"

bool CQtDialogService::OffersPadDialogs(Dialog dialog)
{
    switch (dialog) {
    case Dialog::selectPad:
    case Dialog::padInfo:
    case Dialog::displayCompText:
    case Dialog::padArrayRect:
    case Dialog::padArrayCirc:
    case Dialog::pens:
    case Dialog::rotation:
    case Dialog::copyArray:
    case Dialog::templateImport:
    case Dialog::editText:
    case Dialog::compText:
    case Dialog::centerText:
    case Dialog::inputSizes:
        return true;
    default:
        return false;
    }
}

int32_t CQtDialogService::SelectPad(CWevraDoc& document, int32_t kind)
{
    CSelectPadDlg dialog(document, kind, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::PadInfo(int32_t& display, bool& markers)
{
    CPadInfoDlg dialog(display, markers, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        display = std::max(0, dialog.GetDisplay());
        markers = dialog.GetMarkers();
    }
    return result;
}

int32_t CQtDialogService::DisplayCompText(bool& reference, bool& shape, bool& type)
{
    CDisplayCompTextDlg dialog(reference, shape, type, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        reference = dialog.IsChecked(CDisplayCompTextDlg::idReference);
        shape = dialog.IsChecked(CDisplayCompTextDlg::idShape);
        type = dialog.IsChecked(CDisplayCompTextDlg::idType);
    }
    return result;
}

int32_t CQtDialogService::PadArrayRect(RectPadArray& values)
{
    CPadArrayRectDlg dialog(values, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::PadArrayCirc(CircPadArray& values)
{
    CPadArrayCircDlg dialog(values, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::Pens(CPenTables& pens)
{
    CPensDlg dialog(pens, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::Rotation(std::string& angle, bool& absolute)
{
    CRotationDlg dialog(angle, absolute, ID_CONTEXT_COMPONENTS_ROTATE,
                        QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        angle = dialog.GetAngle();
        absolute = dialog.IsAbsolute();
    }
    return result;
}

int32_t CQtDialogService::CopyArray(std::string& xDistance, std::string& yDistance,
                                    std::string& columns, std::string& rows, std::string& increment)
{
    CCopyArrayDlg dialog(xDistance, yDistance, columns, rows, increment,
                         QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        xDistance = dialog.GetXDistance();
        yDistance = dialog.GetYDistance();
        columns = dialog.GetColumns();
        rows = dialog.GetRows();
        increment = dialog.GetIncrement();
    }
    return result;
}

int32_t CQtDialogService::TemplateImport(CWevraDoc& document)
{
    CTemplateImportDlg dialog(document, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::InputSizes(std::string& width, std::string& height)
{
    CInputSizesDlg dialog(width, height, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::EditText(std::string& text, std::string& size, std::string& width,
                                   int32_t& layer, bool& mirrored, std::string& rotation,
                                   const std::vector<std::string>& layerNames)
{
    CEditTextDlg::Values values{text, size, width, rotation, layer, mirrored};
    CEditTextDlg dialog(values, layerNames, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        text = values.text;
        size = values.size;
        width = values.width;
        rotation = values.rotation;
        layer = values.layer;
        mirrored = values.mirrored;
    }
    return result;
}

int32_t CQtDialogService::CompText(std::array<std::string, 3>& sizes,
                                   std::array<std::string, 3>& pens)
{
    CCompTextDlg dialog(sizes, pens, QApplication::activeWindow());
    return dialog.Run();
}

int32_t CQtDialogService::CenterText(bool& reference, bool& type, bool& shape)
{
    CCenterTextDlg dialog(reference, type, shape, QApplication::activeWindow());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        reference = dialog.IsChecked(CCenterTextDlg::idReference);
        type = dialog.IsChecked(CCenterTextDlg::idType);
        shape = dialog.IsChecked(CCenterTextDlg::idShape);
    }
    return result;
}
