#include "framework/CFileStamp.h"

#include <sys/stat.h>

std::optional<CFileStamp> CFileStamp::Of(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    constexpr int64_t nsPerSecond = 1000000000;
    return CFileStamp{int64_t(status.st_mtim.tv_sec) * nsPerSecond + status.st_mtim.tv_nsec,
                      uint64_t(status.st_size)};
}
