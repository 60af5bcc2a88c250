#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "bench/BoardGenerator.h"
#include "dialogs/CEditTextDlg.h"
#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CSelCompTextDlg.h"
#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CStatusLine.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/CCommandRouter.h"
#include "framework/CDrawList.h"
#include "framework/CWorkPool.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/NetPinRec.h"
#include "model/TrackRec.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

// The sample design in the program's main window, driven by mouse and key events as a user
// drives it.
class CBoardViewInputTest : public CDemoWindowTest {
protected:
    CBoardViewInputTest() : CDemoWindowTest("wevra_board_view_input_test") {}

    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        FocusWholeBoard();
    }

    void ExpectStatusPanesShowTheCursor() const
    {
        const auto panes =
            CStatusLine::Format(document->Design(), document->Session(), document->View());
        for (int pane = 1; pane < CStatusLine::cursorPaneCount; ++pane)
            EXPECT_EQ(frame->GetPaneText(pane), panes[size_t(pane)]) << "pane " << pane;
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view, key, modifiers);
    }
    // What the board holds, leaving aside what is selected or current.
    std::vector<int64_t> Content() const
    {
        const CDesign& design = document->Design();
        std::vector<int64_t> values;
        const CNetArray& nets = design.GetNets();
        for (int32_t n = 0; n < nets.GetCount(); ++n) {
            for (int32_t v = 0; v < nets.GetNet(n)->GetVertexCount(); ++v) {
                const TrackRec& rec = nets.GetNet(n)->GetVertex(v);
                values.insert(values.end(), {n, rec.x, rec.y, rec.penLayer,
                                             int64_t(rec.flags & TrackRec::rotationMask)});
            }
        }
        const CComponentArray& components = design.GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            const CComponent& part = *components.GetComponent(i);
            values.insert(values.end(),
                          {part.GetShapeIndex(), part.GetPosition().x, part.GetPosition().y,
                           part.GetTextPoint(CComponent::textReference).x,
                           part.GetTextPoint(CComponent::textReference).y});
        }
        for (const auto& plane : design.GetPlanes()) {
            for (int32_t v = 0; v < plane->GetOutline().GetSize(); ++v)
                values.insert(values.end(), {plane->GetOutline()[v].x, plane->GetOutline()[v].y});
        }
        const CTextArray& texts = design.GetTexts();
        for (int32_t i = 0; i < texts.GetCount(); ++i)
            values.insert(values.end(),
                          {texts.GetText(i)->GetPosition().x, texts.GetText(i)->GetPosition().y});
        const CDrawRecArray& lines = design.GetLines();
        for (int32_t i = 0; i < lines.GetCount(); ++i)
            values.insert(values.end(), {lines.GetRecord(i).x, lines.GetRecord(i).y,
                                         lines.GetRecord(i).penLayer});
        return values;
    }
};

TEST_F(CBoardViewInputTest, MouseAndKeysEditTheSampleDesign)
{
    // Ctrl+Z belongs to Undo, which has nothing to undo: it does nothing, and it is not the
    // Z key's zoom list either.
    document->SetModifiedFlag(false);
    ASSERT_FALSE(frame->GetRouter().Query(ID_EDIT_UNDO).enabled);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(services.listPicker.GetShown().empty());
    services.listPicker.QueueAnswer(-1);
    Press(Qt::Key_Z);
    EXPECT_EQ(services.listPicker.GetShown().size(), 1u);

    // Moving the mouse moves the snapped cursor and the status panes with it.
    const QPoint middle(Client()->width() / 2, Client()->height() / 2);
    MoveMouse(middle);
    const CPoint cursor = document->Session().GetCursor();
    EXPECT_NE(cursor, CPoint(0, 0));
    ExpectStatusPanesShowTheCursor();
    const CWevraDoc fresh;
    EXPECT_NE(frame->GetPaneText(1),
              CStatusLine::Format(fresh.Design(), fresh.Session(), fresh.View())[1]);

    // The arrow keys step the cursor by the snap step.
    const CSize step = document->Design().GetGridSettings().GetCurrentSnap();
    Press(Qt::Key_Right);
    EXPECT_EQ(document->Session().GetCursor().x, cursor.x + step.cx);
    ExpectStatusPanesShowTheCursor();

    // Select: two clicks span a band over the whole board; the components are selected.
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_SELECT_MODE));
    for (const uint32_t filter :
         {ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, ID_EDIT_SELECTION_FILTERS_COMPONENTS}) {
        if (frame->GetRouter().Query(filter).check == CCmdUI::unchecked) {
            ASSERT_TRUE(frame->GetRouter().Execute(filter));
        }
    }
    const QRect client = Client()->rect();
    const auto inside = [&client](QPoint p) {
        return QPoint(std::clamp(p.x(), 0, client.right()), std::clamp(p.y(), 0, client.bottom()));
    };
    const QPoint topLeft = inside(PixelOf(0, 0) - QPoint(2, 2));
    const QPoint bottomRight =
        inside(PixelOf(document->Design().GetBoardWidth(), document->Design().GetBoardHeight()) +
               QPoint(2, 2));
    MoveMouse(topLeft);
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, topLeft);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionBandOpen);
    MoveMouse(bottomRight);
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, bottomRight);
    ASSERT_EQ(document->Session().GetAction(), CEditState::actionBandClosed);
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 0);
    EXPECT_EQ(components.GetSelectedCount(), components.GetCount());

    // A drag inside the band moves the selection with the snapped cursor.
    const CPoint before = components.GetPosition(0);
    MoveMouse(middle);
    const CPoint grabbed = document->Session().GetCursor();
    QTest::mousePress(Client(), Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionDragging);
    MoveMouse(middle + QPoint(40, 0), Qt::LeftButton);
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, middle + QPoint(40, 0));
    const int32_t moved = document->Session().GetCursor().x - grabbed.x;
    EXPECT_GT(moved, 0);
    EXPECT_EQ(components.GetPosition(0), CPoint(before.x + moved, before.y));
    EXPECT_TRUE(document->IsModified());
    // The drop: nothing stays selected.
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, middle + QPoint(40, 0));
    EXPECT_EQ(document->Session().GetSelectedCount(), 0);

    // Esc while waiting ends the Select tool.
    Press(Qt::Key_Escape);
    EXPECT_TRUE(document->Session().IsMode(ID_VIEW));

    // The right button opens the mode's menu: the idle tool offers the editing tools first
    // and the zoom commands last.
    std::vector<uint32_t> shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                shown.push_back(action->isSeparator() ? 0 : action->data().toUInt());
            menu->close();
        }
    });
    // The window system turns the right button into the context menu event.
    QContextMenuEvent rightButton(QContextMenuEvent::Mouse, middle, Client()->mapToGlobal(middle));
    QApplication::sendEvent(Client(), &rightButton);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown.front() == ID_TRACKS_EDIT || shown.front() == ID_LINES_EDIT);
    EXPECT_EQ(shown.back(), uint32_t(ID_VIEW_ZOOM_ALL));

    // Digits choose the work layer; Shift+digit by the key, whatever character it types.
    Press(Qt::Key_2);
    EXPECT_EQ(document->Session().GetWorkLayer(), 2);
    const int32_t expected = document->Design().GetLayers().IsEnabled(11) ? 11 : 2;
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, 10, 0x21, 0, "!");
    QApplication::sendEvent(view, &shifted);
    EXPECT_EQ(document->Session().GetWorkLayer(), expected);
    Press(Qt::Key_1);
    EXPECT_EQ(document->Session().GetWorkLayer(), 1);

    // I and O zoom about the cursor.
    const int32_t scale = document->View().GetScale();
    Press(Qt::Key_I);
    EXPECT_LT(document->View().GetScale(), scale);
    Press(Qt::Key_O);
    EXPECT_EQ(document->View().GetScale(), scale);
}

// After an edit the view draws its board picture again only where the board changed, and what
// it shows is the whole picture of the board as it now is; Undo and Redo do the same, and a
// change of the view itself draws everything.
TEST_F(CBoardViewInputTest, AnEditRepaintsWhereTheBoardChangedAndShowsTheWholeTruth)
{
    const auto paint = [this] {
        Client()->repaint();
        return view->WasLastRenderWhole();
    };
    // The band takes components without their tracks.
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_SELECT_MODE));
    const auto setFilter = [this](uint32_t filter, bool on) {
        if ((frame->GetRouter().Query(filter).check != CCmdUI::unchecked) != on) {
            ASSERT_TRUE(frame->GetRouter().Execute(filter));
        }
    };
    setFilter(ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, true);
    setFilter(ID_EDIT_SELECTION_FILTERS_COMPONENTS, true);
    setFilter(ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS, false);
    setFilter(ID_EDIT_SELECTION_FILTERS_SELECT_SEGMENTS, false);
    setFilter(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, false);
    setFilter(ID_EDIT_SELECTION_FILTERS_VIAS, false);
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 0);
    // A component on no net, whose move changes the board about itself only.
    CComponent& loose = *components.GetComponent(0);
    for (int32_t pad = 0; pad < loose.GetPadCount(document->Design().GetShapeCache()); ++pad)
        loose.SetPadNet(pad, 0, document->Design().GetNets().GetCount());
    document->Design().RebuildNetPins();
    document->Design().GetNets().RecalcAll();
    // The board small in the view, so that what changes about one component is a small part.
    QTest::keyClick(view, Qt::Key_O);
    QTest::keyClick(view, Qt::Key_O);
    view->Redraw(true);
    const CRect box = components.GetBox(0);
    const QPoint corner = PixelOf(box.left, box.top) - QPoint(2, 2);
    const QPoint opposite = PixelOf(box.right, box.bottom) + QPoint(2, 2);
    MoveMouse(corner);
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, corner);
    MoveMouse(opposite);
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, opposite);
    ASSERT_GT(components.GetSelectedCount(), 0);
    paint();

    const QPoint grab = (corner + opposite) / 2;
    MoveMouse(grab);
    QTest::mousePress(Client(), Qt::LeftButton, Qt::NoModifier, grab);
    MoveMouse(grab + QPoint(30, 10), Qt::LeftButton);
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, grab + QPoint(30, 10));
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, grab + QPoint(30, 10));
    ASSERT_EQ(document->Session().GetSelectedCount(), 0);
    EXPECT_FALSE(paint()) << "the drop";
    EXPECT_TRUE(view->IsBackBufferWhole());

    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(paint()) << "Undo";
    EXPECT_TRUE(view->IsBackBufferWhole());
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(paint()) << "Redo";
    EXPECT_TRUE(view->IsBackBufferWhole());

    // Select All takes every item out of the board picture into the selection's overlay.
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(components.GetSelectedCount(), components.GetCount());
    paint();
    EXPECT_TRUE(view->IsBackBufferWhole()) << "Select All";

    QTest::keyClick(view, Qt::Key_I);
    EXPECT_TRUE(paint()) << "a zoom";
    EXPECT_TRUE(view->IsBackBufferWhole());
}

// A board big enough for its drawing to be cut into bands of rows played on every core, opened
// with File > Open and selected whole with Ctrl+A: the screen shows what one thread paints.
TEST_F(CBoardViewInputTest, ABigBoardShowsOnEveryCoreWhatOneThreadShows)
{
    const std::filesystem::path big = design.parent_path() / "BIG.PCB";
    {
        CWevraDoc source;
        const BoardCounts counts = GenerateBoard(source, PlanOf(17000));
        ASSERT_GE(size_t(std::min(counts.nets, counts.components)), CDrawList::minBandedItems);
        ASSERT_TRUE(source.OnSaveDocument(big.string()));
    }
    // The labels' texts are laid out first on this thread: the fonts Qt keeps for the pool's
    // threads would outlive the application object the suite deletes.
    const int threadsWere = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(1);
    services.fileDialogs.QueueFile(big.string());
    ASSERT_TRUE(frame->GetRouter().Execute(ID_FILE_OPEN));
    document = frame->GetDocTemplate().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    auto* child = dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
    ASSERT_NE(child, nullptr);
    view = child->GetBoardView();
    FocusWholeBoard();
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_SELECT_MODE));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    const CComponentArray& components = document->Design().GetComponents();
    ASSERT_EQ(components.GetSelectedCount(), components.GetCount());
    const auto shown = [this] {
        view->Redraw(true);
        Client()->repaint();
        return Client()->grab().toImage();
    };
    const QImage one = shown();
    for (const int threads : {3, 8}) {
        CWorkPool::SetThreadCount(threads);
        EXPECT_EQ(shown(), one) << threads << " threads";
    }

    // A click of the track tool finds the first net, in order, with a pin under it; which nets
    // may have one there is asked on every core, block by block of nets.
    CNetArray& nets = document->Design().GetNets();
    int32_t last = nets.GetCount() - 1;
    while (last > 0 && nets.GetNet(last)->GetPinCount() == 0)
        --last;
    ASSERT_GT(last, 16384) << "a net past the first block";
    const NetPinRec pin = std::as_const(nets).GetNet(last)->GetPin(0);
    for (const int threads : {1, 8}) {
        CWorkPool::SetThreadCount(threads);
        nets.SetCurrentNet(0);
        CPoint at(pin.x, pin.y);
        EXPECT_GE(nets.FindPinAt(at, CNet::hitMakeNetCurrent, LAYER_MASK_ALL), 0);
        EXPECT_EQ(nets.GetCurrentIndex(), last) << threads << " threads";
    }
    CWorkPool::SetThreadCount(threadsWere);
}

// A track run started and abandoned leaves no undo step and the modified mark as it was: Esc
// on the first click's run, Enter and Esc on the runs Enter starts at the end of a kept one,
// and a run refused for want of a pen. The kept run is one undo step, and the redo tail survives a
// run refused.
TEST_F(CBoardViewInputTest, ARunThatChangesNothingLeavesNoUndoStep)
{
    CNetArray& nets = document->Design().GetNets();
    const auto tracks = [&nets] {
        std::vector<std::vector<CPoint>> points(size_t(nets.GetCount()));
        for (int32_t n = 0; n < nets.GetCount(); ++n) {
            for (int32_t v = 0; v < nets.GetNet(n)->GetVertexCount(); ++v)
                points[size_t(n)].push_back(nets.GetNet(n)->GetVertexPoint(v));
        }
        return points;
    };
    const auto title = [this] {
        frame->UpdateCommandUI();
        return frame->windowTitle().toStdString();
    };
    const auto click = [this](QPoint pixel) {
        MoveMouse(pixel);
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, pixel);
    };
    const QPoint middle(Client()->width() / 2, Client()->height() / 2);
    const QPoint right = middle + QPoint(60, 0);
    const QPoint below = right + QPoint(0, 60);
    Press(Qt::Key_1);
    ASSERT_TRUE(frame->GetRouter().Execute(ID_PLANES_REFILL_ALL));
    ASSERT_EQ(document->Design().FindStalePlane(), nullptr);
    ASSERT_TRUE(frame->GetRouter().Execute(ID_TRACKS_ADD));
    document->SetModifiedFlag(false);
    ASSERT_FALSE(document->History().CanUndo());
    const auto original = tracks();
    const int32_t undoCount = document->History().GetUndoCount();

    click(middle);
    ASSERT_EQ(document->Session().GetAction(), CEditState::actionDragging);
    const int32_t runNet = nets.GetCurrentIndex();
    MoveMouse(right);
    ASSERT_NE(tracks(), original) << "the run follows the mouse";
    Press(Qt::Key_Escape);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(tracks(), original);
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(title().find('*'), std::string::npos) << title();
    EXPECT_FALSE(frame->GetRouter().Query(ID_EDIT_UNDO).enabled);
    EXPECT_EQ(document->History().GetUndoCount(), undoCount);
    // The plane filled before the run still fits the copper: no refill is asked for.
    EXPECT_EQ(document->Design().FindStalePlane(), nullptr);

    // A run kept by Enter, which starts the next at its end; Enter again before the mouse
    // moves ends that one with nothing added, and Esc abandons the third.
    click(middle);
    click(right);
    Press(Qt::Key_Return);
    ASSERT_EQ(document->Session().GetAction(), CEditState::actionDragging);
    Press(Qt::Key_Return);
    ASSERT_EQ(document->Session().GetAction(), CEditState::actionDragging);
    MoveMouse(below);
    Press(Qt::Key_Escape);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionWaiting);
    const auto kept = tracks();
    EXPECT_NE(kept, original);
    EXPECT_EQ(document->History().GetUndoCount(), undoCount + 1);
    EXPECT_TRUE(document->IsModified());
    EXPECT_NE(title().find('*'), std::string::npos) << title();
    EXPECT_FALSE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);

    // One Undo takes the kept run away.
    ASSERT_TRUE(frame->GetRouter().Query(ID_EDIT_UNDO).enabled);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tracks(), original);
    EXPECT_TRUE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);
    const int32_t steps = document->History().GetUndoCount();
    const int32_t index = document->History().GetUndoIndex();

    // A net without a pen to draw with (as a damaged design may hold) refuses the run: nothing
    // changes, and Redo still brings the kept run back.
    nets.GetNet(runNet)->SetCurrentPen(0);
    click(middle);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(frame->statusBar()->findChildren<QLabel*>().front()->text().toStdString(),
              "No track was started: net " + nets.GetNet(runNet)->GetName() +
                  " has no pen to draw with. Choose one with Select Pen (W).");
    EXPECT_EQ(tracks(), original);
    EXPECT_EQ(document->History().GetUndoCount(), steps);
    EXPECT_EQ(document->History().GetUndoIndex(), index);
    ASSERT_TRUE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_REDO));
    EXPECT_EQ(tracks(), kept);
}

// Each tool's edit, ended every way a user ends it, once moved back to where it began and once
// left moved: an edit that leaves the design as it was leaves no undo step and no modified
// mark, and one that changed it leaves one step that one Undo takes back.
TEST_F(CBoardViewInputTest, AnEditThatChangesNothingLeavesNoStepWhateverEndsIt)
{
    CDesign& design = document->Design();
    const std::vector<uint8_t> start = document->SaveDesignBytes();
    const auto content = [this] { return Content(); };
    const auto pinOf = [&design](const std::string& reference, int32_t pad) {
        const int32_t part = design.GetComponents().FindByReference(reference);
        const CNetArray& nets = design.GetNets();
        for (int32_t n = 1; n < nets.GetCount(); ++n) {
            for (int32_t p = 0; p < nets.GetNet(n)->GetPinCount(); ++p) {
                const NetPinRec& pin = nets.GetNet(n)->GetPin(p);
                if (pin.component == part && pin.pad == pad)
                    return CPoint(pin.x, pin.y);
            }
        }
        return CPoint();
    };
    // A corner of a track on the top layer between two others, away from the pins.
    CPoint corner;
    for (int32_t n = 1; n < design.GetNets().GetCount() && corner == CPoint(); ++n) {
        const CNet& net = *design.GetNets().GetNet(n);
        for (int32_t v = 1; v + 1 < net.GetVertexCount() && corner == CPoint(); ++v) {
            bool atPin = false;
            for (int32_t p = 0; p < net.GetPinCount(); ++p)
                atPin = atPin || CPoint(net.GetPin(p).x, net.GetPin(p).y) == net.GetVertexPoint(v);
            if (net.GetVertex(v).IsDrawn() && net.GetVertex(v + 1).IsDrawn() && !atPin &&
                net.GetVertex(v).GetLayer() == LAYER_TOP)
                corner = net.GetVertexPoint(v);
        }
    }
    ASSERT_NE(corner, CPoint());
    const CComponent& u1 =
        *design.GetComponents().GetComponent(design.GetComponents().FindByReference("U1"));
    const CPoint u1Text = u1.GetTextPoint(CComponent::textReference);
    // A point on the grid with nothing of copper there.
    const CPoint free(25600, design.GetBoardHeight() - 25600);
    ASSERT_FALSE(design.GetPlanes().empty());
    const CPoint planeCorner = design.GetPlanes().front()->GetOutline()[0];

    // Starts that are more than a click at the item: the dialog the tool shows first answered.
    const auto textDialog = [this](QPoint at) {
        WhenDialog([](QWidget* dialog) {
            dialog_test::Type(dialog, CEditTextDlg::idText, "T");
            dialog_test::Click(dialog, CWevraDialog::idOk);
        });
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, at);
    };
    const auto shapeDialog = [this](QPoint) {
        WhenDialog([](QWidget* dialog) { dialog_test::Click(dialog, CWevraDialog::idOk); });
        ASSERT_TRUE(frame->GetRouter().Execute(ID_COMPONENTS_ADD));
    };
    enum class End { enter, click, rightClick, escape, undo, menuCommand };
    const struct {
        const char* tool;
        uint32_t mode;
        CPoint at;
        int32_t layer;
        // The edit starts where the item was clicked, off the grid that the keys step on.
        bool returns;
        // The edit puts down a new item, which stays unless the edit is abandoned.
        bool places = false;
        std::function<void(QPoint)> start = nullptr;
    } tools[] = {
        {"track run from a pin", ID_TRACKS_ADD, pinOf("U1", 3), LAYER_TOP, false},
        {"track run", ID_TRACKS_ADD, free, LAYER_TOP, true},
        {"vertex edit", ID_TRACKS_EDIT, corner, LAYER_TOP, true},
        {"component move", ID_COMPONENTS_MOVE_ROTATE, pinOf("R2", 0), LAYER_TOP, true},
        {"text move", ID_COMPONENTS_MOVE_ROTATE_TEXT, u1Text, LAYER_TOP, false},
        {"plane edit", ID_PLANES_EDIT_POLYLINE, planeCorner, design.GetPlanes().front()->GetLayer(),
         false},
        {"text placed", ID_BOARD_PLACE_TEXT, free, LAYER_TOP, false, true, textDialog},
        {"component added", ID_EDIT_SELECT_MODE, free, LAYER_TOP, false, true, shapeDialog},
        {"track copy", ID_TRACKS_COPY_TRACKS, corner, LAYER_TOP, false, true},
    };
    enum class Move { none, andBack, away };
    const std::pair<End, const char*> ends[] = {
        {End::enter, "Enter"}, {End::click, "click"}, {End::rightClick, "right click"},
        {End::escape, "Esc"},  {End::undo, "Undo"},   {End::menuCommand, "menu command"}};
    const auto endEdit = [&](End end, QPoint pixel) {
        switch (end) {
        case End::enter:
            Press(Qt::Key_Return);
            break;
        case End::click:
            QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, pixel);
            break;
        case End::rightClick: {
            // The first entry of the tool's menu ends its edit.
            QTimer::singleShot(0, [] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    const auto actions = menu->actions();
                    const auto first = std::find_if(actions.begin(), actions.end(),
                                                    [](QAction* a) { return !a->isSeparator(); });
                    if (first != actions.end())
                        (*first)->trigger();
                    menu->close();
                }
            });
            QContextMenuEvent rightButton(QContextMenuEvent::Mouse, pixel,
                                          Client()->mapToGlobal(pixel));
            QApplication::sendEvent(Client(), &rightButton);
            break;
        }
        case End::escape:
            Press(Qt::Key_Escape);
            break;
        case End::undo:
            Press(Qt::Key_Z, Qt::ControlModifier);
            break;
        case End::menuCommand:
            ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_SELECT_MODE));
            break;
        }
    };

    const auto original = content();
    for (const auto& tool : tools) {
        for (const auto& [end, endName] : ends) {
            for (const Move move : {Move::none, Move::andBack, Move::away}) {
                if (move == Move::andBack && !tool.returns)
                    continue;
                const bool moved = move == Move::away;
                SCOPED_TRACE(std::string(tool.tool) + ", " + endName +
                             (move == Move::none      ? ", still"
                              : move == Move::andBack ? ", moved back"
                                                      : ", moved"));
                document->RestoreDesign(start);
                // The layer of the item, where the tool finds it.
                document->Session().SetWorkLayer(tool.layer);
                document->Session().SetPlaneIndex(0);
                if (tool.mode == ID_COMPONENTS_MOVE_ROTATE_TEXT) {
                    // The tool asks first which of the texts it moves.
                    QTimer::singleShot(0, [] {
                        QWidget* dialog = QApplication::activeModalWidget();
                        ASSERT_NE(dialog, nullptr);
                        dialog_test::Click(dialog, CSelCompTextDlg::idReference);
                        dialog_test::Click(dialog, CWevraDialog::idOk);
                    });
                }
                ASSERT_TRUE(frame->GetRouter().Execute(tool.mode));
                FocusWholeBoard();
                // What the tool's start sets (the text kind shown) is not the edit's.
                document->History().Stack().Clear();
                document->SetModifiedFlag(false);
                const QPoint at = PixelOf(tool.at.x, tool.at.y);
                const QPoint away = at + QPoint(40, 30);
                MoveMouse(at);
                if (tool.start) {
                    tool.start(at);
                    // The dialog closed hands the keys back to the board.
                    frame->activateWindow();
                    view->setFocus();
                    QApplication::processEvents();
                } else
                    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, at);
                ASSERT_EQ(document->Session().GetAction(), CEditState::actionDragging);
                if (move == Move::away) {
                    MoveMouse(away);
                    ASSERT_NE(content(), original) << "the edit follows the mouse";
                } else if (move == Move::andBack) {
                    Press(Qt::Key_Right);
                    ASSERT_NE(content(), original) << "the edit follows the cursor";
                    Press(Qt::Key_Left);
                }
                endEdit(end, moved ? away : at);
                if (document->Session().GetAction() == CEditState::actionDragging) {
                    // Enter kept the run and started the next at its end: one Undo, at the
                    // first press, takes the kept run away with the open one.
                    if (moved && end == End::enter) {
                        Press(Qt::Key_Z, Qt::ControlModifier);
                        EXPECT_EQ(content(), original);
                        EXPECT_TRUE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);
                        continue;
                    }
                    // A click adds a corner to the run; Esc abandons what is still open.
                    Press(Qt::Key_Escape);
                }
                const bool changed = content() != original;
                if (moved && end == End::undo) {
                    // Undo pressed mid-edit takes the edit back; an item never put down leaves
                    // nothing to redo.
                    EXPECT_FALSE(changed);
                    EXPECT_EQ(frame->GetRouter().Query(ID_EDIT_REDO).enabled, !tool.places);
                    continue;
                }
                // A click ends a run from a pin at the snapped cursor, off the point clicked.
                if ((!tool.places && !moved && (tool.returns || end != End::click)) ||
                    end == End::escape) {
                    EXPECT_FALSE(changed);
                }
                if (tool.places && end == End::click) {
                    EXPECT_TRUE(changed);
                }
                EXPECT_EQ(document->History().GetUndoCount(), changed ? 1 : 0);
                EXPECT_EQ(document->IsModified(), changed);
                frame->UpdateCommandUI();
                EXPECT_EQ(frame->windowTitle().contains('*'), changed);
                EXPECT_EQ(frame->GetRouter().Query(ID_EDIT_UNDO).enabled, changed);
                if (!changed)
                    continue;
                // One Undo takes the change back at the first press, even with the next run
                // open.
                Press(Qt::Key_Z, Qt::ControlModifier);
                EXPECT_EQ(content(), original);
                EXPECT_TRUE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);
                Press(Qt::Key_Escape);
                Press(Qt::Key_Escape);
            }
        }
    }
}

// Commands that may find nothing to change, each driven as a user drives it: one that leaves
// the design as it was leaves no undo step and no modified mark; one that changes it leaves one
// step, which one Undo takes back.
TEST_F(CBoardViewInputTest, ACommandThatChangesNothingLeavesNoStep)
{
    CDesign& design = document->Design();
    const std::vector<uint8_t> start = document->SaveDesignBytes();
    const CNetArray& nets = design.GetNets();
    // A drawn track's corner on the top layer and the width of the segment after it.
    CPoint corner;
    int32_t cornerWidth = 0;
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 1; v + 1 < net.GetVertexCount(); ++v) {
            if (corner == CPoint() && net.GetVertex(v).IsDrawn() &&
                net.GetVertex(v + 1).IsDrawn() && net.GetVertex(v).GetLayer() == LAYER_TOP) {
                corner = net.GetVertexPoint(v);
                cornerWidth = net.GetVertexWidth(v + 1);
            }
        }
    }
    ASSERT_NE(corner, CPoint());
    const CComponentArray& components = design.GetComponents();
    const int32_t r2 = components.FindByReference("R2");
    const CPoint r2At = components.GetPosition(r2);
    const std::string r2Shape =
        design.GetShapeCache().GetShape(components.GetShapeIndex(r2))->GetName();
    const auto click = [this](CPoint at) {
        const QPoint pixel = PixelOf(at.x, at.y);
        MoveMouse(pixel);
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, pixel);
    };
    const auto ok = [](QWidget* dialog) { dialog_test::Click(dialog, CWevraDialog::idOk); };
    const auto cancel = [](QWidget* dialog) { dialog_test::Click(dialog, CWevraDialog::idCancel); };
    const auto centreTexts = [this, ok] {
        WhenDialog(ok);
        ASSERT_TRUE(frame->GetRouter().Execute(ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER));
    };

    const struct {
        const char* command;
        // What comes before, left out of the step.
        std::function<void()> before;
        std::function<void()> run;
        bool changes;
    } commands[] = {
        {"track width given the width it has",
         [&] {
             CNet& pens = *design.GetNets().GetNet(0);
             pens.SetCurrentPen(pens.FindPen(cornerWidth));
             ASSERT_EQ(pens.GetCurrentPenWidth(), cornerWidth);
             ASSERT_TRUE(frame->GetRouter().Execute(ID_TRACKS_CHANGE_TRACKS_WIDTH));
         },
         [&] { click(corner); }, false},
        {"component given the shape it has",
         [&] {
             WhenDialog([r2Shape](QWidget* dialog) {
                 dialog_test::ChooseRow(dialog, CGetShapeDlg::idShapes,
                                        QString::fromStdString(r2Shape), CWevraDialog::idOk);
             });
             ASSERT_TRUE(frame->GetRouter().Execute(ID_COMPONENTS_REPLACE_SHAPE));
         },
         [&] { click(r2At); }, false},
        {"component properties OK'd as shown",
         [&] { ASSERT_TRUE(frame->GetRouter().Execute(ID_COMPONENTS_PROPERTIES)); },
         [&] {
             WhenDialog(ok);
             click(r2At);
         },
         false},
        {"texts centred where they are", centreTexts, centreTexts, false},
        {"pen widths cancelled", [] {},
         [&] {
             WhenDialog(cancel);
             ASSERT_TRUE(frame->GetRouter().Execute(ID_SETTINGS_PEN_WIDTH));
         },
         false},
        {"route all with every net routed", [] {},
         [&] {
             ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER));
         },
         false},
        {"route all with a net to route",
         [&] { TakeTracksOfNet(design.GetNets().GetNet(1)->GetName()); },
         [&] {
             ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER));
         },
         true},
        {"unroute with nothing autorouted",
         [&] {
             CNetArray& routed = design.GetNets();
             for (int32_t n = 0; n < routed.GetCount(); ++n) {
                 for (int32_t v = 0; v < routed.GetNet(n)->GetVertexCount(); ++v)
                     routed.GetNet(n)->SetVertexAutorouted(v, false);
             }
         },
         [&] {
             ASSERT_TRUE(
                 frame->GetRouter().Execute(ID_TOOLS_AUTOROUTING_UNROUTE_ALL_ONLY_AUTOROUTED));
         },
         false},
        {"unroute net with no net current", [&] { design.GetNets().SetCurrentNet(0); },
         [&] { ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_AUTOROUTING_UNROUTE_NET)); }, false},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.command);
        document->RestoreDesign(start);
        document->Session().SetWorkLayer(LAYER_TOP);
        ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_SELECT_MODE));
        FocusWholeBoard();
        command.before();
        document->History().Stack().Clear();
        document->SetModifiedFlag(false);
        const auto before = Content();
        command.run();
        EXPECT_EQ(Content() != before, command.changes);
        EXPECT_EQ(document->History().GetUndoCount(), command.changes ? 1 : 0);
        EXPECT_EQ(document->IsModified(), command.changes);
        frame->UpdateCommandUI();
        EXPECT_EQ(frame->windowTitle().contains('*'), command.changes);
        EXPECT_EQ(frame->GetRouter().Query(ID_EDIT_UNDO).enabled, command.changes);
        if (!command.changes)
            continue;
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Content(), before);
        EXPECT_TRUE(frame->GetRouter().Query(ID_EDIT_REDO).enabled);
    }
}

// What a click left behind.
struct ClickOutcome {
    std::vector<uint8_t> design;
    uint32_t mode = 0;
    uint32_t action = 0;
    int32_t currentNet = 0;
    bool modified = false;
    bool operator==(const ClickOutcome&) const = default;
};

// In every tool the space bar is the click: pressed at the cursor it does what the left button
// does there.
TEST_F(CBoardViewInputTest, TheSpaceBarIsTheClickOfEveryTool)
{
    TakeTracksOfNet("OUT");
    const std::vector<uint8_t> start = document->SaveDesignBytes();
    // The connections shown, and tracks laid on the top layer.
    const auto showConnections = [this] {
        document->Design().SetAutoRatsnest(true);
        document->Design().GetNets().RecalcAll();
        document->Session().SetWorkLayer(LAYER_TOP);
    };
    const auto outcome = [this] {
        return ClickOutcome{document->SaveDesignBytes(), document->Session().GetMode(),
                            document->Session().GetAction(),
                            document->Design().GetNets().GetCurrentIndex(), document->IsModified()};
    };
    // Puts the design back as it was (in collections of its own), the tool started, the mouse
    // and the cursor at the point.
    const auto prepare = [&](uint32_t mode, CPoint at) {
        document->RestoreDesign(start);
        showConnections();
        document->SetModifiedFlag(false);
        document->Design().GetNets().SetCurrentNet(0);
        document->Session().SetMode(mode);
        MoveMouse(PixelOf(at.x, at.y));
        // As a snap to the pin would.
        document->Session().SetCursor(at);
        return outcome();
    };

    // The end of a connection that the routing tool can lay on the top layer.
    showConnections();
    CNetArray& nets = document->Design().GetNets();
    CPoint pin;
    bool routable = false;
    for (int32_t i = 1; i < nets.GetCount() && !routable; ++i) {
        for (int32_t r = 0; r < nets.GetNet(i)->GetRatsLineCount() && !routable; ++r) {
            pin = CPoint(nets.GetNet(i)->GetRatsLine(r).x1, nets.GetNet(i)->GetRatsLine(r).y1);
            document->Session().SetCursor(pin);
            routable = nets.RouteAtCursor();
        }
    }
    ASSERT_TRUE(routable) << "the sample design has a connection to route";
    const CPoint beside(pin.x + 25600, pin.y + 25600);

    const struct {
        uint32_t mode;
        CPoint at;
    } tools[] = {
        {ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS, pin}, {ID_TRACKS_ADD_OR_REMOVE_VIA, beside},
        {ID_NETLIST_CONNECT_PINS_TO_NETS, pin},          {ID_BOARD_BOARD_SIZE_AND_OFFSET, beside},
        {ID_SETTINGS_SET_GRID_OFFSET, beside},           {ID_COMPONENTS_FIX, pin}};
    for (const auto& tool : tools) {
        const ClickOutcome before = prepare(tool.mode, tool.at);
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, PixelOf(tool.at.x, tool.at.y));
        const ClickOutcome clicked = outcome();
        EXPECT_NE(clicked, before) << "the click in mode " << tool.mode << " does something";

        prepare(tool.mode, tool.at);
        Press(Qt::Key_Space);
        EXPECT_EQ(outcome(), clicked) << "the space bar in mode " << tool.mode;
    }
}

} // namespace
