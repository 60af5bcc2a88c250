// Feeds arbitrary bytes to the netlist dialect detection and to the component list and net
// readers of every dialect, the way an import reads a ".NET", ".CMP" or ".PLC" file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "interchange/CComponentListReader.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistImport.h"
#include "interchange/CNetlistLines.h"

namespace {

class CCountingSink : public CNetReaderSink {
public:
    void OnNet(const std::string& name, int32_t) override { size += name.size(); }
    void OnPin(const std::string& reference, const std::string& pin, int32_t) override
    {
        size += reference.size() + pin.size();
    }
    void OnUnreadable(int32_t, const std::string& text) override { size += text.size(); }

    size_t size = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CNetlistLines lines(std::string(reinterpret_cast<const char*>(data), size));
    const NetlistFormat detected = CNetlistImport::DetectFormatOfLines(lines);
    if (detected < NETLIST_CALAY || detected > NETLIST_TANGO)
        __builtin_trap();
    for (int32_t code = NETLIST_NONE; code <= NETLIST_TANGO; ++code) {
        const NetlistFormat format = NetlistFormat(code);
        lines.Rewind();
        CComponentListReader reader(format, lines);
        CComponentRecord record;
        int32_t records = 0;
        while (reader.ReadComponentRecord(record)) {
            // Every record stands on a line of its own or starts one: never more than lines.
            if (++records > int32_t(size) + 1 || record.line < 1)
                __builtin_trap();
        }
        lines.Rewind();
        CCountingSink sink;
        CNetReader(format, lines, sink).Read();
        std::vector<std::string> aliases = {"U1,1,GND", "R1,2,VCC"};
        CNetlistImport::AddNetAlias("N", "U1", "1", aliases);
    }
    return 0;
}
