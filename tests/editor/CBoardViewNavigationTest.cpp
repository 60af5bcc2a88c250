#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include <QAbstractSlider>
#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CErrorList.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CBottomView.h"
#include "editor/CChildFrame.h"
#include "editor/CLeftPane.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/CCommandRouter.h"
#include "framework/CRect.h"
#include "model/CComponentArray.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

// Finding one's way around the sample design in the program's main window: zooming, scrolling
// and the wheel, driven as a user drives them.
class CBoardViewNavigationTest : public CDemoWindowTest {
protected:
    CBoardViewNavigationTest() : CDemoWindowTest("wevra_board_view_navigation_test") {}

    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        FocusWholeBoard();
    }

    // One notch of the wheel at the pixel, away from the user when up.
    void Wheel(QPoint pixel, bool up, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWheelEvent wheel(pixel, Client()->mapToGlobal(pixel), QPoint(), QPoint(0, up ? 120 : -120),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Client(), &wheel);
        QApplication::processEvents();
    }
    CChildFrame& Child() const
    {
        return *dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
    }
    CLeftPane& LeftPane() const { return *Child().GetLeftPane(); }
    CBottomView& BottomPane() const { return *Child().GetBottomView(); }
    // White pixels of the painted view in the square of half size 8 around the pixel.
    int WhiteAround(QPoint centre) const
    {
        const QImage image = Client()->grab().toImage();
        int white = 0;
        for (int y = centre.y() - 8; y <= centre.y() + 8; ++y) {
            for (int x = centre.x() - 8; x <= centre.x() + 8; ++x) {
                if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                    ++white;
            }
        }
        return white;
    }
    // Every part beside the board, as a netlist import leaves them, all in view, with the side
    // pane that lists them open.
    void PartsBesideTheBoard()
    {
        document->Design().GetComponents().MoveAll(0, -2 * document->Design().GetBoardHeight());
        ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_ZOOM_ALL));
        if (!document->View().IsLeftPaneShown()) {
            ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_LEFT_PANE));
        }
        QApplication::processEvents();
    }
    void ClickRow(int32_t row)
    {
        const int32_t y = (row + 1) * CListPane::rowHeight + CListPane::rowHeight / 2;
        QTest::mouseClick(LeftPane().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, y));
    }
    // The board rectangle the view's client area shows.
    CRect Visible() const
    {
        const CPoint offset = document->View().GetViewOffset();
        const int32_t scale = document->View().GetScale();
        return CRect(-offset.x, -offset.y, Client()->width() * scale - offset.x,
                     Client()->height() * scale - offset.y);
    }
    bool Shows(const CRect& box) const
    {
        const CRect visible = Visible();
        return box.left >= visible.left && box.right <= visible.right && box.top >= visible.top &&
               box.bottom <= visible.bottom;
    }
    // Clicks on the bar's page area until it moves no further; false when it never stops.
    static bool PageToEnd(QScrollBar& bar, QAbstractSlider::SliderAction action)
    {
        for (int i = 0; i < 1000; ++i) {
            const int before = bar.value();
            bar.triggerAction(action);
            QApplication::processEvents();
            if (bar.value() == before || !bar.isVisible())
                return true;
        }
        return false;
    }
};

// A netlist import leaves its components above the board's top edge: Zoom All shows them and
// the scroll bars reach them.
TEST_F(CBoardViewNavigationTest, ZoomAllAndScrollBarsReachItemsBesideTheBoard)
{
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 1);
    const int32_t height = document->Design().GetBoardHeight();
    components.MoveAll(0, -2 * height);
    const CRect above = components.GetBox(0);
    ASSERT_LT(above.bottom, 0);

    ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_ZOOM_ALL));
    QApplication::processEvents();
    EXPECT_TRUE(Shows(above));
    EXPECT_TRUE(Shows(CRect(0, 0, document->Design().GetBoardWidth(), height)));

    // Zoomed in on the board's lower right corner, the bars lead up to the components.
    document->Session().SetCursor(CPoint(document->Design().GetBoardWidth(), height));
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_ZOOM_IN));
    QApplication::processEvents();
    ASSERT_FALSE(Shows(above));
    QScrollBar& vertical = *view->verticalScrollBar();
    QScrollBar& horizontal = *view->horizontalScrollBar();
    ASSERT_TRUE(vertical.isVisible());
    ASSERT_TRUE(PageToEnd(vertical, QAbstractSlider::SliderPageStepSub));
    ASSERT_TRUE(PageToEnd(horizontal, QAbstractSlider::SliderPageStepSub));
    EXPECT_LE(Visible().top, above.top);
    EXPECT_LE(Visible().left, above.left);
    // Dragging the thumb to the far end brings the view back to the board's lower right.
    vertical.setSliderPosition(vertical.maximum());
    horizontal.setSliderPosition(horizontal.maximum());
    QApplication::processEvents();
    EXPECT_GE(Visible().bottom, height);
    EXPECT_GE(Visible().right, document->Design().GetBoardWidth());
}

// The wheel scrolls up and down, with Shift sideways, and with Ctrl zooms about the pointer.
TEST_F(CBoardViewNavigationTest, TheWheelScrollsAndZooms)
{
    const QPoint pointer(Client()->width() / 3, Client()->height() / 3);
    MoveMouse(pointer);
    const CPoint start = document->View().GetViewOffset();
    const int32_t scale = document->View().GetScale();

    Wheel(pointer, true);
    const CPoint up = document->View().GetViewOffset();
    EXPECT_EQ(up.x, start.x);
    EXPECT_GT(up.y, start.y) << "the board above comes into sight";
    Wheel(pointer, false);
    EXPECT_EQ(document->View().GetViewOffset(), start);

    Wheel(pointer, false, Qt::ShiftModifier);
    const CPoint sideways = document->View().GetViewOffset();
    EXPECT_LT(sideways.x, start.x) << "the board to the right comes into sight";
    EXPECT_EQ(sideways.y, start.y);
    Wheel(pointer, true, Qt::ShiftModifier);
    EXPECT_EQ(document->View().GetViewOffset(), start);
    EXPECT_EQ(document->View().GetScale(), scale);

    // Ctrl zooms about the pointer: the board point under a still pointer stays under it
    // within a pixel, notch after notch, in and out, and a notch back gives the scale again.
    const auto boardUnder = [&] {
        const CPoint at = document->View().GetViewOffset();
        const int64_t units = document->View().GetScale();
        return std::pair<int64_t, int64_t>(pointer.x() * units - at.x, pointer.y() * units - at.y);
    };
    const std::pair<int64_t, int64_t> under = boardUnder();
    std::vector<int64_t> scales;
    for (const bool in : {true, false, false, true}) {
        Wheel(pointer, in, Qt::ControlModifier);
        const int64_t units = document->View().GetScale();
        const std::pair<int64_t, int64_t> now = boardUnder();
        EXPECT_LE(std::llabs(now.first - under.first), units) << (in ? "in" : "out");
        EXPECT_LE(std::llabs(now.second - under.second), units) << (in ? "in" : "out");
        scales.push_back(units);
    }
    EXPECT_LT(scales.front(), scale);
    EXPECT_EQ(document->View().GetScale(), scale);
}

// The errors of the design-rule check: an Undo that takes their items away empties the list, a
// double click on one puts the view and the mouse pointer on it, and each shows a marker.
TEST_F(CBoardViewNavigationTest, TheErrorListLeadsToErrorsOfItemsOnTheBoard)
{
    if (!document->View().IsBottomPaneShown()) {
        ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_BOTTOM_PANE));
    }
    QApplication::processEvents();
    CNetArray& nets = document->Design().GetNets();
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 1);
    ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_DRC_TEST_ALL));
    QApplication::processEvents();
    const int32_t before = nets.GetErrorCount();

    // A part dropped onto another: its pads clash with the other's.
    document->History().SaveUndoState();
    components.MoveBy(1, components.GetPosition(0).x - components.GetPosition(1).x,
                      components.GetPosition(0).y - components.GetPosition(1).y);
    document->SetModified();
    ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_DRC_TEST_ALL));
    QApplication::processEvents();
    ASSERT_GT(nets.GetErrorCount(), before);
    EXPECT_EQ(BottomPane().GetMode(), CBottomView::modeErrors);

    // Double click on a row: the view centred on the error, the pointer on it.
    const CPoint at = nets.GetError(0)->GetFirst().position;
    const int32_t rowY = CListPane::rowHeight + CListPane::rowHeight / 2;
    QTest::mouseDClick(BottomPane().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, rowY));
    std::fprintf(stderr, "d cursor %d %d\n", document->Session().GetCursor().x,
                 document->Session().GetCursor().y);
    QApplication::processEvents();
    EXPECT_EQ(document->Session().GetCursor(), at);
    const QPoint pixel = PixelOf(at.x, at.y);
    EXPECT_LE(std::abs(pixel.x() - Client()->width() / 2), 1);
    EXPECT_LE(std::abs(pixel.y() - Client()->height() / 2), 1);
    EXPECT_EQ(QCursor::pos(), Client()->mapToGlobal(pixel));

    // An error whose two points meet is marked all the same.
    const CPoint lone(document->Session().GetCursor().x + 40 * document->View().GetScale(),
                      document->Session().GetCursor().y + 40 * document->View().GetScale());
    const QPoint lonePixel = PixelOf(lone.x, lone.y);
    const int plain = WhiteAround(lonePixel);
    nets.AddError(CNetErrorRec({"Track", 1, lone}, {"Track", 2, lone}));
    view->Redraw(false);
    EXPECT_GE(WhiteAround(lonePixel), plain + 12);

    // Undo takes the clash away, and its errors with it.
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(nets.GetErrorCount(), 0);
    EXPECT_EQ(BottomPane().GetMode(), CBottomView::modeNoErrors);
}

// With DRC Active a bottom track laid across another net's bottom track is listed as a clash
// on the bottom layer, and a click on its row makes the bottom layer the work layer again; the
// track stays as laid, one undo step.
TEST_F(CBoardViewNavigationTest, TheOnlineCheckListsAClashOnTheLayerOfTheTrack)
{
    if (!document->View().IsBottomPaneShown()) {
        ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_BOTTOM_PANE));
    }
    if (!document->Session().IsDrcActive()) {
        ASSERT_TRUE(frame->GetRouter().Execute(ID_TOOLS_DRC_ACTIVE));
    }
    ASSERT_TRUE(document->Session().IsDrcActive());
    CNetArray& nets = document->Design().GetNets();
    ASSERT_EQ(nets.GetErrorCount(), 0);

    // The longest bottom segment of the sample, crossed at its middle.
    int64_t longest = 0;
    CPoint from;
    CPoint to;
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 1; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) || net.GetVertexPen(v) < 1 ||
                net.GetVertexLayer(v) != LAYER_BOTTOM)
                continue;
            const CPoint a = net.GetVertexPoint(v - 1);
            const CPoint b = net.GetVertexPoint(v);
            const int64_t length = std::abs(int64_t(b.x) - a.x) + std::abs(int64_t(b.y) - a.y);
            if (length > longest) {
                longest = length;
                from = a;
                to = b;
            }
        }
    }
    ASSERT_GT(longest, 0) << "the sample has tracks on the bottom layer";
    const CPoint middle((from.x + to.x) / 2, (from.y + to.y) / 2);
    const bool across = std::abs(to.x - from.x) >= std::abs(to.y - from.y);
    const int32_t reach = 15 * document->View().GetScale();
    const CPoint start =
        across ? CPoint(middle.x, middle.y - reach) : CPoint(middle.x - reach, middle.y);
    const CPoint end =
        across ? CPoint(middle.x, middle.y + reach) : CPoint(middle.x + reach, middle.y);

    view->setFocus();
    QTest::keyClick(view, Qt::Key_2);
    ASSERT_EQ(document->Session().GetWorkLayer(), LAYER_BOTTOM);
    ASSERT_TRUE(frame->GetRouter().Execute(ID_TRACKS_ADD));
    const int32_t undoCount = document->History().GetUndoCount();
    for (const CPoint at : {start, end}) {
        MoveMouse(PixelOf(at.x, at.y));
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, PixelOf(at.x, at.y));
    }
    // Enter ends the run and starts the next at its end, which Esc abandons.
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Escape);
    QApplication::processEvents();
    ASSERT_EQ(document->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(document->History().GetUndoCount(), undoCount + 1);
    const int32_t current = nets.GetCurrentIndex();
    ASSERT_GT(nets.GetNet(current)->GetVertexCount(), 0);
    EXPECT_EQ(nets.GetNet(current)->GetVertexLayer(nets.GetNet(current)->GetVertexCount() - 1),
              LAYER_BOTTOM);

    ASSERT_GT(nets.GetErrorCount(), 0) << "the new track crosses a bottom track";
    EXPECT_EQ(BottomPane().GetMode(), CBottomView::modeErrors);
    const std::string bottom = CErrorList::RowTexts(document->Design(), document->Session(), 0)[1];
    EXPECT_NE(bottom.find("Bottom"), std::string::npos) << bottom;
    for (int32_t e = 0; e < nets.GetErrorCount(); ++e) {
        EXPECT_EQ(nets.GetError(e)->GetKind(), LAYER_BOTTOM) << e;
        EXPECT_EQ(CErrorList::RowTexts(document->Design(), document->Session(), e)[1], bottom);
    }

    // The top layer chosen, then the row clicked: the bottom layer is the work layer again.
    QTest::keyClick(view, Qt::Key_1);
    ASSERT_EQ(document->Session().GetWorkLayer(), LAYER_TOP);
    const int32_t rowY = CListPane::rowHeight + CListPane::rowHeight / 2;
    QTest::mouseClick(BottomPane().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, rowY));
    QApplication::processEvents();
    EXPECT_EQ(document->Session().GetWorkLayer(), LAYER_BOTTOM);
    EXPECT_EQ(document->Session().GetCursor(), nets.GetError(0)->GetFirst().position);
    EXPECT_EQ(document->History().GetUndoCount(), undoCount + 1);
}

// M, a row of the side pane, a move and Enter: the part picked there hangs at the mouse from
// the first move on and is dropped where the mouse is, on every pick.
TEST_F(CBoardViewNavigationTest, APartPickedInTheSidePaneFollowsTheMouse)
{
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 1);
    // Beside the board, as a netlist import leaves them: the pick starts a move.
    ASSERT_NO_FATAL_FAILURE(PartsBesideTheBoard());
    ASSERT_TRUE(LeftPane().isVisible());

    const QPoint start(Client()->width() / 4, Client()->height() / 4);
    MoveMouse(start);
    QTest::keyClick(view, Qt::Key_M);
    ASSERT_TRUE(document->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));

    const QPoint drops[] = {QPoint(Client()->width() / 2, Client()->height() / 2),
                            QPoint(Client()->width() * 3 / 5, Client()->height() / 3)};
    for (int32_t pick = 0; pick < 2; ++pick) {
        ClickRow(pick);
        ASSERT_EQ(document->Session().GetCurrentComponentIndex(), pick);
        ASSERT_EQ(document->Session().GetAction(), CEditState::actionMoveFromPane);
        const QPoint first = drops[pick] - QPoint(30, 20);
        MoveMouse(first);
        EXPECT_EQ(components.GetPosition(pick), document->Session().GetCursor()) << "pick " << pick;
        MoveMouse(drops[pick]);
        EXPECT_EQ(components.GetPosition(pick), document->Session().GetCursor()) << "pick " << pick;
        const CPoint dropped = document->Session().GetCursor();
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(components.GetPosition(pick), dropped) << "pick " << pick;
        EXPECT_EQ(components.GetSelectedCount(), 0);
    }
}

// A part hanging at the mouse is put down with the mouse: a click or the space bar in
// Move/Rotate ends the step as Enter does, and the status line says so while it hangs.
TEST_F(CBoardViewNavigationTest, AHangingPartIsPutDownByAClick)
{
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 1);
    ASSERT_NO_FATAL_FAILURE(PartsBesideTheBoard());
    MoveMouse(QPoint(Client()->width() / 4, Client()->height() / 4));
    QTest::keyClick(view, Qt::Key_M);
    ASSERT_TRUE(document->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));

    for (const bool space : {false, true}) {
        const int32_t pick = space ? 1 : 0;
        ClickRow(pick);
        const QPoint drop(Client()->width() / (space ? 3 : 2), Client()->height() / 2);
        MoveMouse(drop - QPoint(25, 15));
        MoveMouse(drop);
        ASSERT_EQ(document->Session().GetAction(), CEditState::actionDragging);
        QApplication::processEvents();
        const std::string hint = frame->GetPaneText(0);
        EXPECT_NE(hint.find("Esc"), std::string::npos) << hint;
        EXPECT_NE(hint.find("Click"), std::string::npos) << hint;
        const CPoint dropped = document->Session().GetCursor();
        if (space) {
            QTest::keyClick(view, Qt::Key_Space);
        } else {
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent click(type, drop, Client()->mapToGlobal(drop), Qt::LeftButton,
                                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                  Qt::NoModifier);
                QApplication::sendEvent(Client(), &click);
            }
        }
        EXPECT_EQ(document->Session().GetAction(), CEditState::actionWaiting) << "pick " << pick;
        EXPECT_EQ(components.GetSelectedCount(), 0);
        MoveMouse(drop + QPoint(40, 30));
        QApplication::processEvents();
        EXPECT_EQ(components.GetPosition(pick), dropped) << "pick " << pick;
        EXPECT_EQ(frame->GetPaneText(0).find("Esc"), std::string::npos);
    }
}

// A row of the side pane dragged onto the board puts its part down where it is dropped.
TEST_F(CBoardViewNavigationTest, ARowDraggedOntoTheBoardIsPlacedWhereItIsDropped)
{
    CComponentArray& components = document->Design().GetComponents();
    ASSERT_GT(components.GetCount(), 1);
    ASSERT_NO_FATAL_FAILURE(PartsBesideTheBoard());
    QWidget* pane = LeftPane().viewport();
    const CPoint picked = components.GetPosition(1);
    const QPoint row(40, 2 * CListPane::rowHeight + CListPane::rowHeight / 2);
    const QPoint drop(Client()->width() / 2, Client()->height() / 2);
    const auto inPane = [&](QPoint pixel) {
        return pane->mapFromGlobal(Client()->mapToGlobal(pixel));
    };
    // The pane keeps the mouse from the press to the release, as the window system gives it.
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, pane->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(pane, &event);
        QApplication::processEvents();
    };
    send(QEvent::MouseButtonPress, row, Qt::LeftButton);
    send(QEvent::MouseMove, row + QPoint(30, 0), Qt::LeftButton);
    send(QEvent::MouseMove, inPane(drop - QPoint(20, 20)), Qt::LeftButton);
    EXPECT_EQ(components.GetPosition(1), document->Session().GetCursor()) << "it hangs";
    send(QEvent::MouseMove, inPane(drop), Qt::LeftButton);
    const CPoint dropped = document->Session().GetCursor();
    send(QEvent::MouseButtonRelease, inPane(drop), Qt::NoButton);
    EXPECT_EQ(components.GetPosition(1), dropped);
    EXPECT_NE(dropped, picked);
    const CPoint offset = document->View().GetViewOffset();
    const int64_t scale = document->View().GetScale();
    const CSize snap = document->Design().GetGridSettings().GetCurrentSnap();
    EXPECT_LE(std::llabs(drop.x() * scale - offset.x - dropped.x), snap.cx + scale);
    EXPECT_LE(std::llabs(drop.y() * scale - offset.y - dropped.y), snap.cy + scale);
    EXPECT_EQ(document->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(components.GetSelectedCount(), 0);
}

} // namespace
