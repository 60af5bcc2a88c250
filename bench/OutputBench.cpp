#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentPlanes.h"
#include "document/CWevraDoc.h"
#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"

namespace {

namespace fs = std::filesystem;

// The generated design, saved in a folder of its own under the temporary folder.
class CBenchOutput : public CDocumentOutput {
public:
    CBenchOutput(CWevraDoc& document, fs::path folder)
        : CDocumentOutput(document.Design(), document.Planes(), document.GetDesignFolder(),
                          document.GetDesignName()),
          m_folder(std::move(folder))
    {
    }
    std::string GetDesignTitle() const override { return "generated"; }
    fs::path GetDesignFolder() const override { return m_folder; }

private:
    fs::path m_folder;
};

void AddSet(COutput& job, const std::string& name, std::initializer_list<int32_t> layers)
{
    auto set = std::make_unique<COutputRec>();
    set->SetDisplayName(name);
    set->SetLayers(layers);
    set->SetTextReference(true);
    job.AddItem(std::move(set));
}

// Gerber files of the copper, ground, silkscreen and drill layers and the drill program of the
// generated board with its ground plane filled, written to the temporary folder, after the look
// for planes whose fill is older than the copper that File > Output makes first.
void BM_GerberAndDrillOutput(benchmark::State& state)
{
    CWevraDoc document;
    GenerateBoard(document, BoardPlan());
    document.Planes().RebuildPlane(0);
    const fs::path folder =
        fs::temp_directory_path() / ("wevra-bench-output-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    COutputArray& jobs = document.Design().GetOutputJobs();
    jobs.RemoveAll();
    auto gerber = std::make_unique<COutput>();
    gerber->SetDevice(COutputDevice::Name(COutputDevice::gerber24));
    gerber->SetDirectory("C:\\GERBER");
    AddSet(*gerber, "TOP", {LAYER_TOP});
    AddSet(*gerber, "BOTTOM", {LAYER_BOTTOM});
    AddSet(*gerber, "GROUND", {LAYER_GROUND});
    AddSet(*gerber, "SILK", {LAYER_SILK_TOP});
    AddSet(*gerber, "DRILL", {LAYER_DRILL});
    const int32_t gerberJob = jobs.AddJob(std::move(gerber));
    auto drill = std::make_unique<COutput>();
    drill->SetDevice(COutputDevice::Name(COutputDevice::excellon));
    drill->SetDirectory("C:\\EXCELLON");
    AddSet(*drill, "DRILL PROGRAM", {LAYER_DRILL});
    const int32_t drillJob = jobs.AddJob(std::move(drill));

    CBenchOutput output(document, folder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(output.RefillStalePlanes("bench"));
        CGerberWriter writer(output);
        benchmark::DoNotOptimize(writer.Write(gerberJob));
        CDrillOut drillOut;
        benchmark::DoNotOptimize(drillOut.Write(drillJob, 0, output));
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_GerberAndDrillOutput)->Unit(benchmark::kMillisecond);

} // namespace
