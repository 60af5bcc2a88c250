#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <QApplication>
#include <QImage>

#include "bench/BenchApplication.h"
#include "bench/BoardGenerator.h"
#include "dialogs/CComponentGrid.h"
#include "dialogs/CComponentTableDlg.h"
#include "document/CDesign.h"
#include "document/CViewCommandHost.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridSheetInfo.h"
#include "model/CComponentArray.h"

namespace {

constexpr int screenWidth = 1920;
constexpr int screenHeight = 1080;

// The board view as the table sees it: it is told nothing here.
class CQuietView : public CViewCommandHost {
public:
    void Redraw(bool) override {}
};

// The tables take their headings from the language pack beside the program.
void LoadLanguagePack()
{
    static const bool loaded = CResourcePack::LoadFirstFound(
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    if (!loaded)
        std::fprintf(stderr, "no language pack beside the program: the tables have no columns\n");
}

// One generated design per size, kept for every benchmark of that size.
CWevraDoc& Design(int64_t components)
{
    static std::unique_ptr<CWevraDoc> doc;
    static int64_t made = -1;
    if (made != components) {
        doc = std::make_unique<CWevraDoc>();
        GenerateBoard(*doc, PlanOf(components));
        made = components;
    }
    return *doc;
}

// The rows in view as the window paints them.
void PaintRows(CComponentGrid& grid, QImage& image)
{
    grid.GetCellArea()->render(&image);
}

// Opening the component table: every row filled, the columns fitted, the rows in view painted;
// and closing it again.
void BM_ComponentTableOpen(benchmark::State& state)
{
    BenchApplication();
    LoadLanguagePack();
    CWevraDoc& doc = Design(state.range(0));
    CQuietView view;
    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        CComponentTableDlg table(doc.Design(), view);
        table.show();
        PaintRows(*table.GetComponentGrid(), image);
        benchmark::DoNotOptimize(table.GetComponentGrid()->GetNumberRows());
    }
    state.counters["rows"] = double(doc.Design().GetComponents().GetCount());
}
BENCHMARK(BM_ComponentTableOpen)->Arg(2000)->Arg(40000)->Unit(benchmark::kMillisecond);

// A click on a heading: references in natural order (each click turns the order round), the
// type as text, the X position as a number.
void BM_ComponentTableSort(benchmark::State& state)
{
    BenchApplication();
    LoadLanguagePack();
    CWevraDoc& doc = Design(state.range(0));
    CQuietView view;
    CComponentTableDlg table(doc.Design(), view);
    CComponentGrid& grid = *table.GetComponentGrid();
    const int col = int(state.range(1));
    for (auto _ : state)
        grid.SortOnHeading(col);
    state.counters["rows"] = double(grid.GetNumberRows());
}
BENCHMARK(BM_ComponentTableSort)
    ->ArgsProduct({{40000},
                   {CComponentGrid::colReference, CComponentGrid::colType, CComponentGrid::colX}})
    ->Unit(benchmark::kMillisecond);

// Scrolling a page down and painting the rows that came into view.
void BM_ComponentTableScrollPage(benchmark::State& state)
{
    BenchApplication();
    LoadLanguagePack();
    CWevraDoc& doc = Design(state.range(0));
    CQuietView view;
    CComponentTableDlg table(doc.Design(), view);
    table.show();
    CComponentGrid& grid = *table.GetComponentGrid();
    QImage image(screenWidth, screenHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        if (grid.GetTopRow() >= grid.GetSheet()->m_maxTopRow)
            grid.MoveTopRow(0);
        grid.TopRowAction(GM_PAGE_FORWARD);
        PaintRows(grid, image);
    }
    state.counters["rows"] = double(grid.GetNumberRows());
    state.counters["rowsInView"] = double(grid.GetSheet()->m_bottomRow - grid.GetTopRow() + 1);
}
BENCHMARK(BM_ComponentTableScrollPage)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace
