#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "document/CConfigFiles.h"
#include "document/CConfigStartUp.h"
#include "model/CGridArr.h"
#include "resources/CommandIds.h"

class QWidget;

// The user configuration: read once from the settings store of CServices when it is built,
// held for the whole run, and changed only through its sheet, whose Apply and OK write the
// settings back at once. Every other part of the program reads a user setting from here.
class CConfig {
public:
    // The help context of the sheet's pages: the command that opens the sheet + 0x10000.
    static constexpr uint32_t helpContext = 0x10000 + ID_FILE_USER_CONFIGURATION;

    // The program folder is the running program's.
    CConfig();
    explicit CConfig(const std::filesystem::path& programFolder);

    // Shows the "User Configuration" sheet with its "Start-up" and "Files" pages modally.
    // Returns 1 when closed with OK, else 0.
    int DoModal(QWidget* parent);

    // Called with the library file when the "Files" page picks a new library ("Browse...")
    // and when Apply or OK changes it: the owner loads the library set from that file.
    void SetLibraryHandler(std::function<void(const std::string&)> handler);
    void NotifyLibrary(const std::string& library) const;

    // "Files"
    const std::string& GetPcbDirectory() const { return m_files.m_pcbDirectory; }
    const std::string& GetDefaultTemplate() const { return m_files.m_defaultTemplate; }
    const std::string& GetNetlistDirectory() const { return m_files.m_netlistDirectory; }
    const std::string& GetLibraryFile() const { return m_files.m_library; }
    bool IsBackupsAutomatic() const { return m_files.m_backupsAutomatic; }
    const std::string& GetBackupDirectory() const { return m_files.m_backupDirectory; }
    int32_t GetBackupIntervalTime() const { return m_files.m_backupIntervalTime; }
    int32_t GetBackupMaxFiles() const { return m_files.m_backupMaxFiles; }

    // "Start-up"
    bool IsLoadDesign() const { return m_startUp.m_loadDesign; }
    bool IsLoadSchematicApplication() const { return m_startUp.m_loadSchematicApplication; }
    const std::string& GetSchematicAppPath() const { return m_startUp.m_schematicAppPath; }
    const std::string& GetSchematicAppExtension() const
    {
        return m_startUp.m_schematicAppExtension;
    }
    bool IsToolbar() const { return m_startUp.m_toolbar; }
    bool IsStatusbar() const { return m_startUp.m_statusbar; }
    bool IsScrollbars() const { return m_startUp.m_scrollbars; }
    bool IsLeftPane() const { return m_startUp.m_leftPane; }
    bool IsBottomPane() const { return m_startUp.m_bottomPane; }

    // "Grid": the three grid records as the settings hold them.
    const CGridArr& GetGrid() const { return m_grid; }

    // The folder of the program registered as the opener of design documents, ending with a
    // separator; empty when none is registered.
    const std::string& GetRegisteredFolder() const { return m_registeredFolder; }

    // The pages' values, for the sheet.
    CConfigFiles& Files() { return m_files; }
    CConfigStartUp& StartUp() { return m_startUp; }

private:
    CConfigFiles m_files;
    CGridArr m_grid;
    CConfigStartUp m_startUp;
    std::string m_registeredFolder;
    std::function<void(const std::string&)> m_libraryHandler;
};
