#pragma once

#include <string>

// Lets the user choose a folder: the caller sets the start folder, the title and, when wanted,
// the root folder, calls Browse and reads the result.
class CFolderBrowser {
public:
    // The title shown when none is set.
    static constexpr char defaultTitle[] = "Open";

    void SetRootFolder(const std::string& folder) { m_rootFolder = folder; }
    void SetStartFolder(const std::string& folder) { m_startFolder = folder; }
    void SetTitle(const std::string& title) { m_title = title; }

    // Asks the folder chooser of CServices. True when the user chose a folder; the result is
    // then its full path and is left as it was otherwise.
    bool Browse();
    const std::string& GetResult() const { return m_result; }

private:
    std::string m_result;
    std::string m_rootFolder;
    std::string m_startFolder;
    std::string m_title;
};
