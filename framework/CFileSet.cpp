#include "framework/CFileSet.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "framework/CPathHelper.h"

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int error)
{
    return std::generic_category().message(error);
}

} // namespace

CFileSet::~CFileSet()
{
    Discard();
}

bool CFileSet::Fail(const fs::path& path, const std::string& why)
{
    if (m_failedFile.empty()) {
        m_failedFile = path;
        m_failure = why;
    }
    Discard();
    return false;
}

bool CFileSet::Add(const fs::path& path, const std::string& bytes)
{
    if (!m_failedFile.empty())
        return false;
    Entry entry;
    entry.path = path;
    std::string reason;
    if (!CPathHelper::WriteTemporary(path, bytes.data(), bytes.size(), entry.target,
                                     entry.temporary, &reason))
        return Fail(path, reason);
    // A file given again shares its temporary with the earlier entry, which the write replaced.
    const auto same = std::find_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry& e) { return e.target == entry.target; });
    if (same != m_entries.end())
        *same = std::move(entry);
    else
        m_entries.push_back(std::move(entry));
    return true;
}

void CFileSet::Restore(std::vector<Entry>& entries, size_t placed)
{
    for (size_t k = 0; k < placed; ++k) {
        Entry& entry = entries[k];
        if (!entry.earlier.empty() && ::rename(entry.earlier.c_str(), entry.target.c_str()) == 0)
            entry.earlier.clear();
    }
}

bool CFileSet::Commit()
{
    if (!m_failedFile.empty()) {
        Discard();
        return false;
    }
    // Each file being replaced keeps a second name until the whole set is in place, so that a
    // rename that fails half-way can give the files placed before it their earlier bytes back.
    std::vector<bool> existed;
    for (Entry& entry : m_entries) {
        struct stat old {};
        existed.push_back(::stat(entry.target.c_str(), &old) == 0);
        if (!existed.back())
            continue;
        entry.earlier = entry.target;
        entry.earlier += ".old~";
        ::unlink(entry.earlier.c_str());
        if (::link(entry.target.c_str(), entry.earlier.c_str()) != 0)
            entry.earlier.clear();
    }
    for (size_t k = 0; k < m_entries.size(); ++k) {
        if (::rename(m_entries[k].temporary.c_str(), m_entries[k].target.c_str()) == 0) {
            m_entries[k].temporary.clear();
            continue;
        }
        const int error = errno;
        Restore(m_entries, k);
        // A file that was new goes again.
        for (size_t n = 0; n < k; ++n) {
            if (!existed[n])
                ::unlink(m_entries[n].target.c_str());
        }
        return Fail(m_entries[k].path, ErrnoText(error));
    }
    for (Entry& entry : m_entries) {
        if (!entry.earlier.empty())
            ::unlink(entry.earlier.c_str());
        entry.earlier.clear();
    }
    return true;
}

void CFileSet::Discard()
{
    for (const Entry& entry : m_entries) {
        if (!entry.temporary.empty())
            ::unlink(entry.temporary.c_str());
        if (!entry.earlier.empty())
            ::unlink(entry.earlier.c_str());
    }
    m_entries.clear();
}

std::vector<fs::path> CFileSet::GetFiles() const
{
    std::vector<fs::path> files;
    for (const Entry& entry : m_entries)
        files.push_back(entry.path);
    return files;
}
