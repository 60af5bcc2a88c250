#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include <QImage>
#include <QPainter>

#include "bench/BenchApplication.h"
#include "bench/BoardGenerator.h"
#include "bench/CScreenViews.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/qt/CQtDeviceContext.h"
#include "model/CPour.h"

namespace {

constexpr int32_t screenWidth = CScreenViews::width;
constexpr int32_t screenHeight = CScreenViews::height;

// A generated board, fitted into a full-HD view; with `filled`, its ground pour and a solid
// bottom-layer plane are filled. Filling the planes of 32,000 components takes many seconds: the
// last board made is kept for the next run of the same case.
struct CFittedBoard {
    CScreenViews views;
    CWevraDoc doc;
    BoardCounts counts;
    int64_t components = 0;
    bool filled = false;
    ~CFittedBoard() { doc.SetViews(nullptr); }
};

CFittedBoard& FittedBoard(int64_t components, bool filled)
{
    static std::unique_ptr<CFittedBoard> kept;
    if (kept && kept->components == components && kept->filled == filled)
        return *kept;
    kept.reset();
    kept = std::make_unique<CFittedBoard>();
    kept->components = components;
    kept->filled = filled;
    CWevraDoc& doc = kept->doc;
    doc.SetViews(&kept->views);
    kept->counts = GenerateBoard(doc, PlanOf(components));
    if (filled) {
        AddBottomPlane(doc);
        doc.Planes().RefillAll();
    }
    // The generated board lies above the origin (its y runs from minus its height to 0).
    doc.View().ZoomAll();
    doc.View().ScrollBy(0, doc.Design().GetBoardHeight());
    return *kept;
}

// A full repaint of the generated board; with range 1 set, its planes are filled.
void BM_DrawBoard(benchmark::State& state)
{
    // The pad labels are written with the desktop's fonts, which need the application object.
    BenchApplication();
    CFittedBoard& board = FittedBoard(state.range(0), state.range(1) == 1);
    CWevraDoc& doc = board.doc;

    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    // As the view renders: a painter and a device context for each paint. A repaint follows an
    // earlier paint of the same board, and finds what that one left for the next (the pictures
    // of the filled planes, the laid-out labels).
    const auto paint = [&] {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        dc.FillSolidRect(CRect(0, 0, screenWidth, screenHeight), RGB(0x60, 0x60, 0x60));
        return doc.Paint().DrawBoard(dc);
    };
    paint();
    for (auto _ : state)
        benchmark::DoNotOptimize(paint());
    state.counters["components"] = board.counts.components;
    state.counters["scale"] = doc.View().GetScale();
    int32_t fillErrors = 0;
    for (const auto& pour : doc.Design().GetPlanes())
        fillErrors += pour->GetFillErrorCount();
    state.counters["fillErrors"] = fillErrors;
}
BENCHMARK(BM_DrawBoard)->ArgsProduct({{2000, 8000, 32000}, {0, 1}})->Unit(benchmark::kMillisecond);

// The first repaint after a board is opened: every label's text is new to the painting thread.
// The labels a thread has laid out stay with it, so each repaint runs on a thread of its own
// that has painted nothing before.
void BM_FirstFrame(benchmark::State& state)
{
    BenchApplication();
    CFittedBoard& board = FittedBoard(state.range(0), false);
    CWevraDoc& doc = board.doc;

    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        // Up to the end of the paint: the thread's end, which forgets its labels, is no part of it.
        double seconds = 0;
        std::thread([&] {
            const auto start = std::chrono::steady_clock::now();
            {
                QPainter painter(&image);
                CQtDeviceContext dc(painter);
                dc.FillSolidRect(CRect(0, 0, screenWidth, screenHeight), RGB(0x60, 0x60, 0x60));
                benchmark::DoNotOptimize(doc.Paint().DrawBoard(dc));
            }
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }).join();
        state.SetIterationTime(seconds);
    }
    state.counters["components"] = board.counts.components;
}
BENCHMARK(BM_FirstFrame)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The filled planes alone, as a repaint draws them when they have not changed since the last one.
void BM_DrawPlanes(benchmark::State& state)
{
    BenchApplication();
    CScreenViews views;
    CWevraDoc doc;
    doc.SetViews(&views);
    GenerateBoard(doc, PlanOf(state.range(0)));
    AddBottomPlane(doc);
    doc.Planes().RefillAll();
    doc.View().ZoomAll();
    doc.View().ScrollBy(0, doc.Design().GetBoardHeight());

    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    const CPoint offset = doc.View().GetViewOffset();
    const auto paint = [&] {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        for (const auto& pour : doc.Design().GetPlanes())
            pour->Draw(dc, offset.x, offset.y, doc.View().GetScale(), RGB(0xC0, 0x40, 0x40));
    };
    paint();
    for (auto _ : state)
        paint();
    doc.SetViews(nullptr);
}
BENCHMARK(BM_DrawPlanes)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

} // namespace
