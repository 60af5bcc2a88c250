#include "document/CRecentFileList.h"

#include <algorithm>

#include "framework/CSettingsStore.h"

namespace {

std::string KeyOf(int index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

void CRecentFileList::Load(const CSettingsStore& store)
{
    m_paths.clear();
    for (int i = 0; i < maxEntries; ++i) {
        std::string path = store.GetString(section, KeyOf(i), "");
        if (!path.empty())
            m_paths.push_back(std::move(path));
    }
}

void CRecentFileList::Save(CSettingsStore& store) const
{
    for (int i = 0; i < maxEntries; ++i)
        store.WriteString(section, KeyOf(i), Get(i));
}

void CRecentFileList::Add(const std::string& path)
{
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(c >= 'a' && c <= 'z' ? c - 32 : c); });
    if (upper.find(".PCB") == std::string::npos)
        return;
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > size_t(maxEntries))
        m_paths.resize(size_t(maxEntries));
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < int(m_paths.size()))
        m_paths.erase(m_paths.begin() + index);
}

std::string CRecentFileList::Get(int index) const
{
    return index >= 0 && index < int(m_paths.size()) ? m_paths[size_t(index)] : std::string();
}
