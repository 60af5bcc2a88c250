#include "tests/support/CScriptedFileDialogs.h"

std::optional<std::string> CScriptedFileDialogs::ChooseFolder(const std::string& title,
                                                              const std::string& rootFolder,
                                                              const std::string& startFolder)
{
    m_folderRequests.push_back({title, rootFolder, startFolder});
    if (m_folders.empty())
        return std::nullopt;
    std::optional<std::string> folder = m_folders.front();
    m_folders.pop_front();
    return folder;
}
