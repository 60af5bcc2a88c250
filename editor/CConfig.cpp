#include "editor/CConfig.h"

#include <system_error>

#include "document/CFileTypeRegistration.h"
#include "document/CGridProfile.h"
#include "document/CRegTool.h"
#include "editor/CConfigSheet.h"
#include "framework/CPathHelper.h"

CConfig::CConfig() : CConfig(CPathHelper::GetProgramFolder()) {}

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
