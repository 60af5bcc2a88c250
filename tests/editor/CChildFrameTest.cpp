#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QSplitter>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CErrorList.h"
#include "document/COverviewMap.h"
#include "document/CViewState.h"
#include "editor/CBottomView.h"
#include "editor/CChildFrame.h"
#include "editor/CLeftPane.h"
#include "editor/CMiniView.h"
#include "editor/CWevraApp.h"
#include "editor/CWevraView.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/framework/qt/QtApplicationTest.h"

namespace {

// A main window whose settings show both panes, and that records what it was asked to show.
class CPaneSettingsFrame : public CFontFrame {
public:
    bool IsLeftPaneSetting() const override { return true; }
    bool IsBottomPaneSetting() const override { return true; }
    void ShowLeftPane(bool shown) override { leftShown.push_back(shown); }
    void ShowBottomPane(bool shown) override { bottomShown.push_back(shown); }

    std::vector<bool> leftShown;
    std::vector<bool> bottomShown;
};

class CChildFrameTest : public QtApplicationFixture<::testing::Test> {
protected:
    void SetUp() override
    {
        m_previousFrame = CDocumentFrame::Set(&mainFrame);
        doc = std::make_unique<CWevraDoc>();
        doc->Design().SetBoardOutlineRect(0, 0, 1000000, 500000);
        frame = std::make_unique<CChildFrame>(*doc);
        frame->resize(800, 600);
        frame->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
        CDocumentFrame::Set(m_previousFrame);
    }

    static void Click(QWidget* window, QPoint at)
    {
        const QPointF local(at);
        const QPointF global(window->mapToGlobal(at));
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QApplication::sendEvent(window, &release);
    }

    int32_t BottomHeight() const { return frame->GetRightSplitter()->sizes()[1]; }
    int32_t LeftWidth() const { return frame->GetOuterSplitter()->sizes()[0]; }
    void SetBottomHeight(int32_t height) const
    {
        const QList<int> sizes = frame->GetRightSplitter()->sizes();
        frame->GetRightSplitter()->setSizes({sizes[0] + sizes[1] - height, height});
    }

    CFakeServices services;
    CPaneSettingsFrame mainFrame;
    std::unique_ptr<CWevraDoc> doc;
    std::unique_ptr<CChildFrame> frame;

private:
    CDocumentFrame* m_previousFrame = nullptr;
};

TEST_F(CChildFrameTest, FourPanesSitInTheirSplitters)
{
    QSplitter* outer = frame->GetOuterSplitter();
    ASSERT_EQ(outer->count(), 2);
    EXPECT_EQ(outer->widget(0), frame->GetLeftSplitter());
    EXPECT_EQ(outer->widget(1), frame->GetRightSplitter());
    EXPECT_EQ(frame->GetLeftSplitter()->widget(0), frame->GetMiniView());
    EXPECT_EQ(frame->GetLeftSplitter()->widget(1), frame->GetLeftPane());
    EXPECT_EQ(frame->GetRightSplitter()->widget(0), frame->GetBoardView());
    EXPECT_EQ(frame->GetRightSplitter()->widget(1), frame->GetBottomView());
    EXPECT_EQ(frame->GetActiveView(), frame->GetBoardView());

    EXPECT_EQ(LeftWidth(), CChildFrame::initialPaneSize);
    EXPECT_EQ(BottomHeight(), CChildFrame::initialPaneSize);
    // The overview keeps the board's proportions: 500000 / 9901 pixels high at 100 wide.
    EXPECT_EQ(frame->GetLeftSplitter()->sizes()[0], 50);
}

TEST_F(CChildFrameTest, HiddenPanesComeBackAtTheirLastSizeAboveFiftyPixels)
{
    EXPECT_TRUE(frame->ShowBottomPane(false));
    EXPECT_EQ(BottomHeight(), 0);
    EXPECT_TRUE(frame->ShowBottomPane(false));
    QApplication::processEvents();
    EXPECT_FALSE(doc->View().IsBottomPaneShown());
    EXPECT_EQ(mainFrame.bottomShown, std::vector<bool>{false});

    EXPECT_TRUE(frame->ShowBottomPane(true));
    EXPECT_EQ(BottomHeight(), 100);
    EXPECT_FALSE(frame->ShowBottomPane(true));
    SetBottomHeight(40);
    frame->ShowBottomPane(false);
    frame->ShowBottomPane(true);
    EXPECT_EQ(BottomHeight(), 100) << "40 pixels are not remembered";
    SetBottomHeight(150);
    frame->ShowBottomPane(false);
    frame->ShowBottomPane(true);
    EXPECT_EQ(BottomHeight(), 150);
    QApplication::processEvents();
    EXPECT_TRUE(doc->View().IsBottomPaneShown());

    EXPECT_TRUE(frame->ShowLeftPane(false));
    EXPECT_EQ(LeftWidth(), 0);
    EXPECT_FALSE(frame->ShowLeftPane(false));
    QApplication::processEvents();
    EXPECT_FALSE(doc->View().IsLeftPaneShown());
    EXPECT_EQ(mainFrame.leftShown, std::vector<bool>{false});
    EXPECT_TRUE(frame->ShowLeftPane(true));
    EXPECT_EQ(LeftWidth(), 100);
    EXPECT_FALSE(frame->ShowLeftPane(true));
}

TEST_F(CChildFrameTest, ChosenErrorCentresTheBoardView)
{
    CNetArray& nets = doc->Design().GetNets();
    nets.AddNet("GND");
    nets.AddNet("VCC");
    CNetErrorRec error({"Track", 1, CPoint(50000, 60000)}, {"Via", 2, CPoint(51000, 60000)});
    error.SetKind(2);
    nets.AddError(CNetErrorRec({"Track", 2, CPoint(0, 0)}, {"Track", 1, CPoint(9, 9)}));
    nets.AddError(error);
    doc->View().SetScale(1000);
    frame->UpdateAllViews();
    EXPECT_FALSE(frame->grab().isNull());

    const CErrorList::Columns texts = CErrorList::RowTexts(doc->Design(), doc->Session(), 1);
    EXPECT_EQ(texts[0], "2");
    EXPECT_EQ(texts[2], "GND");
    EXPECT_EQ(texts[7], "Via");
    EXPECT_EQ(texts[8], CWevraApp::FormatLength(doc->Session().GetUnit(), 51000));

    // Below the last row picks the last error.
    CBottomView* bottom = frame->GetBottomView();
    bottom->setFocus();
    Click(bottom->viewport(), QPoint(10, 70));
    EXPECT_EQ(bottom->GetSelection().GetSelected(), 1);
    EXPECT_TRUE(doc->Session().IsMode(ID_TRACKS_EDIT));
    EXPECT_EQ(doc->Session().GetWorkLayer(), 2);
    EXPECT_EQ(nets.GetCurrentIndex(), 1);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(50000, 60000));
    EXPECT_EQ(doc->View().GetScale(), 400);
    const CSize client = frame->GetClientSize();
    EXPECT_EQ(doc->View().GetViewOffset(),
              CPoint(client.cx * 400 / 2 - 50000, client.cy * 400 / 2 - 60000));
    EXPECT_EQ(frame->GetActiveView(), frame->GetBoardView());

    // A click in the overview centres the view there.
    CMiniView* overview = frame->GetMiniView();
    Click(overview, QPoint(30, 20));
    const int32_t d =
        COverviewMap::Divisor(1000000, 500000, CSize(overview->width(), overview->height()));
    EXPECT_EQ(doc->View().GetViewOffset(),
              CPoint(client.cx * 400 / 2 - 30 * d, client.cy * 400 / 2 - 20 * d));
}

TEST_F(CChildFrameTest, SidePaneSaveLeavesTheDesignToTheDocument)
{
    CLeftPane* pane = frame->GetLeftPane();
    EXPECT_FALSE(pane->IsCommandEnabled(ID_FILE_PLACING_INFO)) << "no components";
    EXPECT_TRUE(pane->OnCommand(ID_SHOW_RATSNEST));
    EXPECT_FALSE(pane->IsCommandChecked(ID_SHOW_RATSNEST));
    EXPECT_FALSE(pane->OnCommand(ID_FILE_SAVE)) << "Save goes on to the document";
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());

    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    const int32_t shape = cache.AddShape("R");
    doc->Design().GetComponents().AddEmpty(shape);
    frame->UpdateAllViews();
    EXPECT_TRUE(pane->IsCommandEnabled(ID_FILE_PLACING_INFO));
    EXPECT_TRUE(pane->OnCommand(ID_SHOW_RATSNEST));
    EXPECT_TRUE(pane->IsCommandChecked(ID_SHOW_RATSNEST));
    EXPECT_FALSE(frame->grab().isNull());
}

} // namespace
