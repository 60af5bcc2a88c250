#include <benchmark/benchmark.h>

#include "bench/NetlistFiles.h"

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

// A netlist of 5000 nets and 20000 pins imported into a new board.
void BM_NetlistImportNewBoard(benchmark::State& state)
{
    const std::filesystem::path net = WriteNetlist();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CWevraDoc> doc = NewNetlistBoard();
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

// A Tango netlist of n components (and n nets of four pins) imported into an empty board.
void BM_NetlistImportTango(benchmark::State& state)
{
    const int32_t count = int32_t(state.range(0));
    const std::filesystem::path net = WriteTangoNetlist(count);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CWevraDoc> doc = NewNetlistBoard();
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
        std::unique_ptr<CWevraDoc> doc = NewNetlistBoard();
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
