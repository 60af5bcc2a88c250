// Feeds arbitrary bytes to the netlist import of a design: the input up to a line "#--" is the
// ".NET", the rest the component list (".CMP" and ".PLC"). The netlist is imported into a new
// board and forward-annotated into the sample design, whose net aliases are then compared with
// it; every design it leaves must save and read back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CNetAliasReport.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "interchange/CNetlistImport.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void ExpectSavedDesignReads(CWevraDoc& design)
{
    CArchive stored;
    design.Serialize(stored);
    CWevraDoc reloaded;
    CArchive again(stored.TakeBuffer());
    if (!reloaded.LoadFromArchive(again, "fuzz"))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    static const std::vector<uint8_t> sample = [] {
        CWevraDoc doc;
        doc.OpenDesignFile(WEVRA_DEMO_DESIGN);
        CArchive stored;
        doc.Serialize(stored);
        return stored.TakeBuffer();
    }();

    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string separator = "\n#--\n";
    const size_t split = input.find(separator);
    const std::string net = input.substr(0, split);
    const std::string list =
        split == std::string::npos ? net : input.substr(split + separator.size());
    const auto bytes = [](const std::string& text) {
        return reinterpret_cast<const uint8_t*>(text.data());
    };
    const std::filesystem::path netPath = WriteInput("FUZZ.NET", bytes(net), net.size());
    WriteInput("FUZZ.CMP", bytes(list), list.size());
    WriteInput("FUZZ.PLC", bytes(list), list.size());

    CWevraDoc fresh;
    CNetlistImport().Run(fresh.Link(), netPath);
    ExpectSavedDesignReads(fresh);

    CWevraDoc placed;
    CArchive in(sample);
    if (!placed.LoadFromArchive(in, "sample"))
        __builtin_trap();
    CNetlistImport().Run(placed.Link(), netPath);
    ExpectSavedDesignReads(placed);
    placed.Design().SetNetlistPath(netPath.string());
    CNetAliasReport(placed.Design(), placed.Link(), placed.GetDesignFolder()).ErrorsText("");
    return 0;
}
