#include "framework/CFolderBrowser.h"

#include <optional>

#include "framework/CFileDialogService.h"
#include "framework/CServices.h"

bool CFolderBrowser::Browse()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseFolder(
        m_title.empty() ? defaultTitle : m_title, m_rootFolder, m_startFolder);
    if (!chosen || chosen->empty())
        return false;
    m_result = *chosen;
    return true;
}
