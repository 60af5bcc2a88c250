// Feeds arbitrary bytes to the design file reader the way opening a design file does. A design
// that was read must write itself, read back, and write the same bytes again.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    CWevraDoc doc;
    CArchive input(std::vector<uint8_t>(data, data + size));
    if (!doc.LoadFromArchive(input, "fuzz"))
        return 0;

    CArchive output;
    doc.Serialize(output);
    const std::vector<uint8_t> once = output.TakeBuffer();
    CWevraDoc reloaded;
    CArchive again(once);
    if (!reloaded.LoadFromArchive(again, "fuzz"))
        __builtin_trap();
    CArchive twice;
    reloaded.Serialize(twice);
    if (twice.GetBuffer() != once)
        __builtin_trap();
    return 0;
}
