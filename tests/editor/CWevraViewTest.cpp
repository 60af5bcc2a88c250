#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QScrollBar>

#include "document/CDesign.h"
#include "document/CDesignBackup.h"
#include "document/CDocCommandMap.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CConfig.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/CClipboardService.h"
#include "framework/CCommandRouter.h"
#include "framework/CCommandTarget.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

using archive_bytes::Bytes;
using archive_bytes::ReadFile;

fs::path DemoDesign()
{
    return WEVRA_DEMO_DESIGN;
}

// A design window inside a main window (whose status bar the view writes), over a clipboard
// of this test's own.
class CWevraViewTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_previousClipboard = CServices::SetClipboard(&clipboard);
        mainFrame = std::make_unique<CMainFrame>();
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
        mainFrame.reset();
        CServices::SetClipboard(m_previousClipboard);
    }

    CWevraView& View() const { return *frame->GetBoardView(); }
    void Paint() const { View().viewport()->repaint(); }

    CFakeServices services;
    CSettingsSandbox sandbox{"wevra_view_test"};
    CClipboardService clipboard;
    std::unique_ptr<CMainFrame> mainFrame;
    std::unique_ptr<CWevraDoc> doc;
    std::unique_ptr<CChildFrame> frame;

private:
    CClipboardService* m_previousClipboard = nullptr;
};

TEST_F(CWevraViewTest, CopiedDesignPastesAndSavesToTheSameBytes)
{
    const Bytes demo = ReadFile(DemoDesign());
    ASSERT_FALSE(demo.empty());
    CWevraDoc source;
    ASSERT_TRUE(source.OnOpenDocument(DemoDesign().string()));
    CWevraView sourceView(source);

    CCommandRouter router(
        [this] { return std::vector<const CCommandTarget*>{frame->GetActiveViewCommands()}; });
    EXPECT_FALSE(router.Query(ID_EDIT_PASTE).enabled);
    sourceView.OnEditCopy();
    EXPECT_TRUE(router.Query(ID_EDIT_PASTE).enabled);
    EXPECT_FALSE(router.Query(ID_EDIT_COPY).enabled);
    EXPECT_FALSE(router.Query(ID_EDIT_CUT).enabled);

    const fs::path before = sandbox.root / "BEFORE.PCB";
    ASSERT_TRUE(doc->OnSaveDocument(before.string()));
    EXPECT_TRUE(router.Execute(ID_EDIT_PASTE));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->Design().GetBoardWidth(), source.Design().GetBoardWidth());

    const fs::path saved = sandbox.root / "PASTED.PCB";
    ASSERT_TRUE(doc->OnSaveDocument(saved.string()));
    EXPECT_EQ(ReadFile(saved), demo);

    // One Undo brings back the board as it was before the paste (as it loads), Redo the pasted
    // one.
    CWevraDoc reloaded;
    ASSERT_TRUE(reloaded.OnOpenDocument(before.string()));
    ASSERT_TRUE(reloaded.OnSaveDocument(before.string()));
    const CDocCommandMap docCommands(*doc);
    CCommandRouter edit(
        [&docCommands] { return std::vector<const CCommandTarget*>{&docCommands}; });
    EXPECT_TRUE(edit.Execute(ID_EDIT_UNDO));
    ASSERT_TRUE(doc->OnSaveDocument(saved.string()));
    EXPECT_EQ(ReadFile(saved), ReadFile(before));
    EXPECT_TRUE(edit.Execute(ID_EDIT_REDO));
    ASSERT_TRUE(doc->OnSaveDocument(saved.string()));
    EXPECT_EQ(ReadFile(saved), demo);
}

TEST_F(CWevraViewTest, PasteThatCannotBeReadKeepsTheOpenDesign)
{
    Bytes demo = ReadFile(DemoDesign());
    ASSERT_GT(demo.size(), 1000u);
    doc->History().SaveUndoState();
    doc->SetModifiedFlag(false);

    const Bytes truncated(demo.begin(), demo.begin() + 1000);
    Bytes unknownVersion = demo;
    unknownVersion[0] = 0x64;
    for (const Bytes& data : {truncated, unknownVersion}) {
        services.messages.ClearShown();
        clipboard.SetData(CWevraView::clipboardFormat, data);
        View().OnEditPaste();
        EXPECT_EQ(services.messages.Shown().size(), 1u);
        EXPECT_EQ(doc->Design().GetBoardWidth(), 1000000);
        EXPECT_EQ(doc->History().GetUndoCount(), 1);
        EXPECT_FALSE(doc->IsModified());
    }
    EXPECT_EQ(services.messages.ShownTexts().back(), "Not supported fileformat");
}

TEST_F(CWevraViewTest, RedrawsBeforeAPaintRenderTheBoardOnce)
{
    Paint();
    const int32_t rendered = View().GetRenderCount();
    EXPECT_FALSE(doc->Paint().IsBoardDirty());

    View().Redraw(true);
    View().Redraw(true);
    View().Redraw(false);
    Paint();
    EXPECT_EQ(View().GetRenderCount(), rendered + 1);

    // A partial redraw paints over the board as it is.
    View().Redraw(false);
    Paint();
    EXPECT_EQ(View().GetRenderCount(), rendered + 1);

    // Nothing is painted, not even the background, without a board outline.
    CWevraDoc empty;
    ASSERT_EQ(empty.Design().GetBoardOutline().GetSize(), 0);
    CWevraView emptyView(empty);
    emptyView.resize(100, 100);
    emptyView.show();
    emptyView.viewport()->repaint();
    EXPECT_EQ(emptyView.GetRenderCount(), 0);
}

TEST_F(CWevraViewTest, BackBufferGrowsWithTheMainWindowOnly)
{
    const QSize first = View().GetBackBuffer().size();
    EXPECT_GE(first.width(), 800);
    EXPECT_GE(first.height(), 600);
    frame->resize(500, 400);
    QApplication::processEvents();
    EXPECT_EQ(View().GetBackBuffer().size(), first);
    frame->resize(first.width() + 100, first.height());
    QApplication::processEvents();
    EXPECT_EQ(View().GetBackBuffer().width(), first.width() + 100);
}

TEST_F(CWevraViewTest, StatusPanesAndDesignTimeReachTheMainWindow)
{
    doc->Design().SetUnit(2);
    doc->Session().SetCursor({256, -512});
    View().UpdateStatusLine();
    View().ShowDesignTime();
    EXPECT_EQ(mainFrame->GetPaneText(1), "X:1 mil");
    EXPECT_EQ(mainFrame->GetPaneText(7), "AN:63.435");
    EXPECT_EQ(mainFrame->GetPaneText(8), "T:00:00");
}

TEST_F(CWevraViewTest, ScrollBarsFollowTheBoardInSixtyFourBits)
{
    frame->resize(2600, 600);
    QApplication::processEvents();
    const int32_t width = View().viewport()->width();
    ASSERT_GT(width, 2200);
    doc->View().SetScale(CDesignSettings::maxScale);
    doc->Design().SetBoardSize(2000000000, 1000);
    View().UpdateScrollBars();
    // The visible width, over 2e9 board units, holds the board: no horizontal bar.
    EXPECT_EQ(View().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    doc->View().SetScale(100000);
    View().UpdateScrollBars();
    EXPECT_EQ(View().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // From the board's left edge to where the window shows its right edge.
    const QScrollBar& bar = *View().horizontalScrollBar();
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(int64_t(bar.maximum()) + bar.pageStep(), 2000000000);
    EXPECT_EQ(bar.pageStep(), int64_t(View().viewport()->width()) * 100000);
    EXPECT_EQ(View().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(CWevraViewTest, TableWindowsReportThroughTheView)
{
    auto* table = new QWidget(&View());
    View().SetTableWindow(CWevraView::layerTable, table);
    Paint();
    const int32_t rendered = View().GetRenderCount();
    EXPECT_TRUE(View().OnCommand(CWevraView::layerTable, ID_DRAW_REDRAW));
    Paint();
    EXPECT_EQ(View().GetRenderCount(), rendered + 1);

    EXPECT_TRUE(View().OnCommand(CWevraView::layerTable, ID_TABLE_CLOSED));
    EXPECT_EQ(View().GetTableWindow(CWevraView::layerTable), nullptr);
    QPointer<QWidget> gone(table);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());

    EXPECT_TRUE(View().OnCommand(ID_OTHER_NOTHING, 0));
    EXPECT_FALSE(View().OnCommand(ID_EDIT_PASTE, 0));
}

TEST_F(CWevraViewTest, NewerNetlistIsOfferedOnceAndNotAfterEveryActivation)
{
    CTempFolder folder("wevra-view-netlist");
    const fs::path netlist = folder / "amp.NET";
    std::ofstream(netlist) << "no netlist of any dialect";
    doc->SetDesignPath((folder / "amp").string());
    doc->Design().SetNetlistPath(netlist.string());
    mainFrame->StartUp();
    ASSERT_NE(mainFrame->GetConfig(), nullptr);
    mainFrame->GetConfig()->Files().m_backupDirectory = (folder / "bak").string();
    services.messages.QueueAnswer(IDOK);
    const CCommandTarget* commands = frame->GetActiveViewCommands();
    ASSERT_NE(commands, nullptr);
    // The failed import's messages give the focus back, which checks again: no second offer
    // until the file changes.
    EXPECT_TRUE(commands->Execute(ID_OTHER_DOC_JUST_LOADED));
    EXPECT_TRUE(commands->Execute(ID_OTHER_DOC_JUST_LOADED));
    const std::vector<std::string> shown = services.messages.ShownTexts();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Netlist is Newer, Reload Netlist?"), 1);
    // The backup before the import is written whatever the backup settings say.
    const std::string series =
        CDesignBackup::SeriesTitle("amp", folder.Path().string(), (folder / "bak").string());
    EXPECT_TRUE(fs::exists(folder / "bak" / CDesignBackup::BackupFileName(series, 1)));
}

// A shape document whose library went asks for one when its view is made active, and not
// again when the focus only comes back from a message box.
TEST_F(CWevraViewTest, ShapeLibraryQuestionComesOncePerActivation)
{
    struct CLibraryFrame : CDocumentFrame {
        const CShapeLib* GetEditedShapeLibrary() const override { return library; }
        void PostCommand(uint32_t id) override
        {
            if (id == ID_COMPONENTS_EDIT_SHAPE_LIBRARY)
                ++asked;
        }
        bool IsShapeEditRequested() const override { return true; }
        const CShapeLib* library = nullptr;
        int32_t asked = 0;
    } libraryFrame;
    CShapeLib source;
    source.SetCurShape(source.AddShape("R0805"));
    libraryFrame.library = &source;
    CDocumentFrame* previous = CDocumentFrame::Set(&libraryFrame);
    CWevraDoc shapeDoc;
    ASSERT_TRUE(shapeDoc.OnNewDocument());
    libraryFrame.library = nullptr;
    CWevraView shapeView(shapeDoc);

    const auto focus = [&shapeView](QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent event(type, reason);
        QApplication::sendEvent(&shapeView, &event);
    };
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    focus(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    focus(QEvent::FocusOut, Qt::PopupFocusReason);
    focus(QEvent::FocusIn, Qt::PopupFocusReason);
    EXPECT_EQ(libraryFrame.asked, 1);
    focus(QEvent::FocusOut, Qt::MouseFocusReason);
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    EXPECT_EQ(libraryFrame.asked, 2);
    CDocumentFrame::Set(previous);
}

} // namespace
