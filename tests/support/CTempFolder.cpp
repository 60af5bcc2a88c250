#include "tests/support/CTempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

CTempFolder::CTempFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    m_path = name.data();
}

CTempFolder::~CTempFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
    if (!error)
        return;
    // A test may have taken away the write permission that removing needs.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    for (auto entry = std::filesystem::recursive_directory_iterator(m_path, error);
         !error && entry != std::filesystem::recursive_directory_iterator();
         entry.increment(error)) {
        if (entry->is_directory(error) && !entry->is_symlink(error))
            std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
    }
    std::filesystem::remove_all(m_path, error);
}
