#include "document/CDocumentNetlist.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "document/CConfigFiles.h"
#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentWindows.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "interchange/CMentorNetlist.h"
#include "interchange/CNetlistImport.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr char netlistFilter[] = "Netlist (*.NET *.net *.Net)";

} // namespace

std::string CDocumentNetlist::StartFolder() const
{
    const std::string& netlist = m_document.Design().GetNetlistPath();
    if (!netlist.empty())
        return std::filesystem::path(netlist).parent_path().string();
    const CConfigFiles* files = CDocumentFrame::Get().GetConfigFiles();
    std::error_code error;
    if (files != nullptr && !files->m_netlistDirectory.empty() &&
        std::filesystem::is_directory(files->m_netlistDirectory, error))
        return files->m_netlistDirectory;
    return m_document.GetDesignFolder();
}

bool CDocumentNetlist::Backup()
{
    const CConfigFiles* configured = CDocumentFrame::Get().GetConfigFiles();
    std::string failure;
    if (!m_document.History()
             .GetBackup()
             .Backup(configured != nullptr ? *configured : CConfigFiles(), &failure)
             .empty())
        return true;
    // The import takes an undo point of its own: the backup guards against what Undo cannot
    // reach, so going on without it is the user's choice, and not the one Enter makes.
    if (CServices::Messages().FileMessageBox(
            failure +
                "\n\nLoad the netlist without a backup? Edit > Undo still takes the load back.",
            "Load Netlist", MB_YESNO_DEFAULTNO, MB_ICONEXCLAMATION) == IDYES)
        return true;
    m_document.View().SetInfoText("Netlist not loaded: the backup could not be written");
    return false;
}

std::optional<std::string> CDocumentNetlist::ChooseNetlist() const
{
    return CServices::FileDialogs().ChooseOpenFile("Load Netlist", StartFolder(), netlistFilter);
}

bool CDocumentNetlist::LoadChosen(const std::string& path)
{
    if (!Backup())
        return false;
    m_document.Design().GetNets().ClearErrors();
    if (Load(path))
        return true;
    // A design that has no part yet was opened for the netlist; what the failed import left of
    // it goes, asking first when anything in it was changed.
    if (m_document.Design().GetComponents().GetCount() == 0)
        CDocumentFrame::Get().PostCommand(ID_FILE_CLOSE);
    return false;
}

bool CDocumentNetlist::Reload()
{
    return Backup() && Load(m_document.Design().GetNetlistPath());
}

bool CDocumentNetlist::Load(const std::string& path)
{
    CNetlistImport import;
    const bool result = import.Run(m_document.Link(), path);
    if (import.ChangedDesign()) {
        m_document.SetCopperModified();
        // The new pins make new connections to draw and count.
        m_document.Design().GetNets().RecalcAll(false);
        m_document.Design().GetNets().BuildToDoList();
    }
    m_document.Windows().RedrawBoardViews();
    return result;
}

bool CDocumentNetlist::LoadIntoNewDesign(const std::string& path)
{
    const bool result = Load(path);
    if (m_document.Design().GetComponents().GetCount() > 0)
        CDocumentFrame::Get().PostCommand(ID_VIEW_ZOOM_ALL);
    return result;
}

bool CDocumentNetlist::SaveFromUser()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseSaveFile(
        "Save Netlist", StartFolder(), netlistFilter, ".NET");
    if (!chosen)
        return false;
    std::string failed;
    if (CMentorNetlist::Write(m_document.Design().GetComponents(), m_document.Design().GetNets(),
                              *chosen, failed))
        return true;
    CServices::Messages().FileMessageBox(
        CResString::LoadWithFile(IDS_OUTPUT_FILE_NOT_WRITTEN, failed), "", MB_OK,
        MB_ICONEXCLAMATION);
    return false;
}
