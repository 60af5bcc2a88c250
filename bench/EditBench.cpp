#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include <QImage>
#include <QPainter>

#include "bench/BenchApplication.h"
#include "bench/BoardGenerator.h"
#include "bench/CScreenViews.h"
#include "document/CDesign.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/qt/CQtDeviceContext.h"
#include "framework/qt/CQtImageCopy.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTrackTool.h"
#include "resources/CommandIds.h"

// What a user does a thousand times on a big board, through the document and tool code the
// editor's commands run: each case's time is the edit itself; "repaint" is the repaint of the
// board the view makes after it, "undo" and "redo" take the edit back and again.
namespace {

constexpr int32_t screenWidth = CScreenViews::width;
constexpr int32_t screenHeight = CScreenViews::height;

struct CEditedBoard {
    CScreenViews views;
    CWevraDoc doc;
    int64_t components = 0;
    QImage image{screenWidth, screenHeight, QImage::Format_RGB32};
    QImage frame{screenWidth, screenHeight, QImage::Format_RGB32};
    int32_t wholeRepaints = 0;
    ~CEditedBoard() { doc.SetViews(nullptr); }
};

// The last board made is kept for the next case of the same size; every case leaves it as it
// found it.
CEditedBoard& EditedBoard(int64_t components)
{
    BenchApplication();
    static std::unique_ptr<CEditedBoard> kept;
    if (kept && kept->components == components)
        return *kept;
    kept.reset();
    kept = std::make_unique<CEditedBoard>();
    kept->components = components;
    CWevraDoc& doc = kept->doc;
    doc.SetViews(&kept->views);
    GenerateBoard(doc, PlanOf(components));
    doc.View().ZoomAll();
    doc.View().ScrollBy(0, doc.Design().GetBoardHeight());
    return *kept;
}

double SecondsOf(const auto& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The repaint after an edit, as the view makes it: the board picture in the buffer that holds
// the last one is drawn again where it changed (whole when it must), then the selection, when there
// is one, over a copy of it.
double Repaint(CEditedBoard& board)
{
    return SecondsOf([&] {
        {
            QPainter painter(&board.image);
            CQtDeviceContext dc(painter);
            const bool whole = board.doc.Paint().RedrawBoard(
                dc, &board.image, CRect(0, 0, screenWidth, screenHeight), RGB(0x60, 0x60, 0x60),
                [](CDeviceContext&) {});
            board.wholeRepaints += whole ? 1 : 0;
        }
        CQtImageCopy::Copy(board.image, board.image.rect(), board.frame, QPoint(0, 0));
        QPainter painter(&board.frame);
        CQtDeviceContext dc(painter);
        if (board.doc.Session().GetSelectedCount() > 0)
            board.doc.Paint().DrawSelection(dc);
    });
}

// Times of the parts of each round, in milliseconds a round.
struct CRoundTimes {
    double repaint = 0;
    double undo = 0;
    double redo = 0;
    void Report(benchmark::State& state) const
    {
        const auto perRound = [&](double seconds) {
            return benchmark::Counter(1e3 * seconds, benchmark::Counter::kAvgIterations);
        };
        state.counters["repaint_ms"] = perRound(repaint);
        state.counters["undo_ms"] = perRound(undo);
        state.counters["redo_ms"] = perRound(redo);
    }
};

// The edit, its repaint, Undo and its repaint, Redo and its repaint, then Undo again untimed;
// `prepare` runs untimed before each edit.
void TimeEditRounds(benchmark::State& state, CEditedBoard& board, const auto& edit,
                    const auto& prepare)
{
    CWevraDoc& doc = board.doc;
    CRoundTimes times;
    Repaint(board);
    board.wholeRepaints = 0;
    for (auto _ : state) {
        prepare();
        state.SetIterationTime(SecondsOf(edit));
        times.repaint += Repaint(board) / 3;
        times.undo += SecondsOf([&] { doc.History().Undo(); });
        times.repaint += Repaint(board) / 3;
        times.redo += SecondsOf([&] { doc.History().Redo(); });
        times.repaint += Repaint(board) / 3;
        doc.History().Undo();
    }
    times.Report(state);
    // Of the three repaints a round makes, how many drew the whole board.
    state.counters["whole_repaints"] =
        benchmark::Counter(board.wholeRepaints, benchmark::Counter::kAvgIterations);
}

void TimeEditRounds(benchmark::State& state, CEditedBoard& board, const auto& edit)
{
    TimeEditRounds(state, board, edit, [] {});
}

// Every edit bench: the board sizes, a fixed count of rounds (each round changes the board it
// runs on and takes it back) and the edit's own time.
void EditRounds(benchmark::internal::Benchmark* bench)
{
    bench->Arg(2000)->Arg(32000)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
}

// Selects components next to one another, from the middle of the board on, until they have at
// least `pins` pins.
int32_t SelectComponentsWithPins(CWevraDoc& doc, int32_t pins)
{
    CComponentArray& components = doc.Design().GetComponents();
    int32_t selected = 0;
    for (int32_t i = components.GetCount() / 2; i < components.GetCount() && selected < pins; ++i) {
        components.Select(i, true);
        selected += components.GetComponent(i)->GetPadCount(doc.Design().GetShapeCache());
    }
    return selected;
}

// A block of components with 100 pins moved as a drag moves it: their pins move in their nets,
// whose ratsnest and ToDo are made again from them.
void BM_EditMoveComponents(benchmark::State& state)
{
    CEditedBoard& board = EditedBoard(state.range(0));
    CWevraDoc& doc = board.doc;
    doc.Session().SetMode(ID_EDIT_SELECT_MODE);
    state.counters["pins"] = SelectComponentsWithPins(doc, 100);
    // As a drag does: the first move after the drag starts takes the snapshot.
    TimeEditRounds(state, board, [&] {
        doc.Session().SetAction(CEditState::actionDragging);
        doc.Editing().MoveSelection(5000, 2500);
        doc.Session().SetAction(CEditState::actionWaiting);
    });
    doc.Session().SelectAll(false);
    doc.Session().SetMode(ID_VIEW);
}
BENCHMARK(BM_EditMoveComponents)->Apply(EditRounds);

// 100 components deleted with whatever they carry.
void BM_EditDeleteSelection(benchmark::State& state)
{
    CEditedBoard& board = EditedBoard(state.range(0));
    CWevraDoc& doc = board.doc;
    doc.Session().SetMode(ID_EDIT_SELECT_MODE);
    CComponentArray& components = doc.Design().GetComponents();
    const auto select = [&] {
        for (int32_t i = components.GetCount() / 2; i < components.GetCount() / 2 + 100; ++i)
            components.Select(i, true);
    };
    TimeEditRounds(
        state, board, [&] { doc.Editing().DeleteSelection(); },
        [&] {
            doc.Session().SelectAll(false);
            select();
        });
    doc.Session().SelectAll(false);
    doc.Session().SetMode(ID_VIEW);
}
BENCHMARK(BM_EditDeleteSelection)->Apply(EditRounds);

// A track segment drawn with the track tool from a pin out into the board: a click on the pin,
// the mouse to the segment's end, a click there and the tool's end.
void BM_EditAddTrackSegment(benchmark::State& state)
{
    CEditedBoard& board = EditedBoard(state.range(0));
    CWevraDoc& doc = board.doc;
    CEditSession& session = doc.Session();
    const CComponent& component =
        *doc.Design().GetComponents().GetComponent(doc.Design().GetComponents().GetCount() / 2);
    const CPoint pin = component.GetPadPosition(0, doc.Design().GetShapeCache());
    CTrackTool& tool = doc.Design().GetNets().GetTrackTool();
    session.SetMode(ID_TRACKS_ADD);
    TimeEditRounds(state, board, [&] {
        session.State().rawCursor = pin;
        session.MoveCursorTo(pin);
        tool.OnTrackToolClick(session);
        session.MoveCursorTo(CPoint(pin.x + 50000, pin.y));
        tool.OnTrackToolMouseMove(session);
        tool.OnTrackToolClick(session);
        tool.EndTrackTool(session);
    });
    session.SetMode(ID_VIEW);
}
BENCHMARK(BM_EditAddTrackSegment)->Apply(EditRounds);

// A track segment taken away with the tool for deleting segments: a click on its middle.
void BM_EditDeleteTrackSegment(benchmark::State& state)
{
    CEditedBoard& board = EditedBoard(state.range(0));
    CWevraDoc& doc = board.doc;
    CEditSession& session = doc.Session();
    const CNetArray& nets = doc.Design().GetNets();
    // The first segment of a net from the middle of the board on.
    CPoint middle;
    int32_t layer = -1;
    int32_t net = nets.GetCount() / 2;
    for (; net < nets.GetCount() && layer < 0; ++net) {
        const CNet& candidate = *nets.GetNet(net);
        for (int32_t i = 1; i < candidate.GetVertexCount() && layer < 0; ++i) {
            const TrackRec& rec = candidate.GetVertex(i);
            const TrackRec& prev = candidate.GetVertex(i - 1);
            if (rec.IsPad() || prev.IsPad() || !rec.IsDrawn())
                continue;
            middle = CPoint((rec.x + prev.x) / 2, (rec.y + prev.y) / 2);
            layer = rec.GetLayer();
        }
    }
    session.SetWorkLayer(layer);
    session.SetMode(ID_TRACKS_DELETE_SEGMENTS);
    CTrackTool& tool = doc.Design().GetNets().GetTrackTool();
    const int32_t vertices = nets.GetNet(net - 1)->GetVertexCount();
    int32_t deleted = 0;
    TimeEditRounds(state, board, [&] {
        session.State().rawCursor = middle;
        session.MoveCursorTo(middle);
        tool.OnTrackToolClick(session);
        deleted += nets.GetNet(net - 1)->GetVertexCount() < vertices ? 1 : 0;
    });
    // Each round's click took the segment away.
    state.counters["deleted"] = benchmark::Counter(deleted, benchmark::Counter::kAvgIterations);
    session.SetMode(ID_VIEW);
}
BENCHMARK(BM_EditDeleteTrackSegment)->Apply(EditRounds);

// Select All and the repaint of the board in the selection's colours.
void BM_EditSelectAll(benchmark::State& state)
{
    CEditedBoard& board = EditedBoard(state.range(0));
    CWevraDoc& doc = board.doc;
    doc.Session().SetMode(ID_EDIT_SELECT_MODE);
    double repaint = 0;
    for (auto _ : state) {
        state.SetIterationTime(SecondsOf([&] { doc.Session().SelectAll(true); }));
        repaint += Repaint(board);
        doc.Session().SelectAll(false);
    }
    state.counters["repaint_ms"] =
        benchmark::Counter(1e3 * repaint, benchmark::Counter::kAvgIterations);
    doc.Session().SetMode(ID_VIEW);
}
BENCHMARK(BM_EditSelectAll)->Apply(EditRounds);

} // namespace
