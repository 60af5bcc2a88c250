#include "editor/CConfig.h"

#include <system_error>

#include "document/CFileTypeRegistration.h"
#include "document/CGridProfile.h"
#include "document/CRegTool.h"
#include "editor/CConfigSheet.h"
#include "framework/CPathHelper.h"

namespace {

std::filesystem::path RunningProgramFolder()
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : program.parent_path();
}

} // namespace

CConfig::CConfig() : CConfig(RunningProgramFolder()) {}

CConfig::CConfig(const std::filesystem::path& programFolder)
{
    m_files.Load(programFolder);
    CGridProfile::Read(m_grid);
    m_startUp.Load();
    // Kept in its own case: folders on this system are case-sensitive.
    m_registeredFolder = CRegTool::GetOpenCommandDir(CFileTypeRegistration::fileType);
    m_files.m_templateFolderBase = CPathHelper::GetDirectory(m_registeredFolder);
}

int CConfig::DoModal(QWidget* parent)
{
    CConfigSheet sheet(*this, parent);
    return sheet.exec() == QDialog::Accepted ? 1 : 0;
}

void CConfig::SetLibraryHandler(std::function<void(const std::string&)> handler)
{
    m_libraryHandler = std::move(handler);
}

void CConfig::NotifyLibrary(const std::string& library) const
{
    if (m_libraryHandler)
        m_libraryHandler(library);
}
