// Feeds arbitrary bytes to the settings readers as the user's settings file: the "Files",
// "Start-up" and "Grid" sections and the recent-file list. What was read must be within the
// ranges the program relies on, and must write itself and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "document/CConfigFiles.h"
#include "document/CConfigStartUp.h"
#include "document/CGridProfile.h"
#include "document/CRecentFileList.h"
#include "framework/CServices.h"
#include "framework/qt/CQtSettingsStore.h"
#include "model/CGridArr.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    const std::filesystem::path ini = WriteInput("settings.ini", data, size);
    CQtSettingsStore store(ini.string());
    CSettingsStore* previous = CServices::SetSettings(&store);

    CConfigFiles files;
    files.Load(FuzzFolder());
    if (files.m_backupIntervalTime < CConfigFiles::minBackupInterval ||
        files.m_backupIntervalTime > CConfigFiles::maxBackupInterval ||
        files.m_backupMaxFiles < CConfigFiles::minBackupFiles ||
        files.m_backupMaxFiles > CConfigFiles::maxBackupFiles)
        __builtin_trap();
    CConfigStartUp startUp;
    startUp.Load();
    CGridArr grids;
    CGridProfile::Read(grids);
    CRecentFileList recent;
    recent.Load(store);

    files.OnApply();
    startUp.OnApply();
    recent.Save(store);
    CConfigFiles filesAgain;
    filesAgain.Load(FuzzFolder());
    CConfigStartUp startUpAgain;
    startUpAgain.Load();
    CRecentFileList recentAgain;
    recentAgain.Load(store);
    if (filesAgain.m_backupIntervalTime != files.m_backupIntervalTime ||
        filesAgain.m_backupMaxFiles != files.m_backupMaxFiles ||
        filesAgain.m_backupsAutomatic != files.m_backupsAutomatic ||
        startUpAgain.m_schematicAppPath != startUp.m_schematicAppPath ||
        startUpAgain.m_loadDesign != startUp.m_loadDesign ||
        recentAgain.GetPaths() != recent.GetPaths())
        __builtin_trap();
    CServices::SetSettings(previous);
    return 0;
}
