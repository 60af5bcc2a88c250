#include "model/CShapeLibArray.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CShapeLibImporter.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CShapeLibArray, "CShapeLibArray", 0)

CShapeLibArray::CShapeLibArray() = default;

CShapeLibArray::~CShapeLibArray() = default;

CShapeLib* CShapeLibArray::GetLib(int32_t i)
{
    return const_cast<CShapeLib*>(std::as_const(*this).GetLib(i));
}

const CShapeLib* CShapeLibArray::GetLib(int32_t i) const
{
    return i >= 0 && i < GetCount() ? m_libs[size_t(i)].get() : nullptr;
}

std::string CShapeLibArray::GetLibName(int32_t i) const
{
    const CShapeLib* library = GetLib(i);
    return library ? library->GetName() : std::string();
}

int32_t CShapeLibArray::AddLib(std::unique_ptr<CShapeLib> library)
{
    if (!library)
        return -1;
    m_libs.push_back(std::move(library));
    return GetCount() - 1;
}

bool CShapeLibArray::RemoveLib(int32_t i)
{
    if (i < 0 || i >= GetCount())
        return false;
    m_libs.erase(m_libs.begin() + i);
    if (m_curLib >= GetCount())
        m_curLib = GetCount() - 1;
    return true;
}

bool CShapeLibArray::SwapLibs(int32_t i, int32_t j)
{
    if (i < 0 || j < 0 || i >= GetCount() || j >= GetCount())
        return false;
    std::swap(m_libs[size_t(i)], m_libs[size_t(j)]);
    return true;
}

void CShapeLibArray::SetCurLib(int32_t i)
{
    m_curLib = i < GetCount() ? std::max(i, -1) : GetCount() - 1;
}

int32_t CShapeLibArray::FindLib(const std::string& name) const
{
    for (size_t i = 0; i < m_libs.size(); ++i) {
        if (m_libs[i]->GetName() == name)
            return static_cast<int32_t>(i);
    }
    return -1;
}

CShapeLib* CShapeLibArray::GetLibByName(const std::string& name)
{
    return GetLib(FindLib(name));
}

const CShapeLib* CShapeLibArray::GetLibByName(const std::string& name) const
{
    return GetLib(FindLib(name));
}

// ---- Files ---------------------------------------------------------------------------------

bool CShapeLibArray::Load(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() ==
        std::filesystem::file_type::not_found) {
        m_path = path;
        return false;
    }
    const std::unique_ptr<CArchive> ar = CArchive::OpenForLoading(path, maxFileSize);

    // A foreign or damaged file leaves the set, and the file Save writes, as they were.
    CShapeLibArray loaded;
    try {
        loaded.Serialize(*ar);
    } catch (const std::bad_alloc&) {
        CArchive::Fail(CArchiveException::fileError, CInputFile::OutOfMemoryText(path.string()));
    }
    if (!loaded.m_loaded)
        CArchive::Fail(CArchiveException::badSchema,
                       CResString::Load(IDS_NOT_SUPPORTED_FILEFORMAT) + ":\n" + path.string());
    // Bytes after the last record mean a count read earlier was wrong: a later save would lose
    // whatever they held.
    if (!ar->IsAtEnd())
        CArchive::Fail(CArchiveException::badCount, "Bytes after the last record.");
    for (auto& library : loaded.m_libs)
        library->NormalizeAll();

    m_loaded = true;
    m_libs = std::move(loaded.m_libs);
    m_curLib = loaded.m_curLib;
    m_name = std::move(loaded.m_name);
    m_path = path;
    m_curGroup = loaded.m_curGroup;
    m_filterChoice = loaded.m_filterChoice;
    m_filterHistory = std::move(loaded.m_filterHistory);
    CServices::ReportLoadWarnings(*ar, path.filename().string());
    return true;
}

bool CShapeLibArray::Save()
{
    if (m_path.empty())
        return false;
    CArchive ar;
    Serialize(ar);
    try {
        ar.SaveToFile(m_path);
    } catch (const CArchiveException& e) {
        if (e.GetCause() != CArchiveException::fileError)
            throw;
        return false;
    }
    return true;
}

void CShapeLibArray::ImportDosLibraries(CShapeLibImporter& importer, const std::string& configPath,
                                        const std::string& folder)
{
    importer.Run(*this, configPath, folder);
}

// ---- Storage -------------------------------------------------------------------------------

void CShapeLibArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << fileVersion << m_name << m_curLib << m_curGroup << m_filterChoice;
        ar.WriteCount(m_libs.size());
        for (const auto& library : m_libs)
            ar.WriteObject(library.get());
        ar.WriteCount(m_filterHistory.size());
        for (const std::string& text : m_filterHistory)
            ar.WriteString(text);
        m_loaded = true;
        return;
    }

    if (ar.ReadDWord() != fileVersion) {
        m_loaded = false;
        return;
    }
    std::string name = ar.ReadString();
    const int32_t curLib = ar.ReadInt();
    const int32_t curGroup = ar.ReadInt();
    const int32_t filterChoice = ar.ReadInt();
    const uint32_t count = ar.ReadCount(2);
    std::vector<std::unique_ptr<CShapeLib>> libs;
    libs.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        libs.push_back(ar.ReadObjectOf<CShapeLib>());
        if (!libs.back())
            CArchive::Fail(CArchiveException::badClass, "Empty shape library record.");
    }
    std::vector<std::string> history(ar.ReadCount(1));
    for (std::string& text : history)
        text = ar.ReadString();

    m_libs = std::move(libs);
    m_name = std::move(name);
    m_curGroup = curGroup;
    m_filterChoice = filterChoice;
    m_filterHistory = std::move(history);
    // 0 is also what an empty set starts with.
    if (curLib == 0 || (curLib >= -1 && curLib < GetCount())) {
        m_curLib = curLib;
    } else {
        SetCurLib(curLib);
        ar.AddLoadWarning(CResString::Load(IDS_CURRENT_INDEX_REPAIRED));
    }
    m_loaded = true;
}
