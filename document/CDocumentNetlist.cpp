#include "document/CDocumentNetlist.h"

#include <filesystem>
#include <optional>

#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "interchange/CMentorNetlist.h"
#include "interchange/CNetlistImport.h"

namespace {

constexpr char netlistFilter[] = "Netlist (*.NET *.net *.Net)";

} // namespace

std::string CDocumentNetlist::StartFolder() const
{
    const std::string& netlist = m_document.GetNetlistPath();
    return netlist.empty() ? m_document.GetDesignFolder()
                           : std::filesystem::path(netlist).parent_path().string();
}

bool CDocumentNetlist::LoadFromUser()
{
    const std::optional<std::string> chosen =
        CServices::FileDialogs().ChooseOpenFile("Load Netlist", StartFolder(), netlistFilter);
    if (!chosen)
        return false;
    return Load(*chosen);
}

bool CDocumentNetlist::Load(const std::string& path)
{
    CNetlistImport import;
    const bool result = import.Run(m_document, path);
    m_document.SetModified();
    m_document.RedrawBoardViews();
    return result;
}

bool CDocumentNetlist::SaveFromUser()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseSaveFile(
        "Save Netlist", StartFolder(), netlistFilter, ".NET");
    if (!chosen)
        return false;
    std::string failed;
    if (CMentorNetlist::Write(m_document.GetComponents(), m_document.GetNets(), *chosen, failed))
        return true;
    CServices::Messages().FileMessageBox("The file could not be written:\n" + failed, "", MB_OK,
                                         MB_ICONEXCLAMATION);
    return false;
}
