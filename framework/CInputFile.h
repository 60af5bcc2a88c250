#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The one road by which the program reads a file it did not write itself: a design, a library,
// a netlist, a font. Only a regular file is read (a device, a pipe or a folder would never end
// or would block the window), and only when it is no larger than the bound its reader gives:
// each kind of file names a bound far above any real file of its kind, so a damaged or foreign
// file is refused before a byte of it is held in memory. Every refusal, and a failure to get
// the memory, throws CArchiveException (fileError) with a message that names the file.
class CInputFile {
public:
    static constexpr uintmax_t kilobyte = 1024;
    static constexpr uintmax_t megabyte = 1024 * kilobyte;

    static std::vector<uint8_t> ReadBytes(const std::filesystem::path& path, uintmax_t maxSize);
    static std::string ReadText(const std::filesystem::path& path, uintmax_t maxSize);

    // The refusal of a file larger than `maxSize` bytes, for bytes that arrive by another road.
    static std::string TooLargeText(const std::string& name, uintmax_t size, uintmax_t maxSize);
    // The message for a reader that ran out of memory on the file.
    static std::string OutOfMemoryText(const std::string& name);
};
