// Feeds arbitrary bytes to the language pack reader. A pack that was read must write itself
// and read back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/CArchiveException.h"
#include "framework/CResourcePack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CResourcePack pack;
    try {
        pack = CResourcePack::FromBytes(std::vector<uint8_t>(data, data + size));
    } catch (const CArchiveException&) {
        return 0;
    }
    const std::vector<uint8_t> written = pack.ToBytes();
    if (CResourcePack::FromBytes(written).ToBytes() != written)
        __builtin_trap();
    return 0;
}
