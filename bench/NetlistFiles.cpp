#include "bench/NetlistFiles.h"

#include <fstream>
#include <string>

#include <unistd.h>

#include "document/CDesign.h"
#include "document/CWevraDoc.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

std::unique_ptr<CWevraDoc> NewNetlistBoard()
{
    auto doc = std::make_unique<CWevraDoc>();
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    const int32_t stack = cache.GetPadStacks().Add(CPadStack(
        "TH", PAD_ROUND, -600, -600, 600, 600, 3023, LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
    const int32_t shape = cache.AddShape("QUAD");
    for (int32_t p = 0; p < padsPerComponent; ++p)
        cache.GetShape(shape)->AddPad(p * 25600, 0, stack, 0);
    cache.RecalcShapeExtent(shape);
    return doc;
}

namespace {

// A design numbers its nets in 16 bits: a netlist of more components than this shares fewer
// nets among more pins.
constexpr int32_t mostNets = 60000;

} // namespace

// A Tango netlist of `count` four-pin components in their "[" blocks and as many four-pin nets
// in "(" blocks; past mostNets components, mostNets nets of as many pins as it takes.
std::filesystem::path WriteTangoNetlist(int32_t count)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("wevra-tango-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count));
    std::filesystem::create_directories(folder);
    std::ofstream nets(folder / "BENCH.NET", std::ios::binary);
    for (int32_t i = 0; i < count; ++i)
        nets << "[\r\nU" << i + 1 << "\r\nQUAD\r\nTYPE" << i % 50 << "\r\n]\r\n";
    if (count <= mostNets) {
        for (int32_t k = 0; k < count; ++k) {
            nets << "(\r\nNET" << k << "\r\n";
            for (int32_t p = 0; p < padsPerComponent; ++p)
                nets << 'U' << (k + p) % count + 1 << '-' << p + 1 << "\r\n";
            nets << ")\r\n";
        }
        return folder / "BENCH.NET";
    }
    const int64_t pins = int64_t(count) * padsPerComponent;
    for (int32_t k = 0; k < mostNets; ++k) {
        nets << "(\r\nNET" << k << "\r\n";
        for (int64_t pin = k; pin < pins; pin += mostNets)
            nets << 'U' << pin / padsPerComponent + 1 << '-' << pin % padsPerComponent + 1
                 << "\r\n";
        nets << ")\r\n";
    }
    return folder / "BENCH.NET";
}
