#include "document/CDesignBackup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "document/CConfigFiles.h"
#include "document/CDesign.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/TextTrim.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t minuteMs = 60000;

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string SameFolderKey(const std::string& folder)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(folder, error), error);
    return error ? fs::path(folder).lexically_normal().string() : canonical.string();
}

std::string InFolder(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : (fs::path(folder) / name).string();
}

} // namespace

void CDesignBackup::Reset()
{
    m_activity = false;
    m_ticks = 0;
    m_failing = false;
}

bool CDesignBackup::OnTimer(const CConfigFiles& files)
{
    if (m_document.IsShapeDocument())
        return false;
    if (m_activity) {
        m_activity = false;
        m_document.Design().AddDesignTime(minuteMs);
    }
    if (!m_document.IsDirty())
        return false;
    ++m_ticks;
    if (!files.m_backupsAutomatic || files.m_backupMaxFiles == 0 ||
        m_ticks <= files.m_backupIntervalTime)
        return false;
    return !Write(files, false).empty();
}

std::string CDesignBackup::BackupFileName(const std::string& title, int32_t number)
{
    std::string digits = std::to_string(number);
    if (number >= 0 && digits.size() < 2)
        digits.insert(0, "0");
    return title + " BAK " + digits + ".PCB";
}

std::string CDesignBackup::SeriesTitle(const std::string& title, const std::string& designFolder,
                                       const std::string& backupFolder)
{
    const std::string capitals = UpperCase(title);
    const std::string design = SameFolderKey(designFolder.empty() ? "." : designFolder);
    if (design == SameFolderKey(backupFolder.empty() ? "." : backupFolder))
        return capitals;
    uint32_t hash = 2166136261u;
    for (const char c : design)
        hash = (hash ^ uint8_t(c)) * 16777619u;
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string suffix(8, '0');
    for (int32_t i = 7; i >= 0; --i, hash >>= 4)
        suffix[size_t(i)] = digits[hash & 15u];
    return capitals + " " + suffix;
}

std::string CDesignBackup::Backup(const CConfigFiles& files, std::string* failure)
{
    return Write(files, true, failure);
}

std::string CDesignBackup::Write(const CConfigFiles& files, bool reportEveryFailure,
                                 std::string* failure)
{
    const std::string designFolder = m_document.GetDesignFolder();
    std::string folder = TrimBlanks(files.m_backupDirectory);
    folder = folder.empty() ? designFolder
                            : CPathHelper::ResolveStoredPath(folder, designFolder, true).string();
    const std::string title = SeriesTitle(m_document.GetDesignName(), designFolder, folder);
    std::error_code error;
    std::string reason;
    // Backups hold whole designs: a folder made for them is the user's alone.
    if (!folder.empty() && !fs::is_directory(folder, error) &&
        !CPathHelper::CreatePrivateFolder(folder, &reason)) {
        ReportFailure(InFolder(folder, BackupFileName(title, 1)), reason, reportEveryFailure,
                      failure);
        return {};
    }

    // Every file that starts with the title counts, the design itself among them when the
    // backups lie beside it.
    CPathHelper lister;
    lister.SetListFullPath(true);
    lister.SetListWithExtension(true);
    std::vector<std::string> existing;
    lister.ListFiles(InFolder(folder, title + "*.PCB"), existing);
    int32_t number = int32_t(existing.size()) + 1;
    const int32_t maxFiles = files.m_backupMaxFiles;

    // Complete on disk before any older backup is renamed or deleted.
    const std::string temporary = InFolder(folder, title + " BAK.tmp");
    bool written = false;
    try {
        CArchive ar;
        m_document.Serialize(ar);
        const std::vector<uint8_t>& bytes = ar.GetBuffer();
        written = CPathHelper::WriteFileAtomically(
            temporary, std::string(bytes.begin(), bytes.end()), &reason);
    } catch (const CArchiveException& failure) {
        reason = failure.what();
    }
    const std::string name = InFolder(folder, BackupFileName(title, std::min(number, maxFiles)));
    if (!written) {
        ReportFailure(name, reason, reportEveryFailure, failure);
        return {};
    }
    if (number > maxFiles) {
        Rotate(folder, title, number);
        number = maxFiles;
    }
    // Replaces a file of that number left above a lowered maximum.
    fs::rename(temporary, name, error);
    if (error) {
        reason = error.message();
        fs::remove(temporary, error);
        ReportFailure(name, reason, reportEveryFailure, failure);
        return {};
    }
    // The status line shows design texts; the path is the file system's.
    m_document.View().SetInfoText("Backup: " + CWindows1252::FromUtf8(name));
    m_document.ClearDirty();
    m_ticks = 0;
    m_failing = false;
    return name;
}

void CDesignBackup::Rotate(const std::string& folder, const std::string& title, int32_t count)
{
    CPathHelper::DeleteFile(InFolder(folder, BackupFileName(title, 1)));
    for (int32_t j = 2; j < count; ++j)
        CPathHelper::RenameFile(InFolder(folder, BackupFileName(title, j)),
                                InFolder(folder, BackupFileName(title, j - 1)));
}

void CDesignBackup::ReportFailure(const std::string& path, const std::string& reason,
                                  bool reportEveryFailure, std::string* failure)
{
    m_document.View().SetInfoText("Backup failed: " + CWindows1252::FromUtf8(path));
    if (m_failing && !reportEveryFailure)
        return;
    m_failing = true;
    const std::string text = "The backup \"" + path + "\" could not be written: " + reason + ".";
    if (failure != nullptr) {
        *failure = text;
        return;
    }
    CServices::Messages().FileMessageBox(text, m_document.GetDesignName(), MB_OK,
                                         MB_ICONEXCLAMATION);
}
