#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CWevraDoc.h"
#include "interchange/CNetlistImport.h"
#include "model/CComponentArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

constexpr int32_t componentCount = 5000;
constexpr int32_t padsPerComponent = 4;

// A Calay netlist of 5000 four-pin components and 5000 nets of four pins each (20000 pins),
// every pin in exactly one net, with its component list.
std::filesystem::path WriteNetlist()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("wevra-netlist-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream list(folder / "BENCH.CMP", std::ios::binary);
    std::ofstream nets(folder / "BENCH.NET", std::ios::binary);
    for (int32_t i = 0; i < componentCount; ++i) {
        std::string type = "TYPE" + std::to_string(i % 50);
        std::string reference = "U" + std::to_string(i + 1);
        type.resize(20, ' ');
        reference.resize(20, ' ');
        list << type << reference << "QUAD\r\n";
    }
    for (int32_t k = 0; k < componentCount; ++k) {
        nets << "/NET" << k;
        for (int32_t p = 0; p < padsPerComponent; ++p)
            nets << " U" << (k + p) % componentCount + 1 << '(' << p + 1 << ')';
        nets << "\r\n";
    }
    return folder / "BENCH.NET";
}

std::unique_ptr<CWevraDoc> NewBoard()
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

// A netlist of 5000 nets and 20000 pins imported into a new board.
void BM_NetlistImportNewBoard(benchmark::State& state)
{
    const std::filesystem::path net = WriteNetlist();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CWevraDoc> doc = NewBoard();
        state.ResumeTiming();
        CNetlistImport import;
        if (!import.Run(doc->Link(), net) ||
            doc->Design().GetComponents().GetCount() != componentCount)
            state.SkipWithError("import failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(net.parent_path());
}
BENCHMARK(BM_NetlistImportNewBoard)->Unit(benchmark::kMillisecond);

// A design numbers its nets in 16 bits: a netlist of more components than this shares fewer
// nets among more pins.
constexpr int32_t mostNets = 60000;

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

// A Tango netlist of n components (and n nets of four pins) imported into an empty board.
void BM_NetlistImportTango(benchmark::State& state)
{
    const int32_t count = int32_t(state.range(0));
    const std::filesystem::path net = WriteTangoNetlist(count);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CWevraDoc> doc = NewBoard();
        state.ResumeTiming();
        CNetlistImport import;
        if (!import.Run(doc->Link(), net) || doc->Design().GetComponents().GetCount() != count)
            state.SkipWithError("import failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(net.parent_path());
}
BENCHMARK(BM_NetlistImportTango)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond);

// The same Tango netlist forward-annotated onto the board it placed before: every component is
// looked up, kept and given its nets again.
void BM_NetlistForwardAnnotateTango(benchmark::State& state)
{
    const int32_t count = int32_t(state.range(0));
    const std::filesystem::path net = WriteTangoNetlist(count);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CWevraDoc> doc = NewBoard();
        CNetlistImport first;
        if (!first.Run(doc->Link(), net))
            state.SkipWithError("import failed");
        state.ResumeTiming();
        CNetlistImport forward;
        if (!forward.Run(doc->Link(), net) || doc->Design().GetComponents().GetCount() != count)
            state.SkipWithError("forward annotation failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(net.parent_path());
}
BENCHMARK(BM_NetlistForwardAnnotateTango)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond);

} // namespace
