// Feeds arbitrary bytes to the pin-swap rules reader as "ProjectInfo.txt", for the types of the
// sample design's components and for names the rules file itself may hold, and asks the tool
// about every pin of the lists it read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/CDesign.h"
#include "document/CPinSwapTool.h"
#include "document/CWevraDoc.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    static CWevraDoc* design = [] {
        auto* doc = new CWevraDoc();
        doc->OpenDesignFile(WEVRA_DEMO_DESIGN);
        return doc;
    }();
    const std::filesystem::path rules = WriteInput(CPinSwapTool::fileName, data, size);
    CPinSwapTool tool(*design);
    std::vector<std::string> types = {"", "T", "7400", " "};
    for (int32_t i = 0; i < design->Design().GetComponents().GetCount(); ++i)
        types.push_back(design->Design().GetComponents().GetComponent(i)->GetType());
    for (const std::string& type : types) {
        if (!tool.LoadSwapList(rules, type))
            continue;
        for (const uint16_t pin : tool.GetSwapList())
            if (!tool.IsSwappable(pin))
                __builtin_trap();
    }
    return 0;
}
