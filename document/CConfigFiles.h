#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The "Files" section of the user's settings: default folders and files, and the automatic
// backups. The values are public so that the configuration page can edit them.
class CConfigFiles {
public:
    static constexpr char section[] = "Files";
    static constexpr int32_t minBackupInterval = 1;
    static constexpr int32_t maxBackupInterval = 60;
    static constexpr int32_t minBackupFiles = 0;
    static constexpr int32_t maxBackupFiles = 20;

    // The values of a fresh installation.
    CConfigFiles();

    // Reads the section, keeps the numbers in their ranges, and replaces the folders that do
    // not exist and the template and library files that do not exist by those found under the
    // program folder.
    void Load(const std::filesystem::path& programFolder);
    // Writes every key of the section. True when the library differs from the one last
    // applied; it then becomes the one last applied.
    bool OnApply();
    // The library returns to the one last applied.
    void OnCancel();

    std::string m_pcbDirectory;
    std::string m_defaultTemplate;
    std::string m_netlistDirectory;
    std::string m_library;
    bool m_backupsAutomatic = true;
    std::string m_backupDirectory;
    int32_t m_backupIntervalTime = 5;
    int32_t m_backupMaxFiles = 10;

    std::string m_libraryLastApplied;
    // The template "Browse..." opens in its "Template" folder.
    std::string m_templateFolderBase;
};
