#include "dialogs/CQtDialogService.h"

#include <QApplication>

#include "dialogs/CBoardSizeDlg.h"
#include "dialogs/CBorderSizeDlg.h"
#include "dialogs/CCleanDlg.h"
#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CImportLayermapDlg.h"
#include "dialogs/CMoveUserOffsetDlg.h"
#include "dialogs/CNameDlg.h"
#include "dialogs/CNetGroupsDlg.h"
#include "dialogs/CNewPcbDlg.h"
#include "dialogs/CPcbInfoDlg.h"
#include "dialogs/CPlanePropDlg.h"
#include "dialogs/CPositionDlg.h"
#include "dialogs/CSetGridDlg.h"
#include "document/CConfigFiles.h"
#include "document/CDocumentFrame.h"

namespace {

// Dialogs open over the window the user works in.
QWidget* Owner()
{
    return QApplication::activeWindow();
}

} // namespace

bool CQtDialogService::Offers(Dialog dialog) const
{
    if (OffersPadDialogs(dialog) || OffersConfigDialogs(dialog) || OffersComponentDialogs(dialog))
        return true;
    switch (dialog) {
    case Dialog::netAdd:
    case Dialog::getShape:
    case Dialog::newPcb:
    case Dialog::boardSize:
    case Dialog::setGrid:
    case Dialog::netGroups:
    case Dialog::position:
    case Dialog::moveUserOffset:
    case Dialog::clean:
    case Dialog::pcbInfo:
    case Dialog::borderSize:
    case Dialog::planeProperties:
    case Dialog::importLayermap:
    case Dialog::shapeLibrary:
        return true;
    default:
        return false;
    }
}

int32_t CQtDialogService::NetAdd(std::string& name)
{
    CNameDlg dialog("Add Net", name, Owner(), CNameDlg::idNetName, "&Name:", 0x180F5);
    const int32_t result = dialog.Run();
    if (result == resultOk)
        name = dialog.GetName();
    return result;
}

int32_t CQtDialogService::NewPcb(CWevraDoc& document)
{
    const CConfigFiles* files = CDocumentFrame::Get().GetConfigFiles();
    const CConfigFiles defaults;
    const CConfigFiles& config = files != nullptr ? *files : defaults;
    CNewPcbDlg dialog(document, config.m_pcbDirectory, config.m_defaultTemplate,
                      config.m_netlistDirectory, Owner());
    return dialog.Run();
}

int32_t CQtDialogService::GetShape(CShapeLib& cache, const ShapeRequest& request, int32_t& shape,
                                   std::string& prefix, std::string& type)
{
    CGetShapeDlg dialog(cache, CDocumentFrame::Get().GetEditableLibrarySet(), request, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        shape = dialog.GetShape();
        prefix = dialog.GetPrefix();
        type = dialog.GetType();
    }
    return result;
}

int32_t CQtDialogService::ShapeLibrary(CShapeLib& cache, CShapeLibArray& libraries,
                                       const ShapeRequest& request, const std::string& designTitle,
                                       bool& cacheChanged)
{
    CGetShapeDlg dialog(cache, &libraries, request, Owner());
    dialog.SetLibraryMode(designTitle);
    const int32_t result = dialog.Run();
    cacheChanged = dialog.HasChangedCache();
    return result;
}

int32_t CQtDialogService::BoardSize(std::string& width, std::string& height, bool workspace)
{
    CBoardSizeDlg dialog(width, height, workspace, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        width = dialog.GetWidth();
        height = dialog.GetHeight();
    }
    return result;
}

int32_t CQtDialogService::SetGrid(int32_t unit, int32_t& x, int32_t& y, bool& snapOn)
{
    CSetGridDlg dialog(unit, x, y, snapOn, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        x = dialog.GetX();
        y = dialog.GetY();
        snapOn = dialog.IsSnapOn();
    }
    return result;
}

int32_t CQtDialogService::NetGroups(std::string& groupA, std::string& groupB, std::string& spacing)
{
    CNetGroupsDlg dialog(Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        groupA = dialog.GetGroupA();
        groupB = dialog.GetGroupB();
        spacing = dialog.GetSpacing();
    }
    return result;
}

int32_t CQtDialogService::Position(const std::string& title, int32_t unit, int32_t& x, int32_t& y)
{
    CPositionDlg dialog(unit, x, y, title, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk) {
        x = dialog.GetX();
        y = dialog.GetY();
    }
    return result;
}

int32_t CQtDialogService::MoveUserOffset(int32_t unit,
                                         const std::vector<PinnedComponent>& components,
                                         CSize board, CPoint& offset)
{
    CMoveUserOffsetDlg dialog(unit, components, board, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        offset = dialog.GetOffset();
    return result;
}

int32_t CQtDialogService::Clean(int32_t unit, CleanChoices& choices)
{
    CCleanDlg dialog(unit, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        choices = dialog.GetChoices();
    return result;
}

int32_t CQtDialogService::PcbInfo(const std::string& boardXSize, const std::string& boardYSize,
                                  const std::string& components, const std::string& componentPins,
                                  const std::string& nets)
{
    CPcbInfoDlg dialog(boardXSize, boardYSize, components, componentPins, nets, Owner());
    return dialog.Run();
}

int32_t CQtDialogService::BorderSize(const std::vector<std::string>& choices, std::string& chosen)
{
    CBorderSizeDlg dialog(choices, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        chosen = dialog.GetChosen();
    return result;
}

int32_t CQtDialogService::PlaneProperties(int32_t unit, const std::vector<std::string>& layerNames,
                                          const std::vector<std::string>& netNames,
                                          PlaneValues& plane)
{
    CPlanePropDlg dialog(unit, layerNames, netNames, plane, Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        plane = dialog.GetValues();
    return result;
}

int32_t CQtDialogService::ImportLayermap(const std::string& cnfPath, bool browse, uint32_t helpId,
                                         const std::vector<std::string>& layerNames,
                                         CDosConfig& config)
{
    CImportLayermapDlg dialog(cnfPath, browse, helpId, layerNames, config,
                              CDocumentFrame::Get().GetProgramFolder().string(), Owner());
    const int32_t result = dialog.Run();
    if (result == resultOk)
        config = dialog.GetConfig();
    return result;
}
