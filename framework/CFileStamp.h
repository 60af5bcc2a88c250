#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

// What a file on disk looks like at one moment: its modification time and size. Taken when a
// design is opened or saved, it tells whether another program changed the file since.
struct CFileStamp {
    int64_t modifiedNs = 0;
    uint64_t size = 0;

    bool operator==(const CFileStamp&) const = default;

    // The stamp of the file the path leads to; none when there is no such file.
    static std::optional<CFileStamp> Of(const std::filesystem::path& path);
};
