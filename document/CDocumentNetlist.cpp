#include "document/CDocumentNetlist.h"

#include <filesystem>
#include <optional>

#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "interchange/CNetlistImport.h"

bool CDocumentNetlist::LoadFromUser()
{
    const std::string& netlist = m_document.GetNetlistPath();
    const std::string start = netlist.empty()
                                  ? m_document.GetDesignFolder()
                                  : std::filesystem::path(netlist).parent_path().string();
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        "Load Netlist", start, "Netlist (*.NET *.net *.Net)");
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
