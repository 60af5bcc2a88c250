// Feeds arbitrary bytes to the DOS design set reader the way opening a ".PLY" file does: the
// input is split into the ".CNF", the ".CMP" and the ".PLY" (two length bytes for each of the
// first two parts), written beside each other and imported into a fresh design.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/CDocumentDosImport.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "interchange/CDosImport.h"
#include "model/CDialogService.h"

namespace {

class CSilentMessages : public CMessageService {
public:
    int32_t MessageBox(const std::string&, const std::string&, MessageButtons buttons,
                       MessageIcon) override
    {
        return FirstButtonAnswer(buttons);
    }
};

// Takes the layer map as offered.
class CAcceptingDialogs : public CDialogService {
public:
    int32_t ImportLayermap(const std::string&, bool, uint32_t, const std::vector<std::string>&,
                           CDosConfig&) override
    {
        return resultOk;
    }
};

// The next part of the input after its two length bytes.
std::string TakePart(const uint8_t*& data, size_t& size)
{
    if (size < 2)
        return {};
    size_t length = data[0] | (size_t(data[1]) << 8);
    data += 2;
    size -= 2;
    length = std::min(length, size);
    std::string part(reinterpret_cast<const char*>(data), length);
    data += length;
    size -= length;
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CSilentMessages messages;
    CServices::SetMessages(&messages);
    static CAcceptingDialogs dialogs;
    CDialogService::Set(&dialogs);
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("wevra-dos-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    const std::string cnf = TakePart(data, size);
    const std::string cmp = TakePart(data, size);
    std::ofstream(folder / "SET.CNF", std::ios::binary | std::ios::trunc) << cnf;
    std::ofstream(folder / "SET.CMP", std::ios::binary | std::ios::trunc) << cmp;
    std::ofstream(folder / "SET.PLY", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));

    CWevraDoc doc;
    CDosImport reader(doc.DosImport());
    reader.Import((folder / "SET.PLY").string());
    return 0;
}
