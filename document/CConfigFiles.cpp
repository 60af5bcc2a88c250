#include "document/CConfigFiles.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "document/Profile.h"
#include "framework/CPathHelper.h"

namespace {

constexpr char keyPcbDirectory[] = "PCB Directory";
constexpr char keyDefaultTemplate[] = "Default Temlate";
constexpr char keyNetlistDirectory[] = "Netilst Directory";
constexpr char keyLibrary[] = "Library";
constexpr char keyBackupsAutomatic[] = "Backups Automatic";
constexpr char keyBackupDirectory[] = "Backup Directory";
constexpr char keyBackupIntervalTime[] = "Backup Interval Time";
constexpr char keyBackupMaxFiles[] = "Backup Max. Files";

// Backups must outlive a reboot and stay the user's own, so they go to the user's state folder;
// the temporary folder is the last resort of a user without a home.
std::string BackupFolder()
{
    const std::filesystem::path state = CPathHelper::GetUserStateFolder();
    if (!state.empty())
        return (state / "backups").string();
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : folder.string();
}

// New designs start in the user's documents folder ("Documents" in the home folder,
// else the home folder itself), never among the program's own files.
std::filesystem::path DocumentsFolder(const std::filesystem::path& programFolder)
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0')
        return programFolder / "Project";
    const std::filesystem::path documents = std::filesystem::path(home) / "Documents";
    return CPathHelper::IsExistingDirectory(documents.string()) ? documents
                                                                : std::filesystem::path(home);
}

// A relative value names a place under the root folder, as it did where the settings began.
std::string FromRoot(const std::string& value)
{
    std::filesystem::path path(value);
    return path.is_absolute() ? value : (std::filesystem::path("/") / path).string();
}

bool IsFolder(const std::string& value)
{
    return !value.empty() && CPathHelper::IsExistingDirectory(FromRoot(value));
}

bool IsFile(const std::string& value)
{
    return !value.empty() && CPathHelper::IsExistingFile(FromRoot(value));
}

// The first file of the pattern in the folder, as a full path; empty when there is none.
std::string FirstFile(const std::filesystem::path& folder, const std::string& pattern)
{
    CPathHelper helper;
    helper.SetListFullPath(true);
    helper.SetListWithExtension(true);
    std::vector<std::string> files;
    if (!helper.ListFiles((folder / pattern).string(), files) || files.empty())
        return {};
    return files.front();
}

} // namespace

CConfigFiles::CConfigFiles()
    : m_pcbDirectory("Project"), m_defaultTemplate("Template/Template1.PCB"),
      m_netlistDirectory("Project"), m_backupDirectory(BackupFolder())
{
}

void CConfigFiles::Load(const std::filesystem::path& programFolder)
{
    ReadProfileString(section, keyPcbDirectory, m_pcbDirectory);
    ReadProfileString(section, keyDefaultTemplate, m_defaultTemplate);
    ReadProfileString(section, keyNetlistDirectory, m_netlistDirectory);
    ReadProfileString(section, keyLibrary, m_library);
    ReadProfileBool(section, keyBackupsAutomatic, m_backupsAutomatic);
    ReadProfileString(section, keyBackupDirectory, m_backupDirectory);
    ReadProfileInt(section, keyBackupIntervalTime, m_backupIntervalTime);
    ReadProfileInt(section, keyBackupMaxFiles, m_backupMaxFiles);

    // A hand-edited settings file must not give a backup every tick or thousands of files.
    m_backupIntervalTime = std::clamp(m_backupIntervalTime, minBackupInterval, maxBackupInterval);
    m_backupMaxFiles = std::clamp(m_backupMaxFiles, minBackupFiles, maxBackupFiles);

    if (!IsFolder(m_pcbDirectory))
        m_pcbDirectory = DocumentsFolder(programFolder).string();
    if (!IsFolder(m_netlistDirectory))
        // Nothing named: the netlist dialogs start beside the design, where File > New puts the
        // netlist, rather than in a folder that is not there.
        m_netlistDirectory.clear();
    if (!IsFile(m_defaultTemplate)) {
        std::string found = FirstFile(programFolder / "Template", "*.PCB");
        if (!found.empty())
            m_defaultTemplate = found;
    }
    if (!IsFile(m_library)) {
        std::string found = FirstFile(programFolder / "Library", "*.SHP");
        if (!found.empty())
            m_library = found;
    }
    m_libraryLastApplied = m_library;
}

bool CConfigFiles::OnApply()
{
    WriteProfileText(section, keyPcbDirectory, m_pcbDirectory);
    WriteProfileText(section, keyDefaultTemplate, m_defaultTemplate);
    WriteProfileText(section, keyNetlistDirectory, m_netlistDirectory);
    WriteProfileText(section, keyLibrary, m_library);
    WriteProfileBool(section, keyBackupsAutomatic, m_backupsAutomatic);
    WriteProfileText(section, keyBackupDirectory, m_backupDirectory);
    WriteProfileIntString(section, keyBackupIntervalTime, m_backupIntervalTime);
    WriteProfileIntString(section, keyBackupMaxFiles, m_backupMaxFiles);
    if (m_library == m_libraryLastApplied)
        return false;
    m_libraryLastApplied = m_library;
    return true;
}

void CConfigFiles::OnCancel()
{
    m_library = m_libraryLastApplied;
}
