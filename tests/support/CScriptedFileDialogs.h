#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/CFileDialogService.h"

// Answers folder and file choosers from a script and records every request. With no answer queued
// the chooser is cancelled.
class CScriptedFileDialogs : public CFileDialogService {
public:
    struct FolderRequest {
        std::string title;
        std::string rootFolder;
        std::string startFolder;
    };

    // The folder chosen, or nothing for Cancel.
    void QueueFolder(std::optional<std::string> folder) { m_folders.push_back(std::move(folder)); }
    const std::vector<FolderRequest>& GetFolderRequests() const { return m_folderRequests; }

    std::optional<std::string> ChooseFolder(const std::string& title, const std::string& rootFolder,
                                            const std::string& startFolder) override;

    // The file chosen by the next file chooser, or nothing for Cancel; the start folders asked.
    void QueueFile(std::optional<std::string> file) { m_files.push_back(std::move(file)); }
    const std::vector<std::string>& GetFileStartFolders() const { return m_fileStartFolders; }
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::string& startFolder,
                                              const std::string& filter) override;
    // The files of the next multiple-file chooser (empty for Cancel).
    void QueueFiles(std::vector<std::string> files) { m_fileLists.push_back(std::move(files)); }
    std::vector<std::string> ChooseOpenFiles(const std::string& title,
                                             const std::string& startFolder,
                                             const std::string& filter) override;
    // Save choosers take their answers from QueueFile too.
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::string& startFolder,
                                              const std::string& filter,
                                              const std::string& defaultExtension) override;

    // The font the next font chooser gives, or nothing for Cancel; the fonts it started from.
    void QueueFont(std::optional<CFontDesc> font) { m_fonts.push_back(std::move(font)); }
    const std::vector<CFontDesc>& GetInitialFonts() const { return m_initialFonts; }
    std::optional<CFontDesc> ChooseFont(const std::string& title,
                                        const CFontDesc& initial) override;

private:
    std::deque<std::optional<CFontDesc>> m_fonts;
    std::vector<CFontDesc> m_initialFonts;
    std::deque<std::vector<std::string>> m_fileLists;
    std::deque<std::optional<std::string>> m_folders;
    std::vector<FolderRequest> m_folderRequests;
    std::deque<std::optional<std::string>> m_files;
    std::vector<std::string> m_fileStartFolders;
};
