// Feeds arbitrary bytes to the shape library reader as a library file. A library that was read
// must save itself, and the saved file must read back and save to the same bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/CArchiveException.h"
#include "model/CShapeLibArray.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::vector<char> Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    const std::filesystem::path path = WriteInput("fuzz.SHP", data, size);
    CShapeLibArray libraries;
    try {
        if (!libraries.Load(path))
            return 0;
    } catch (const CArchiveException&) {
        return 0;
    }
    if (!libraries.Save())
        __builtin_trap();
    const std::vector<char> once = Bytes(path);
    CShapeLibArray again;
    try {
        if (!again.Load(path) || !again.Save())
            __builtin_trap();
    } catch (const CArchiveException&) {
        __builtin_trap();
    }
    if (Bytes(path) != once)
        __builtin_trap();
    return 0;
}
