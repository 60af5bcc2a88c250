#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/CFileDialogService.h"

// Answers folder choosers from a script and records every request. With no answer queued the
// chooser is cancelled.
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

private:
    std::deque<std::optional<std::string>> m_folders;
    std::vector<FolderRequest> m_folderRequests;
};
