#include "framework/CInputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/CArchiveException.h"

namespace {

[[noreturn]] void Refuse(const std::string& text)
{
    throw CArchiveException(CArchiveException::fileError, text);
}

std::string Quoted(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

// Closes the descriptor on every way out.
class CDescriptor {
public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Up to `count` bytes; 0 at the end of the file.
ssize_t ReadSome(int fd, const std::filesystem::path& path, void* into, size_t count)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, count);
        if (got >= 0)
            return got;
        if (errno != EINTR)
            Refuse("Cannot read " + Quoted(path) + ": " + std::strerror(errno) + ".");
    }
}

template <typename Bytes> Bytes ReadInto(const std::filesystem::path& path, uintmax_t maxSize)
{
    // Not blocking: opening a pipe with no writer would wait for one. The type is taken from
    // the open descriptor, so a file swapped for a device after a check cannot slip through.
    CDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0)
        Refuse("Cannot open " + Quoted(path) + " for reading: " + std::strerror(errno) + ".");
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0)
        Refuse("Cannot read " + Quoted(path) + ": " + std::strerror(errno) + ".");
    if (!S_ISREG(status.st_mode))
        Refuse("Cannot open " + Quoted(path) + ": it is not a regular file.");
    const auto size = static_cast<uintmax_t>(status.st_size);
    if (size > maxSize)
        Refuse(CInputFile::TooLargeText(path.string(), size, maxSize));

    Bytes bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
        size_t have = 0;
        for (;;) {
            if (have == bytes.size()) {
                // The size the file gave is read: a small read shows whether it ends there, so a
                // big file is not held twice. A file that grows while it is read (or reports no
                // size, as some system files do) goes on, up to one byte past the bound, which is
                // enough to refuse it.
                char probe[4096];
                const ssize_t got = ReadSome(file.Get(), path, probe, sizeof probe);
                if (got == 0)
                    break;
                bytes.insert(bytes.end(), probe, probe + got);
                have += static_cast<size_t>(got);
                if (have > maxSize)
                    Refuse(CInputFile::TooLargeText(path.string(), have, maxSize));
                bytes.resize(static_cast<size_t>(
                    std::min<uintmax_t>(maxSize + 1, std::max<uintmax_t>(2 * have, 4096))));
                continue;
            }
            const ssize_t got =
                ReadSome(file.Get(), path, bytes.data() + have, bytes.size() - have);
            if (got == 0)
                break;
            have += static_cast<size_t>(got);
        }
        bytes.resize(have);
    } catch (const std::bad_alloc&) {
        Refuse(CInputFile::OutOfMemoryText(path.string()));
    }
    return bytes;
}

} // namespace

std::vector<uint8_t> CInputFile::ReadBytes(const std::filesystem::path& path, uintmax_t maxSize)
{
    return ReadInto<std::vector<uint8_t>>(path, maxSize);
}

std::string CInputFile::ReadText(const std::filesystem::path& path, uintmax_t maxSize)
{
    return ReadInto<std::string>(path, maxSize);
}

std::string CInputFile::TooLargeText(const std::string& name, uintmax_t size, uintmax_t maxSize)
{
    return "Cannot open \"" + name + "\": " + std::to_string(size) +
           " bytes is more than a file of its kind holds (at most " + std::to_string(maxSize) +
           " bytes).";
}

std::string CInputFile::OutOfMemoryText(const std::string& name)
{
    return "Not enough memory to read \"" + name + "\".";
}
