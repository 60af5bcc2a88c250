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

std::optional<std::string> CScriptedFileDialogs::ChooseOpenFile(const std::string& /*title*/,
                                                                const std::string& startFolder,
                                                                const std::string& /*filter*/)
{
    m_fileStartFolders.push_back(startFolder);
    if (m_files.empty())
        return std::nullopt;
    std::optional<std::string> file = m_files.front();
    m_files.pop_front();
    return file;
}

std::vector<std::string> CScriptedFileDialogs::ChooseOpenFiles(const std::string& /*title*/,
                                                               const std::string& startFolder,
                                                               const std::string& /*filter*/)
{
    m_fileStartFolders.push_back(startFolder);
    if (m_fileLists.empty())
        return {};
    std::vector<std::string> files = m_fileLists.front();
    m_fileLists.pop_front();
    return files;
}

std::optional<std::string>
CScriptedFileDialogs::ChooseSaveFile(const std::string& title, const std::string& startFolder,
                                     const std::string& filter,
                                     const std::string& /*defaultExtension*/)
{
    return ChooseOpenFile(title, startFolder, filter);
}

std::optional<CFontDesc> CScriptedFileDialogs::ChooseFont(const std::string& /*title*/,
                                                          const CFontDesc& initial)
{
    m_initialFonts.push_back(initial);
    if (m_fonts.empty())
        return std::nullopt;
    std::optional<CFontDesc> font = std::move(m_fonts.front());
    m_fonts.pop_front();
    return font;
}
