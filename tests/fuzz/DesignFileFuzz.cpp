// Feeds arbitrary bytes to the design file reader the way opening a design file does. A design
// that was read must write itself and read back again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"

namespace {

class CSilentMessages : public CMessageService {
public:
    int32_t MessageBox(const std::string&, const std::string&, MessageButtons buttons,
                       MessageIcon) override
    {
        return FirstButtonAnswer(buttons);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CSilentMessages messages;
    CServices::SetMessages(&messages);

    CWevraDoc doc;
    CArchive input(std::vector<uint8_t>(data, data + size));
    if (!doc.LoadFromArchive(input, "fuzz"))
        return 0;

    CArchive output;
    doc.Serialize(output);
    CWevraDoc reloaded;
    CArchive again(output.TakeBuffer());
    if (!reloaded.LoadFromArchive(again, "fuzz"))
        std::abort();
    return 0;
}
