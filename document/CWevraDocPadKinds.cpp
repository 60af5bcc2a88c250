#include "document/CWevraDoc.h"
#include "document/CWevraDocParts.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "document/CDocumentViews.h"
#include "framework/CArchive.h"
#include "framework/CMailService.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

// ---- Small services -----------------------------------------------------------------------------

void CWevraDoc::OnBoardProperties()
{
    CDialogService::Get().PcbInfo(
        CLengthText::FormatLength(m_session.GetUnit(), m_settings.boardWidth),
        CLengthText::FormatLength(m_session.GetUnit(), m_settings.boardHeight),
        CNumberText::FormatInt(m_design.GetComponents().GetCount()),
        CNumberText::FormatInt(m_design.GetComponents().GetPinCount()),
        CNumberText::FormatInt(m_design.GetNets().GetCount()));
}

bool CWevraDoc::OnFileSendMail()
{
    std::error_code error;
    std::filesystem::path file = m_pathName;
    if (m_pathName.empty() || m_modified || !std::filesystem::is_regular_file(file, error)) {
        // The mail program reads the attachment after this returns, so the copy stays behind; a
        // folder of the user's own keeps the unsaved design from other users.
        const std::filesystem::path folder = CPathHelper::GetUserStateFolder() / "mail";
        std::string reason;
        if (!CPathHelper::CreatePrivateFolder(folder, &reason)) {
            CServices::Messages().FileMessageBox(
                "The copy to mail could not be written to \"" + folder.string() + "\": " + reason +
                    ".",
                CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK, MB_ICONEXCLAMATION);
            return false;
        }
        const std::string name = GetDesignName();
        file = folder / ((name.empty() ? CResString::Load(IDS_UNNAMED) : name) + ".PCB");
        try {
            CArchive ar;
            Serialize(ar);
            ar.SaveToFile(file);
        } catch (const CArchiveException& failure) {
            CServices::Messages().FileMessageBox(
                failure.what(), CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK,
                MB_ICONEXCLAMATION);
            return false;
        }
    }
    if (CServices::Mail().SendFile(file))
        return true;
    CServices::Messages().FileMessageBox(
        file.string() + " could not be mailed: no mail program (xdg-email) could be started.",
        CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK, MB_ICONEXCLAMATION);
    return false;
}

void CWevraDoc::OnToggleTransparentColors()
{
    m_settings.drawingMode = m_settings.drawingMode == CDesignSettings::drawTransparent
                                 ? CDesignSettings::drawOpaque
                                 : CDesignSettings::drawTransparent;
    m_windows.RedrawBoardViews();
    m_view.Windows().UpdateAllViews();
}

// ---- Parts taken from a template design ---------------------------------------------------------

void CWevraDoc::CopyColorsFrom(const CWevraDoc& other)
{
    m_settings.colors = other.m_settings.colors;
    m_painting.State().pensBuilt = false;
    m_painting.State().boardDirty = true;
}
