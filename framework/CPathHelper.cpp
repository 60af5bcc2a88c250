#include "framework/CPathHelper.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr char separator = '/';

std::string::size_type NameStart(const std::string& path)
{
    const std::string::size_type slash = path.rfind(separator);
    return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension of the path's file name starts; npos when it has none. A name's leading
// dot marks a hidden file, not an extension.
std::string::size_type ExtensionStart(const std::string& path)
{
    const std::string::size_type nameStart = NameStart(path);
    const std::string::size_type dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return std::string::npos;
    return dot;
}

char FoldCase(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

// '*' stands for any run of characters, '?' for one; letters match in either case.
bool MatchesPattern(const std::string& name, const std::string& pattern)
{
    size_t n = 0;
    size_t p = 0;
    size_t starPattern = std::string::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool LessIgnoringCaseFirst(const std::string& a, const std::string& b)
{
    const auto folded = [](const std::string& text) {
        std::string result = text;
        std::transform(result.begin(), result.end(), result.begin(), FoldCase);
        return result;
    };
    const std::string foldedA = folded(a);
    const std::string foldedB = folded(b);
    if (foldedA != foldedB)
        return foldedA < foldedB;
    return a < b;
}

} // namespace

void CPathHelper::SetCurrentDir(const std::string& path)
{
    m_currentDir = path;
    std::error_code error;
    fs::current_path(path, error);
}

bool CPathHelper::IsExistingDirectory(const std::string& path)
{
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool CPathHelper::IsExistingFile(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

std::string CPathHelper::GetDirectory(const std::string& path)
{
    if (ExtensionStart(path) == std::string::npos)
        return path;
    const std::string::size_type nameStart = NameStart(path);
    if (nameStart == 0)
        return {};
    // The root folder keeps its separator.
    return path.substr(0, nameStart == 1 ? 1 : nameStart - 1);
}

std::string CPathHelper::GetFileTitle(const std::string& path)
{
    const std::string::size_type nameStart = NameStart(path);
    const std::string::size_type extensionStart = ExtensionStart(path);
    const std::string::size_type end =
        extensionStart == std::string::npos ? path.size() : extensionStart;
    return path.substr(nameStart, end - nameStart);
}

std::string CPathHelper::GetExtension(const std::string& path)
{
    const std::string::size_type extensionStart = ExtensionStart(path);
    return extensionStart == std::string::npos ? std::string() : path.substr(extensionStart);
}

std::string CPathHelper::GetLastFolderName(const std::string& path)
{
    std::string folder = GetDirectory(path);
    while (folder.size() > 1 && folder.back() == separator)
        folder.pop_back();
    return folder.substr(NameStart(folder));
}

bool CPathHelper::CreateDirectoryChain(const std::string& path)
{
    const std::string folder = GetDirectory(path);
    if (folder.empty())
        return true;
    std::error_code error;
    fs::create_directories(folder, error);
    return IsExistingDirectory(folder);
}

bool CPathHelper::ListFiles(const std::string& pattern, std::vector<std::string>& list) const
{
    list.clear();
    const std::string::size_type nameStart = NameStart(pattern);
    const std::string namePattern = pattern.substr(nameStart);
    // "*.*" stands for every file, also those without an extension.
    const std::string matchPattern = namePattern == "*.*" ? "*" : namePattern;
    fs::path folder = nameStart == 0   ? fs::path(".")
                      : nameStart == 1 ? fs::path("/")
                                       : fs::path(pattern.substr(0, nameStart - 1));
    std::error_code error;
    fs::directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
    if (error || namePattern.empty())
        return false;
    if (m_listFullPath)
        folder = fs::absolute(folder, error).lexically_normal();

    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        std::error_code statusError;
        if (name == "." || name == ".." || entry.is_directory(statusError))
            continue;
        if (!MatchesPattern(name, matchPattern))
            continue;
        std::string text = m_listFullPath ? (folder / name).string() : name;
        if (!m_listWithExtension)
            text.resize(text.size() - GetExtension(name).size());
        list.push_back(std::move(text));
    }
    std::sort(list.begin(), list.end(), LessIgnoringCaseFirst);
    return !list.empty();
}

void CPathHelper::QuickSortStrings(std::vector<std::string>& list, int32_t first, int32_t last)
{
    if (list.empty())
        return;
    const size_t begin = size_t(std::max(first, 0));
    const size_t end = std::min(size_t(std::max(last, -1) + 1), list.size());
    if (begin < end)
        std::sort(list.begin() + std::ptrdiff_t(begin), list.begin() + std::ptrdiff_t(end));
}

bool CPathHelper::DeleteFile(const std::string& path)
{
    if (!IsExistingFile(path))
        return true;
    std::error_code error;
    fs::remove(path, error);
    return !error;
}

bool CPathHelper::RenameFile(const std::string& oldPath, const std::string& newPath)
{
    std::error_code error;
    // Also a dangling link holds the new name: renaming over it would silently replace it.
    if (!IsExistingFile(oldPath) || fs::exists(fs::symlink_status(newPath, error)))
        return false;
    fs::rename(oldPath, newPath, error);
    return !error;
}

std::filesystem::path CPathHelper::FindOnSearchPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string list = path != nullptr ? path : "";
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        std::filesystem::path candidate =
            std::filesystem::path(list.substr(start, end - start)) / name;
        std::error_code error;
        if (candidate.is_absolute() && std::filesystem::is_regular_file(candidate, error))
            return candidate;
        start = end + 1;
    }
    return {};
}

std::filesystem::path CPathHelper::FollowLinks(const std::filesystem::path& path)
{
    // The kernel gives up on chains longer than this too.
    constexpr int maxLinks = 40;
    fs::path current = path;
    for (int i = 0; i < maxLinks; ++i) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            break;
        const fs::path target = fs::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

bool CPathHelper::IsReadOnlyFile(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
        return false;
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(path.c_str(), W_OK) != 0;
}

bool CPathHelper::IsReadOnlyFolder(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(path.c_str(), W_OK | X_OK) != 0;
}

bool CPathHelper::IsSameFile(const std::filesystem::path& first,
                             const std::filesystem::path& second)
{
    std::error_code error;
    const bool same = fs::equivalent(first, second, error);
    return error ? first == second : same;
}

bool CPathHelper::WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                                      std::string* reason)
{
    return WriteFileAtomically(path, bytes.data(), bytes.size(), reason);
}

bool CPathHelper::WriteFileAtomically(const std::filesystem::path& path, const void* data,
                                      size_t size, std::string* reason)
{
    fs::path target;
    fs::path temp;
    if (!WriteTemporary(path, data, size, target, temp, reason))
        return false;
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        if (reason != nullptr)
            *reason = std::generic_category().message(error);
        return false;
    }
    return true;
}

bool CPathHelper::WriteTemporary(const std::filesystem::path& path, const void* data, size_t size,
                                 std::filesystem::path& target, std::filesystem::path& temp,
                                 std::string* reason)
{
    const auto fail = [reason](const std::string& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    const auto failWithErrno = [&fail](int error) {
        return fail(std::generic_category().message(error));
    };

    target = FollowLinks(path);
    temp.clear();
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return failWithErrno(EISDIR);
    // A device or a pipe would be replaced by a regular file: never what a save means.
    if (replacing && !S_ISREG(old.st_mode))
        return fail("it is not a regular file (a device, pipe or socket) and is left as it is");
    if (replacing && IsReadOnlyFile(target))
        return fail("the file is read-only");

    fs::path made = target;
    made += ".tmp~";
    // A temporary left by a crash, or planted as a link, must not take the bytes.
    ::unlink(made.c_str());
    const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno == EEXIST)
        return fail("\"" + made.filename().string() +
                    "\" is in the way in the same folder and cannot be removed");
    if (fd < 0)
        return failWithErrno(errno);
    const auto discard = [&made, &failWithErrno](int error) {
        ::unlink(made.c_str());
        return failWithErrno(error);
    };

    if (replacing) {
        // Another owner is kept only where the process may give the file away.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
            const int error = errno;
            ::close(fd);
            return discard(error);
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            return discard(error);
        }
    }
    const char* next = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            ::close(fd);
            return discard(error);
        }
        next += written;
        left -= size_t(written);
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return discard(error);
    }
    if (::close(fd) != 0)
        return discard(errno);
    temp = made;
    return true;
}

std::filesystem::path CPathHelper::FindIgnoringCase(const std::filesystem::path& folder,
                                                    const std::string& name)
{
    std::filesystem::path exact = folder / name;
    std::error_code error;
    if (name.empty() || std::filesystem::exists(exact, error))
        return exact;
    std::vector<std::string> matches;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, name))
            matches.push_back(entry);
    }
    if (matches.empty())
        return exact;
    std::sort(matches.begin(), matches.end());
    return folder / matches.front();
}

std::string CPathHelper::AbsolutePath(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code error;
    const fs::path full = fs::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::filesystem::path CPathHelper::ResolveStoredPath(const std::string& stored,
                                                     const std::filesystem::path& designFolder,
                                                     bool createFolders)
{
    bool hasDrive = stored.size() >= 2 && stored[1] == ':' &&
                    std::isalpha(static_cast<unsigned char>(stored[0])) != 0;
    if (!hasDrive && stored.find('\\') == std::string::npos)
        return std::filesystem::path(stored);

    // Everything after the drive is taken below the design's folder: a stored path never
    // reaches outside it, and "A:" with or without a backslash is the folder itself.
    std::filesystem::path result = designFolder;
    size_t start = hasDrive ? 2 : 0;
    while (start <= stored.size()) {
        size_t end = stored.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = stored.size();
        std::string part = stored.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..") {
            result = FindIgnoringCase(result, part);
            std::error_code error;
            if (createFolders && !std::filesystem::exists(result, error))
                std::filesystem::create_directories(result, error);
        }
        start = end + 1;
    }
    return result;
}

fs::path CPathHelper::GetProgramFolder()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error && program.has_parent_path())
        return program.parent_path();
    const fs::path current = fs::current_path(error);
    return error ? fs::path(".") : current;
}

fs::path CPathHelper::GetUserDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && fs::path(dataHome).is_absolute())
        return dataHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return fs::path(home) / ".local/share";
    return {};
}

fs::path CPathHelper::GetUserStateFolder()
{
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    if (stateHome != nullptr && fs::path(stateHome).is_absolute())
        return fs::path(stateHome) / "wevra-pcb";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return fs::path(home) / ".local/state/wevra-pcb";
    return {};
}

bool CPathHelper::CreatePrivateFolder(const fs::path& folder, std::string* reason)
{
    std::error_code error;
    if (folder.empty()) {
        if (reason != nullptr)
            *reason = "no home folder is known";
        return false;
    }
    if (folder.has_parent_path())
        fs::create_directories(folder.parent_path(), error);
    if (!error && fs::create_directory(folder, error))
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    if (!error && !fs::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    if (error && reason != nullptr)
        *reason = error.message();
    return !error;
}

bool CPathHelper::IsInstalledFile(const fs::path& file)
{
    std::error_code error;
    const fs::path program = fs::weakly_canonical(GetProgramFolder(), error);
    if (error || file.empty())
        return false;
    const fs::path target = fs::weakly_canonical(fs::absolute(file, error), error);
    if (error)
        return false;
    const auto [end, inside] =
        std::mismatch(program.begin(), program.end(), target.begin(), target.end());
    return end == program.end() && inside != target.end();
}
