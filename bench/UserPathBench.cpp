#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QPainter>

#include "bench/BenchApplication.h"
#include "bench/BoardGenerator.h"
#include "bench/CScreenViews.h"
#include "bench/NetlistFiles.h"
#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentPaint.h"
#include "document/CViewCommandHost.h"
#include "document/CViewCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CBackgroundRelease.h"
#include "framework/CServices.h"
#include "framework/qt/CQtDeviceContext.h"
#include "framework/qt/CQtProgressService.h"
#include "interchange/CNetlistImport.h"
#include "model/CComponentArray.h"
#include "resources/CommandIds.h"

extern char** environ;

// What the user waits for, along the user's own road: the menu command with its progress dialog
// over the main window, the design file on disk opened by a program just started, the save to
// disk. The other benchmarks time the same work called directly, in memory.
namespace {

namespace fs = std::filesystem;

double MegabytesResident()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The board view's window, which the plane commands only ask to redraw.
class CQuietHost : public CViewCommandHost {
public:
    void Redraw(bool) override {}
};

// Plane > Refill All of the generated board with its ground pour and a solid bottom plane, as
// the menu runs it: the progress dialog of each fill opens over the main window and is kept up
// to date while the fill runs. The peak memory is the process's: run the 32,000 case alone to
// read it.
void BM_RefillAllCommand(benchmark::State& state)
{
    BenchApplication();
    QMainWindow window;
    window.resize(1280, 800);
    window.show();
    QApplication::setActiveWindow(&window);
    CQtProgressService progress;
    CProgressService* previous = CServices::SetProgress(&progress);
    {
        CScreenViews views;
        CWevraDoc doc;
        doc.SetViews(&views);
        GenerateBoard(doc, PlanOf(state.range(0)));
        AddBottomPlane(doc);
        CQuietHost host;
        const CViewCommands commands(doc, host);
        for (auto _ : state) {
            if (!commands.Send(ID_PLANES_REFILL_ALL))
                state.SkipWithError("Refill All is disabled");
        }
        doc.SetViews(nullptr);
    }
    CServices::SetProgress(previous);
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_RefillAllCommand)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---- The design file on disk ----------------------------------------------------------------

constexpr const char* openEnv = "WEVRA_BENCH_OPEN";
constexpr const char* reportEnv = "WEVRA_BENCH_REPORT";

// A generated board saved once to a file of its own, for the size asked.
fs::path SavedBoard(int64_t components)
{
    const fs::path path = fs::temp_directory_path() / ("wevra-bench-" + std::to_string(getpid()) +
                                                       "-" + std::to_string(components) + ".PCB");
    if (!fs::exists(path)) {
        CWevraDoc board;
        GenerateBoard(board, PlanOf(components));
        board.OnSaveDocument(path.string());
    }
    return path;
}

// The child's part of BM_OpenDesignFresh: a program just started opens the file, closes it,
// and reports the time of the open and what stays resident after the close.
void BM_OpenDesignChild(benchmark::State& state)
{
    const char* path = std::getenv(openEnv);
    const char* report = std::getenv(reportEnv);
    double seconds = 0;
    double openMB = 0;
    double closedMB = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<CWevraDoc>();
        const auto start = std::chrono::steady_clock::now();
        const bool opened = doc->OnOpenDocument(path);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!opened)
            seconds = -1;
        openMB = MegabytesResident();
        // As the design's window closes.
        doc.reset();
        CBackgroundRelease::Shared().ReturnFreedMemory();
        CBackgroundRelease::Shared().Wait();
        closedMB = MegabytesResident();
    }
    std::ofstream(report) << seconds << ' ' << openMB << ' ' << closedMB << '\n';
}
// Only a child started by BM_OpenDesignFresh runs it.
const bool childRegistered = [] {
    if (std::getenv(openEnv) != nullptr)
        benchmark::RegisterBenchmark("BM_OpenDesignChild", BM_OpenDesignChild)->Iterations(1);
    return true;
}();

// Runs this program again, in a fresh process, for the one child benchmark `child` with the
// extra environment entries; the child writes its seconds and two figures to `report`. False,
// with the benchmark's error set to the child's last words, when it failed.
bool RunFreshChild(benchmark::State& state, const std::string& child,
                   const std::vector<std::string>& extraEnv, const fs::path& report,
                   double& seconds, double& first, double& second)
{
    std::string filter = "--benchmark_filter=^" + child + "/";
    std::string name = "wevra_bench";
    std::vector<char*> argv = {name.data(), filter.data(), nullptr};
    std::vector<std::string> env = extraEnv;
    env.push_back(std::string(reportEnv) + "=" + report.string());
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string log = report.string() + ".log";
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    int status = 0;
    const bool ran =
        posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), envp.data()) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    posix_spawn_file_actions_destroy(&actions);
    seconds = -1;
    if (ran)
        std::ifstream(report) >> seconds >> first >> second;
    if (seconds < 0) {
        // What the program said is the last line of the child's errors.
        std::ifstream said(log);
        std::string line;
        std::string last = "the child did not run";
        while (std::getline(said, line))
            if (!line.empty())
                last = line;
        state.SkipWithError(last.c_str());
    }
    std::error_code ignored;
    fs::remove(report, ignored);
    fs::remove(log, ignored);
    return seconds >= 0;
}

// File > Open of a saved generated board in a program just started, with the file in the
// system's cache as after a recent save: each iteration starts this program again to open it.
// The counters are the child's resident memory with the board open and after it was closed.
void BM_OpenDesignFresh(benchmark::State& state)
{
    const fs::path design = SavedBoard(state.range(0));
    const fs::path report = design.string() + ".report";
    double openMB = 0;
    double closedMB = 0;
    for (auto _ : state) {
        double seconds = 0;
        if (!RunFreshChild(state, "BM_OpenDesignChild",
                           {std::string(openEnv) + "=" + design.string()}, report, seconds, openMB,
                           closedMB))
            break;
        state.SetIterationTime(seconds);
    }
    state.counters["openMB"] = openMB;
    state.counters["closedMB"] = closedMB;
    std::error_code ignored;
    fs::remove(design, ignored);
}
BENCHMARK(BM_OpenDesignFresh)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

constexpr const char* importEnv = "WEVRA_BENCH_IMPORT";

// The child's part of BM_NetlistImportFresh: a program just started makes a new design and
// loads the netlist onto it, and reports the time of the load and the components placed.
void BM_NetlistImportChild(benchmark::State& state)
{
    const char* netlist = std::getenv(importEnv);
    const char* report = std::getenv(reportEnv);
    double seconds = -1;
    double placed = 0;
    for (auto _ : state) {
        std::unique_ptr<CWevraDoc> doc = NewNetlistBoard();
        const auto start = std::chrono::steady_clock::now();
        CNetlistImport import;
        const bool loaded = import.Run(doc->Link(), netlist);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        placed = doc->Design().GetComponents().GetCount();
        if (!loaded || placed == 0)
            seconds = -1;
    }
    std::ofstream(report) << seconds << ' ' << placed << " 0\n";
}
const bool importChildRegistered = [] {
    if (std::getenv(importEnv) != nullptr)
        benchmark::RegisterBenchmark("BM_NetlistImportChild", BM_NetlistImportChild)->Iterations(1);
    return true;
}();

// Netlist > Load of a Tango netlist from disk onto a new design, in a program just started:
// each iteration starts this program again to load it.
void BM_NetlistImportFresh(benchmark::State& state)
{
    const fs::path netlist = WriteTangoNetlist(int32_t(state.range(0)));
    const fs::path report = netlist.string() + ".report";
    double placed = 0;
    for (auto _ : state) {
        double seconds = 0;
        double unused = 0;
        if (!RunFreshChild(state, "BM_NetlistImportChild",
                           {std::string(importEnv) + "=" + netlist.string()}, report, seconds,
                           placed, unused))
            break;
        state.SetIterationTime(seconds);
    }
    state.counters["components"] = placed;
    std::error_code ignored;
    fs::remove_all(netlist.parent_path(), ignored);
}
BENCHMARK(BM_NetlistImportFresh)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The first frame of a saved generated board just opened, zoomed to show the whole board, painted
// on a thread that has painted nothing before; "laterMs" is the frame after it.
void BM_FirstFrameOpened(benchmark::State& state)
{
    BenchApplication();
    const fs::path design = SavedBoard(state.range(0));
    QImage image(CScreenViews::width, CScreenViews::height, QImage::Format_RGB32);
    double later = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto views = std::make_unique<CScreenViews>();
        auto doc = std::make_unique<CWevraDoc>();
        doc->SetViews(views.get());
        if (!doc->OnOpenDocument(design.string())) {
            state.SkipWithError("the design did not open");
            break;
        }
        // The generated board lies above the origin (its y runs from minus its height to 0).
        doc->View().ZoomAll();
        doc->View().ScrollBy(0, doc->Design().GetBoardHeight());
        state.ResumeTiming();
        double first = 0;
        std::thread([&] {
            const auto paint = [&] {
                const auto start = std::chrono::steady_clock::now();
                QPainter painter(&image);
                CQtDeviceContext dc(painter);
                dc.FillSolidRect(CRect(0, 0, CScreenViews::width, CScreenViews::height),
                                 RGB(0x60, 0x60, 0x60));
                benchmark::DoNotOptimize(doc->Paint().DrawBoard(dc));
                return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                    .count();
            };
            first = paint();
            later = paint();
        }).join();
        state.SetIterationTime(first);
        doc->SetViews(nullptr);
    }
    state.counters["laterMs"] = later * 1000;
    std::error_code ignored;
    fs::remove(design, ignored);
}
BENCHMARK(BM_FirstFrameOpened)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// File > Save of the generated board, again and again in one program: each save writes a new
// file beside the old one and puts it in its place.
void BM_SaveDesignFile(benchmark::State& state)
{
    const fs::path path =
        fs::temp_directory_path() / ("wevra-bench-save-" + std::to_string(getpid()) + ".PCB");
    CWevraDoc board;
    GenerateBoard(board, PlanOf(state.range(0)));
    for (auto _ : state) {
        if (!board.OnSaveDocument(path.string()))
            state.SkipWithError("the save failed");
    }
    std::error_code ignored;
    state.counters["fileMB"] = double(fs::file_size(path, ignored)) / (1024.0 * 1024.0);
    fs::remove(path, ignored);
}
BENCHMARK(BM_SaveDesignFile)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace
