// A new user's first board through the program's main window, with nothing but what the
// installation gives: an empty home folder, the settings of a fresh installation, the shipped
// template and shape library, and a Tango netlist naming shipped footprints.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "dialogs/CDisplayCompTextDlg.h"
#include "dialogs/CDisplayLayersetDlg.h"
#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CNewPcbDlg.h"
#include "dialogs/CTextFileWindow.h"
#include "dialogs/CWevraDialog.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CBottomView.h"
#include "editor/CChildFrame.h"
#include "editor/CConfig.h"
#include "editor/CDocTemplate.h"
#include "editor/CLeftPane.h"
#include "editor/CListPane.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApplication.h"
#include "editor/CWevraView.h"
#include "editor/CWindowLauncher.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtSettingsStore.h"
#include "framework/qt/CQtText.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/CTextArray.h"
#include "model/CTrackTool.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/editor/MenuItems.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/interchange/OutputTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

class NewUserWalkTest : public QtApplicationTest {
protected:
    NewUserWalkTest()
        : m_home("wevra_new_user_walk"), m_homeEnv("HOME", m_home.Path().string()),
          m_configEnv("XDG_CONFIG_HOME", (m_home.Path() / ".config").string()),
          m_dataEnv("XDG_DATA_HOME", (m_home.Path() / ".local/share").string()),
          m_settings((m_home.Path() / ".config/Wevra PCB/Wevra PCB.ini").string())
    {
        m_previousSettings = CServices::SetSettings(&m_settings);
    }
    ~NewUserWalkTest() override
    {
        application.reset();
        CServices::SetSettings(m_previousSettings);
    }

    void SetUp() override
    {
        CWevraApplication::Options options;
        options.programFolder = fs::path(WEVRA_BUILD_DIR) / "bin";
        options.registerFileType = false;
        options.showWindow = false;
        application = std::make_unique<CWevraApplication>(options);
        ASSERT_TRUE(application->InitInstance({}));
        frame = application->GetMainFrame();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
    }

    // Picks the menu item of the command, as a user opening its menu would.
    void Pick(uint32_t id)
    {
        std::map<uint32_t, QAction*> items;
        CollectMenuItems(frame->menuBar()->actions(), items);
        ASSERT_TRUE(items.contains(id)) << id << " is on no menu";
        ASSERT_TRUE(items.at(id)->isEnabled()) << id;
        items.at(id)->trigger();
        QApplication::processEvents();
    }

    // File > New from the shipped template, the design in a folder of the user's, linked with
    // a netlist of shipped footprints unless `linked` is false.
    void NewLinkedDesign(const fs::path& design, bool linked = true)
    {
        const fs::path nets = m_home.Path() / "nets";
        fs::create_directories(nets);
        fs::copy_file(fs::path(WEVRA_TEST_DATA_DIR) / "walk.NET", nets / "walk.NET");
        services.fileDialogs.QueueFile(design.string());
        if (linked)
            services.fileDialogs.QueueFile((nets / "walk.NET").string());
        WhenModal([linked](QWidget* dialog) {
            dialog_test::Click(dialog, CNewPcbDlg::idBrowseDesign);
            if (linked) {
                dialog_test::Click(dialog, CNewPcbDlg::idLinkNetlist);
                dialog_test::Click(dialog, CNewPcbDlg::idBrowseNetlist);
            }
            dialog_test::Click(dialog, CWevraDialog::idOk);
        });
        Pick(ID_FILE_NEW);
        QApplication::processEvents();
        EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    }

    CWevraDoc* Document() const { return frame->GetDocTemplate().GetActiveDocument(); }
    CChildFrame& Child() const
    {
        return *dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
    }
    CWevraView* BoardView() const { return Child().GetBoardView(); }
    // The pixel of the board view's client area that shows board point (x, y).
    QPoint PixelOf(int64_t x, int64_t y) const
    {
        const CWevraDoc* doc = Document();
        const CPoint offset = doc->View().GetViewOffset();
        const int64_t scale = doc->View().GetScale();
        return QPoint(int((x + offset.x) / scale), int((y + offset.y) / scale));
    }
    // A move of the mouse in the board view, as the window system delivers it.
    void MoveMouse(QPoint pixel)
    {
        QWidget* client = BoardView()->viewport();
        QMouseEvent move(QEvent::MouseMove, pixel, client->mapToGlobal(pixel), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(client, &move);
    }
    // A click on the board point.
    void ClickAt(CPoint at)
    {
        const QPoint pixel = PixelOf(at.x, at.y);
        MoveMouse(pixel);
        QTest::mouseClick(BoardView()->viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
        QApplication::processEvents();
    }
    // What a user sees of a design: each component's place, each net's copper and pins, each
    // plane's outline and the board.
    static std::vector<std::string> Summary(const CWevraDoc& doc)
    {
        std::vector<std::string> lines;
        const CComponentArray& components = doc.Design().GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            const CPoint at = components.GetPosition(i);
            lines.push_back(components.GetReference(i) + " " + components.GetType(i) + " " +
                            components.GetShapeName(i) + " " + std::to_string(at.x) + "," +
                            std::to_string(at.y));
        }
        for (int32_t i = 0; i < doc.Design().GetNets().GetCount(); ++i) {
            const CNet& net = *doc.Design().GetNets().GetNet(i);
            lines.push_back(net.GetName() + " " + std::to_string(net.GetVertexCount()) + " " +
                            std::to_string(net.GetPinCount()));
        }
        for (int32_t i = 0; i < doc.Design().GetPlaneCount(); ++i) {
            const CRect box = doc.Design().GetPlane(i).GetOutlineRect();
            lines.push_back("plane " + std::to_string(doc.Design().GetPlane(i).GetNet()) + " " +
                            std::to_string(box.left) + "," + std::to_string(box.top) + "," +
                            std::to_string(box.right) + "," + std::to_string(box.bottom));
        }
        lines.push_back("board " + std::to_string(doc.Design().GetBoardWidth()) + "x" +
                        std::to_string(doc.Design().GetBoardHeight()));
        return lines;
    }
    static int32_t NetVertexCount(const CWevraDoc& doc)
    {
        int32_t count = 0;
        for (int32_t i = 0; i < doc.Design().GetNets().GetCount(); ++i)
            count += doc.Design().GetNets().GetNet(i)->GetVertexCount();
        return count;
    }

    CFakeServices services;
    CTempFolder m_home;
    std::unique_ptr<CWevraApplication> application;
    CMainFrame* frame = nullptr;

private:
    CScopedEnv m_homeEnv;
    CScopedEnv m_configEnv;
    CScopedEnv m_dataEnv;
    CQtSettingsStore m_settings;
    CSettingsStore* m_previousSettings = nullptr;
};

} // namespace

TEST_F(NewUserWalkTest, FromTheShippedTemplateAndLibraryToABoard)
{
    // The installation's own template and library, found with nothing set.
    const fs::path program = fs::path(WEVRA_BUILD_DIR) / "bin";
    EXPECT_EQ(fs::path(frame->GetConfig()->GetDefaultTemplate()),
              program / "Template" / "Template1.PCB");
    EXPECT_GT(frame->GetShapeLibraries().GetCount(), 0);

    // File > New, the design in a folder of the user's, from the template listed first.
    const fs::path boards = m_home.Path() / "boards";
    const fs::path design = boards / "WALK.PCB";
    services.fileDialogs.QueueFile(design.string());
    WhenModal([](QWidget* dialog) {
        auto* templates = dialog_test::Find<QListWidget>(dialog, CNewPcbDlg::idTemplates);
        ASSERT_NE(templates->currentItem(), nullptr);
        EXPECT_EQ(templates->currentItem()->text().toStdString(), "Template1");
        dialog_test::Click(dialog, CNewPcbDlg::idBrowseDesign);
        dialog_test::Click(dialog, CWevraDialog::idOk);
    });
    Pick(ID_FILE_NEW);
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(fs::exists(design));
    EXPECT_GT(doc->Design().GetOutputJobs().GetCount(), 0);

    // Netlist > Load: every part of the netlist is on the board.
    const fs::path netlist = boards / "walk.NET";
    fs::copy_file(fs::path(WEVRA_TEST_DATA_DIR) / "walk.NET", netlist);
    services.fileDialogs.QueueFile(netlist.string());
    Pick(ID_NETLIST_LOAD);
    ASSERT_EQ(doc->Design().GetComponents().GetCount(), 14);
    for (const std::string& line : doc->Windows().GetMessages())
        EXPECT_EQ(line.find("not Found"), std::string::npos) << line;
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});

    // View > Zoom All shows every part, wherever the import put it.
    CWevraView* view = BoardView();
    ASSERT_NE(view, nullptr);
    frame->activateWindow();
    view->setFocus();
    Pick(ID_VIEW_ZOOM_ALL);
    CComponentArray& components = doc->Design().GetComponents();
    const QRect client = view->viewport()->rect();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const CRect box = components.GetBox(i);
        EXPECT_TRUE(client.contains(PixelOf(box.left, box.top)) &&
                    client.contains(PixelOf(box.right, box.bottom)))
            << components.GetReference(i);
    }

    // View > Left Pane, M, a row, a move and Enter: R1 and R2 land on the board at the cursor.
    if (!doc->View().IsLeftPaneShown())
        Pick(ID_VIEW_LEFT_PANE);
    CLeftPane* pane = Child().GetLeftPane();
    ASSERT_TRUE(pane->isVisible());
    MoveMouse(PixelOf(doc->Design().GetBoardWidth() / 2, doc->Design().GetBoardHeight() / 2));
    QTest::keyClick(view, Qt::Key_M);
    ASSERT_TRUE(doc->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));
    const CSize snap = doc->Design().GetGridSettings().GetCurrentSnap();
    for (const auto& [reference, at] :
         {std::pair{"R1", CPoint(400000, 500000)}, std::pair{"R2", CPoint(600000, 500000)}}) {
        const int32_t part = components.FindByReference(reference);
        const int32_t y = (part + 1) * CListPane::rowHeight + CListPane::rowHeight / 2;
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, y));
        ASSERT_EQ(doc->Session().GetCurrentComponentIndex(), part) << reference;
        MoveMouse(PixelOf(at.x, at.y) - QPoint(30, 20));
        MoveMouse(PixelOf(at.x, at.y));
        const CPoint cursor = doc->Session().GetCursor();
        EXPECT_LE(std::abs(cursor.x - at.x), doc->View().GetScale() + snap.cx) << reference;
        EXPECT_LE(std::abs(cursor.y - at.y), doc->View().GetScale() + snap.cy) << reference;
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(components.GetPosition(part), cursor) << reference;
    }
    Pick(ID_EDIT_SELECT_MODE);

    // Tools > AutoRouting > Route All on TOP and BOT lays tracks and says what it made of the
    // ratsnest.
    const auto open = [doc] {
        int32_t lines = 0;
        const CNetArray& nets = doc->Design().GetNets();
        for (int32_t i = 1; i < nets.GetCount(); ++i)
            lines += nets.GetNet(i)->GetRatsLineCount();
        return lines;
    };
    const int32_t unrouted = NetVertexCount(*doc);
    const int32_t openBefore = open();
    Pick(ID_TOOLS_AUTOROUTING_ROUTE_ALL_TOP_AND_BOT_LAYERS);
    EXPECT_GT(NetVertexCount(*doc), unrouted);
    ASSERT_LT(open(), openBefore);
    const int32_t routed = openBefore - open();
    EXPECT_EQ(frame->GetPaneText(0), "Route All: " + std::to_string(routed) +
                                         (routed == 1 ? " connection" : " connections") +
                                         " routed, " + std::to_string(open()) + " left open");
    // On a layer that takes no tracks it routes nothing, and says so too.
    const int32_t workLayer = doc->Session().GetWorkLayer();
    ASSERT_TRUE(doc->Session().SetWorkLayer(LAYER_SILK_TOP));
    Pick(ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER);
    EXPECT_EQ(frame->GetPaneText(0),
              "Route All: 0 connections routed, " + std::to_string(open()) + " left open");
    doc->Session().SetWorkLayer(workLayer);

    // Tools > DRC Test All lists errors; Undo takes the routing back and empties the list.
    Pick(ID_TOOLS_DRC_TEST_ALL);
    EXPECT_GT(doc->Design().GetNets().GetErrorCount(), 0);
    Pick(ID_EDIT_UNDO);
    EXPECT_EQ(NetVertexCount(*doc), unrouted);
    EXPECT_EQ(doc->Design().GetNets().GetErrorCount(), 0);

    // Planes > New Plane, a click on the board: a plane over the whole board, filled.
    Pick(ID_PLANES_NEW_PLANE);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{CResString::Load(IDS_PLACE_SEEDPOINT)});
    services.messages.ClearShown();
    WhenModal([](QWidget* border) { dialog_test::Click(border, CWevraDialog::idOk); });
    ClickAt(CPoint(doc->Design().GetBoardWidth() / 2 + 12800,
                   doc->Design().GetBoardHeight() / 2 + 12800));
    ASSERT_EQ(doc->Design().GetPlaneCount(), 1);
    Pick(ID_PLANES_REFILL_ALL);
    EXPECT_FALSE(doc->Design().GetPlane(0).GetFillStrokes().IsEmpty());

    // File > Output of the Gerber job writes its files beside the design.
    int32_t gerber = -1;
    for (int32_t i = 0; i < doc->Design().GetOutputJobs().GetCount() && gerber < 0; ++i)
        if (doc->Design().GetOutputJobs().GetJob(i)->GetDevice().rfind("GERBER", 0) == 0)
            gerber = i;
    ASSERT_GE(gerber, 0);
    services.listPicker.QueueAnswer(gerber);
    Pick(ID_FILE_OUTPUT);
    // The run says where the files went, and says nothing else.
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].icon, MB_ICONINFORMATION);
    services.messages.ClearShown();
    int32_t written = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(boards))
        written += entry.is_regular_file() && entry.path().extension() != ".PCB" &&
                           entry.path().extension() != ".NET" && entry.path().extension() != ".TXT"
                       ? 1
                       : 0;
    EXPECT_GT(written, 0);
    // Every image of every photoplot reads whole in every reader, turned pads and all.
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(boards)) {
        if (entry.path().extension() == ".GBR")
            files.push_back(entry.path());
    }
    std::vector<fs::path> plots;
    for (const fs::path& file : files) {
        const std::vector<fs::path> images = WriteImages(file);
        plots.insert(plots.end(), images.begin(), images.end());
    }
    EXPECT_FALSE(plots.empty());
    EXPECT_EQ(ParserComplaints(plots), std::vector<std::string>{});

    // File > Save, Close and Open give the same design again.
    Pick(ID_FILE_SAVE);
    EXPECT_FALSE(doc->IsModified());
    const std::vector<std::string> before = Summary(*doc);
    Pick(ID_FILE_CLOSE);
    ASSERT_EQ(Document(), nullptr);
    services.fileDialogs.QueueFile(design.string());
    Pick(ID_FILE_OPEN);
    ASSERT_NE(Document(), nullptr);
    EXPECT_EQ(Summary(*Document()), before);
    EXPECT_EQ(Document()->Design().GetComponents().GetCount(), 14);
    EXPECT_EQ(Document()->Design().GetPlaneCount(), 1);
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
}

// The platform's habits with files: with no design open the toolbar offers New; File > New
// keeps the name as typed and starts the netlist folder beside the design; the title marks a
// change; File > Open of a netlist offers Netlist > Load; a name beyond ASCII reads right in the
// status line.
TEST_F(NewUserWalkTest, FilesAreNamedAndOfferedAsTheUserExpects)
{
    std::vector<uint32_t> buttons;
    for (QAction* button : frame->GetToolbar().actions())
        buttons.push_back(CQtCommandBinder::CommandOf(*button));
    EXPECT_EQ(buttons, (std::vector<uint32_t>{ID_FILE_NEW, ID_FILE_OPEN}));

    const fs::path boards = m_home.Path() / "boards";
    fs::create_directories(boards);
    // "blinker" and a sharp s, as the file system spells it.
    const std::string name = "blinker\xC3\x9F";
    const fs::path design = boards / (name + ".PCB");
    services.fileDialogs.QueueFile(design.string());
    services.fileDialogs.QueueFile(std::nullopt);
    WhenModal([](QWidget* dialog) {
        dialog_test::Click(dialog, CNewPcbDlg::idBrowseDesign);
        dialog_test::Click(dialog, CNewPcbDlg::idLinkNetlist);
        dialog_test::Click(dialog, CNewPcbDlg::idBrowseNetlist);
        dialog_test::Click(dialog, CNewPcbDlg::idLinkNetlist);
        dialog_test::Click(dialog, CWevraDialog::idOk);
    });
    Pick(ID_FILE_NEW);
    ASSERT_EQ(services.fileDialogs.GetFileStartFolders().size(), 2u);
    EXPECT_EQ(fs::path(services.fileDialogs.GetFileStartFolders()[1]), boards);
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(fs::path(doc->GetPathNameRef()), design);
    EXPECT_TRUE(fs::exists(design));
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->windowTitle().contains(QLatin1Char('*')))
        << frame->windowTitle().toStdString();

    // A netlist picked in File > Open: the user is told what it is and may load it.
    const fs::path netlist = boards / "walk.NET";
    fs::copy_file(fs::path(WEVRA_TEST_DATA_DIR) / "walk.NET", netlist);
    services.fileDialogs.QueueFile(netlist.string());
    services.messages.QueueAnswer(IDYES);
    Pick(ID_FILE_OPEN);
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    const std::string offer = services.messages.ShownTexts()[0];
    EXPECT_NE(offer.find("walk.NET"), std::string::npos) << offer;
    EXPECT_NE(offer.find("Netlist > Load"), std::string::npos) << offer;
    EXPECT_EQ(Document(), doc);
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 14);
    EXPECT_EQ(fs::path(doc->Design().GetNetlistPath()), netlist);

    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->windowTitle().contains(QLatin1Char('*')))
        << frame->windowTitle().toStdString();
    // The backup the load made is named in the status line as the file system names it.
    QApplication::processEvents();
    BoardView()->UpdateStatusLine();
    const QString status = CQtText::FromDesignText(frame->GetPaneText(0));
    EXPECT_TRUE(status.contains(QChar(0x00DF))) << status.toStdString();
    EXPECT_FALSE(status.contains(QChar(0x00C3))) << status.toStdString();

    // Another kind of file is refused by name.
    const fs::path notes = boards / "notes.txt";
    std::ofstream(notes) << "notes";
    services.messages.ClearShown();
    services.fileDialogs.QueueFile(notes.string());
    Pick(ID_FILE_OPEN);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"Not supported fileformat:\n" + notes.string()});
    Pick(ID_FILE_SAVE);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->windowTitle().contains(QLatin1Char('*')));
}

namespace {

// The program's launcher on a desktop that has no text viewer.
class CNoViewerLauncher : public CWindowLauncher {
public:
    bool OpenTextFile(const fs::path&) override { return false; }
};

} // namespace

// File > New with a linked netlist looks as Netlist > Load does: the import's report in a window
// of the program, both panes open, and every new part in view.
TEST_F(NewUserWalkTest, ANewDesignLinkedWithANetlistShowsTheImport)
{
    CNoViewerLauncher launcher;
    const std::unique_ptr<CLauncher, void (*)(CLauncher*)> installed(
        CServices::SetLauncher(&launcher),
        [](CLauncher* previous) { CServices::SetLauncher(previous); });
    NewLinkedDesign(m_home.Path() / "boards" / "WALK.PCB");
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Design().GetComponents().GetCount(), 14);

    const CTextFileWindow* report = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CTextFileWindow*>(widget); window && window->isVisible())
            report = window;
    ASSERT_NE(report, nullptr) << "the import report is not shown";
    EXPECT_EQ(report->windowTitle(), QStringLiteral("WALK IMPORT NETLIST.TXT"));
    EXPECT_GT(Child().GetOuterSplitter()->sizes()[0], 0) << "left pane";
    EXPECT_GT(Child().GetRightSplitter()->sizes()[1], 0) << "bottom pane";
    EXPECT_TRUE(doc->View().IsLeftPaneShown());
    EXPECT_TRUE(doc->View().IsBottomPaneShown());

    const CComponentArray& components = doc->Design().GetComponents();
    const QRect client = BoardView()->viewport()->rect();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const CRect box = components.GetBox(i);
        EXPECT_TRUE(client.contains(PixelOf(box.left, box.top)) &&
                    client.contains(PixelOf(box.right, box.bottom)))
            << components.GetReference(i);
    }
}

// The ratsnest is on from the start and comes back with the design: a new design from the
// template shows the connections still to make, and so does the same design reopened, with
// the same ToDo counts in the NetList Table.
TEST_F(NewUserWalkTest, TheRatsnestIsShownAfterTheImportAndAfterReopening)
{
    const fs::path design = m_home.Path() / "boards" / "RATS.PCB";
    NewLinkedDesign(design);
    ASSERT_NE(Document(), nullptr);
    std::map<uint32_t, QAction*> items;
    CollectMenuItems(frame->menuBar()->actions(), items);
    // What the NetList Table and the board show of each net: ToDo, pins and ratsnest lines.
    const auto shown = [this] {
        std::vector<std::string> lines;
        const CNetArray& nets = Document()->Design().GetNets();
        for (int32_t i = 1; i < nets.GetCount(); ++i) {
            const CNet& net = *nets.GetNet(i);
            lines.push_back(net.GetName() + " " + std::to_string(net.GetToDo()) + " " +
                            std::to_string(net.GetPinCount()) + " " +
                            std::to_string(net.GetRatsLineCount()));
        }
        return lines;
    };
    const std::vector<std::string> imported = shown();
    EXPECT_TRUE(items.at(ID_TOOLS_RATSNEST_ACTIVE)->isChecked());
    // No net has a track; the pins of a net join only where the imported parts overlap.
    int32_t unrouted = 0;
    const CNetArray& nets = Document()->Design().GetNets();
    for (int32_t i = 1; i < nets.GetCount(); ++i) {
        const CNet& net = *nets.GetNet(i);
        ASSERT_EQ(net.GetVertexCount(), 0) << net.GetName();
        EXPECT_GE(net.GetToDo(), 0) << net.GetName();
        if (net.GetPinCount() > 0) {
            EXPECT_EQ(net.GetRatsLineCount(), net.GetClusterCount() - 1) << net.GetName();
        }
        unrouted += net.GetRatsLineCount() > 0 ? 1 : 0;
    }
    EXPECT_GE(unrouted, 4);

    Pick(ID_FILE_SAVE);
    Pick(ID_FILE_CLOSE);
    ASSERT_EQ(Document(), nullptr);
    services.fileDialogs.QueueFile(design.string());
    Pick(ID_FILE_OPEN);
    ASSERT_NE(Document(), nullptr);
    items.clear();
    CollectMenuItems(frame->menuBar()->actions(), items);
    EXPECT_TRUE(items.at(ID_TOOLS_RATSNEST_ACTIVE)->isChecked());
    EXPECT_EQ(shown(), imported);
}

// Looking through the installed library is no change to it: Components > Add, a click on a
// group, Cancel, and File > Exit asks nothing about the library, which stays as it was.
TEST_F(NewUserWalkTest, LookingThroughTheInstalledLibraryChangesNothing)
{
    NewLinkedDesign(m_home.Path() / "boards" / "LOOK.PCB", false);
    ASSERT_NE(Document(), nullptr);
    const fs::path library = frame->GetShapeLibraries().GetPath();
    const auto bytes = [&library] {
        std::ifstream file(library, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    const std::string before = bytes();
    ASSERT_FALSE(before.empty()) << library;
    bool clicked = false;
    WhenModal([&clicked](QWidget* dialog) {
        auto* groups = dialog_test::Find<QListWidget>(dialog, CGetShapeDlg::idGroups);
        ASSERT_NE(groups, nullptr);
        const QList<QListWidgetItem*> found = groups->findItems("AXIAL RADIAL", Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        ASSERT_NE(groups->currentItem(), found[0]) << "the click must change the group";
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::NoModifier,
                          groups->visualItemRect(found[0]).center());
        clicked = groups->currentItem() == found[0];
        dialog_test::Click(dialog, CWevraDialog::idCancel);
    });
    Pick(ID_COMPONENTS_ADD);
    EXPECT_TRUE(clicked);
    services.messages.ClearShown();
    Pick(ID_FILE_EXIT);
    for (const std::string& text : services.messages.ShownTexts())
        EXPECT_EQ(text.find("installed library"), std::string::npos) << text;
    EXPECT_EQ(bytes(), before);
}

// A check that finds nothing says so, in the bottom pane and on the status line, until the
// design changes; the template has the clearance check while drawing on.
TEST_F(NewUserWalkTest, ACleanDesignRuleCheckSaysNoErrors)
{
    NewLinkedDesign(m_home.Path() / "boards" / "CLEAN.PCB", false);
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    // Netlist > Add Net: a second net, and nothing on the board that could break a rule.
    WhenModal([](QWidget* dialog) { dialog_test::Click(dialog, CWevraDialog::idOk); });
    Pick(ID_NETLIST_ADD_NET);
    ASSERT_EQ(doc->Design().GetNets().GetCount(), 2);
    std::map<uint32_t, QAction*> items;
    CollectMenuItems(frame->menuBar()->actions(), items);
    EXPECT_TRUE(items.at(ID_TOOLS_DRC_ACTIVE)->isChecked());
    CBottomView& pane = *Child().GetBottomView();
    const auto paneShows = [&pane] {
        if (pane.viewport()->width() < 2 || pane.viewport()->height() < 2)
            return false;
        QImage picture(pane.viewport()->size(), QImage::Format_RGB32);
        pane.viewport()->render(&picture);
        const QRgb background = picture.pixel(picture.width() - 1, picture.height() - 1);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) != background)
                    return true;
        return false;
    };
    EXPECT_FALSE(paneShows());

    Pick(ID_TOOLS_DRC_TEST_ALL);
    ASSERT_EQ(doc->Design().GetNets().GetErrorCount(), 0);
    EXPECT_EQ(frame->GetPaneText(0), "DRC Test All: no errors");
    EXPECT_EQ(doc->Windows().GetCheckVerdict(), "DRC Test All: no errors");
    EXPECT_GT(Child().GetRightSplitter()->sizes()[1], 0) << "bottom pane";
    EXPECT_TRUE(paneShows());

    // Any change to the design makes the verdict a thing of the past.
    Pick(ID_TOOLS_RATSNEST_ACTIVE);
    EXPECT_EQ(doc->Windows().GetCheckVerdict(), "");
    EXPECT_FALSE(paneShows());
}

// The View menu's component texts, the Components Text dialog and the board show one state,
// and a set without a silkscreen shows no component text.
TEST_F(NewUserWalkTest, ComponentTextsShowOneStateInMenuDialogAndBoard)
{
    NewLinkedDesign(m_home.Path() / "boards" / "TEXTS.PCB");
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    const auto checked = [this] {
        std::map<uint32_t, QAction*> items;
        CollectMenuItems(frame->menuBar()->actions(), items);
        std::vector<uint32_t> ids;
        for (uint32_t id :
             {ID_VIEW_COMPONENTS_TEXT_HIDE, ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT,
              ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT,
              ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT})
            if (items.at(id)->isChecked())
                ids.push_back(id);
        return ids;
    };
    // What the dialog shows: reference, shape, type; then what it is given.
    const auto dialog = [this](std::vector<bool> give) {
        std::vector<bool> shown;
        WhenModal([&shown, give](QWidget* box) {
            for (int32_t id : {CDisplayCompTextDlg::idReference, CDisplayCompTextDlg::idShape,
                               CDisplayCompTextDlg::idType})
                shown.push_back(dialog_test::Find<QAbstractButton>(box, id)->isChecked());
            if (give.empty()) {
                dialog_test::Click(box, CWevraDialog::idCancel);
                return;
            }
            int32_t k = 0;
            for (int32_t id : {CDisplayCompTextDlg::idReference, CDisplayCompTextDlg::idShape,
                               CDisplayCompTextDlg::idType})
                dialog_test::Find<QAbstractButton>(box, id)->setChecked(give[size_t(k++)]);
            dialog_test::Click(box, CWevraDialog::idOk);
        });
        Pick(ID_VIEW_COMPONENTS_TEXT);
        return shown;
    };
    // The strokes the board draws, and those of the component texts alone.
    const auto strokes = [doc] {
        CRecordingDC dc(1000, 700);
        doc->Paint().DrawBoard(dc);
        return dc.Lines().size();
    };
    Pick(ID_VIEW_COMPONENTS_TEXT_HIDE);
    const size_t bare = strokes();

    Pick(ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT);
    EXPECT_EQ(checked(), std::vector<uint32_t>{ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT});
    EXPECT_EQ(dialog({}), (std::vector<bool>{true, false, false}));
    EXPECT_GT(strokes(), bare) << "no reference drawn";

    EXPECT_EQ(dialog({false, false, true}), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(checked(), std::vector<uint32_t>{ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT});
    EXPECT_EQ(dialog({false, false, false}), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(checked(), std::vector<uint32_t>{ID_VIEW_COMPONENTS_TEXT_HIDE});
    EXPECT_EQ(strokes(), bare);

    // View > Select Layerset, "Copper on Top": no silkscreen, so no reference either.
    WhenModal([](QWidget* box) {
        dialog_test::ChooseRow(box, CDisplayLayersetDlg::idList, QStringLiteral("  Copper on Top"),
                               CWevraDialog::idOk);
    });
    Pick(ID_VIEW_SELECT_LAYERSET);
    ASSERT_EQ(doc->Design().GetCurrentLayerSet()->GetDisplayName(), "Copper on Top");
    const size_t copper = strokes();
    Pick(ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT);
    EXPECT_EQ(strokes(), copper) << "references drawn without a silkscreen";
}

// The bottom pane's own menu, opened by the right button and by the Menu key: DRC Test All from
// it lists the check's findings in the pane, Bottom Pane from it closes the pane.
TEST_F(NewUserWalkTest, TheBottomPaneHasAMenuOfItsOwn)
{
    NewLinkedDesign(m_home.Path() / "boards" / "PANE.PCB");
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    CBottomView& pane = *Child().GetBottomView();
    ASSERT_TRUE(pane.isVisible());
    std::vector<uint32_t> offered;
    QPoint shownAt;
    // Chooses the item of the command in the menu that opens next, by the keys.
    const auto choose = [&offered, &shownAt](uint32_t id) {
        QTimer::singleShot(0, [&offered, &shownAt, id] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                ADD_FAILURE() << "no menu";
                return;
            }
            offered.clear();
            shownAt = menu->pos();
            for (QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                offered.push_back(CQtCommandBinder::CommandOf(*action));
                if (offered.back() == id)
                    menu->setActiveAction(action);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
    };

    choose(ID_TOOLS_DRC_TEST_ALL);
    const QPoint middle = pane.viewport()->rect().center();
    QTest::mouseClick(frame->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      pane.viewport()->mapTo(frame, middle));
    QApplication::processEvents();
    EXPECT_EQ(offered, (std::vector<uint32_t>{ID_TOOLS_DRC_TEST_ALL, ID_VIEW_BOTTOM_PANE}));
    EXPECT_TRUE(doc->Design().GetNets().GetErrorCount() > 0 ||
                doc->Windows().GetCheckVerdict() == "DRC Test All: no errors");

    offered.clear();
    choose(ID_VIEW_BOTTOM_PANE);
    // The Menu key, as the window system hands it to the pane.
    pane.setFocus();
    const QPoint corner = pane.viewport()->mapToGlobal(QPoint(5, 5));
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(pane.viewport(), &menuKey);
    QApplication::processEvents();
    EXPECT_EQ(offered, (std::vector<uint32_t>{ID_TOOLS_DRC_TEST_ALL, ID_VIEW_BOTTOM_PANE}));
    EXPECT_EQ(shownAt, corner);
    EXPECT_FALSE(doc->View().IsBottomPaneShown());
}

// What the component tools cannot do is said or not done: Add with no shape anywhere says so
// and opens no chooser; F2 in Replace Pads turns the angle of the pads to come; a Replace Pads
// click that changes no pad leaves no undo step; a netlist that cannot be loaded into a design
// without parts closes that design.
TEST_F(NewUserWalkTest, TheComponentToolsSayWhatTheyCannotDo)
{
    NewLinkedDesign(m_home.Path() / "boards" / "PADS.PCB");
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    CWevraView* view = BoardView();
    frame->activateWindow();
    view->setFocus();

    // F2 in Replace Pads: a quarter turn each time, round to 0.
    QTest::keyClick(view, Qt::Key_1);
    Pick(ID_COMPONENTS_REPLACE_PADS);
    CTrackTool& pads = doc->Design().GetNets().GetTrackTool();
    pads.SetPadAngle(270000);
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(pads.GetPadAngle(), 0);
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(pads.GetPadAngle(), 90000);

    // A pad replaced is a step to undo; the same pad again changes nothing and makes none.
    // A pad on the grid the cursor snaps to, of another padstack than the default shape pad, of
    // the part a click there picks.
    CComponentArray& components = doc->Design().GetComponents();
    std::optional<CPoint> onGrid;
    for (int32_t i = 0; i < components.GetCount() && !onGrid; ++i) {
        for (int32_t n = 0; n < components.GetShapePadCount(i) && !components.IsMirrored(i); ++n) {
            const CPoint at = components.GetPadPosition(i, n);
            CPoint picked = at;
            if (doc->Session().SnapToGrid(at) == at && components.FindReplaceablePad(i, at) >= 0 &&
                components.FindAtPoint(picked, CComponentArray::hitSelect, LayerBit(LAYER_TOP)) ==
                    i) {
                onGrid = at;
                break;
            }
        }
    }
    ASSERT_TRUE(onGrid);
    const CPoint pad = *onGrid;
    const uint64_t steps = doc->History().GetUndoMark();
    ClickAt(pad);
    EXPECT_EQ(doc->History().GetUndoMark(), steps + 1);
    ClickAt(pad);
    EXPECT_EQ(doc->History().GetUndoMark(), steps + 1);
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    Pick(ID_FILE_SAVE);
    Pick(ID_FILE_CLOSE);

    // A bare design, and a shape library set that holds no shape.
    fs::remove(m_home.Path() / "nets" / "walk.NET");
    NewLinkedDesign(m_home.Path() / "boards" / "BARE.PCB", false);
    doc = Document();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Design().GetShapeCache().GetCount(), 0);
    const std::string library = frame->GetLibraryFile();
    CShapeLibArray& libraries = frame->GetShapeLibraries();
    for (int32_t i = 0; i < libraries.GetCount(); ++i) {
        while (libraries.GetLib(i)->GetCount() > 0)
            libraries.GetLib(i)->DeleteShape(0);
    }
    bool chooserOpened = false;
    QTimer::singleShot(0, [&chooserOpened] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            chooserOpened = true;
            dialog->reject();
        }
    });
    Pick(ID_COMPONENTS_ADD);
    EXPECT_FALSE(chooserOpened);
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    const std::string told = services.messages.ShownTexts()[0];
    EXPECT_NE(told.find("no shape to place"), std::string::npos) << told;
    EXPECT_NE(told.find(library), std::string::npos) << told;
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    services.messages.ClearShown();
    Pick(ID_EDIT_SELECT_MODE);

    // Netlist > Load of a file that is no netlist: told, and the bare design goes.
    const fs::path notes = m_home.Path() / "boards" / "notes.NET";
    std::ofstream(notes) << "notes\n";
    services.fileDialogs.QueueFile(notes.string());
    Pick(ID_NETLIST_LOAD);
    QApplication::processEvents();
    ASSERT_FALSE(services.messages.ShownTexts().empty());
    EXPECT_NE(services.messages.ShownTexts()[0].find("No netlist of a known kind"),
              std::string::npos)
        << services.messages.ShownTexts()[0];
    EXPECT_EQ(Document(), nullptr);
}

// The sample as it was stored: its unfilled planes shown dashed and named until filled, drawn
// with the stored work layer on top, which choosing it again leaves as it is; a text on the
// silkscreen leaves the filled planes as they are.
TEST_F(NewUserWalkTest, TheSampleOpensAsItWasStored)
{
    const fs::path design = m_home.Path() / "boards" / "demo.PCB";
    fs::create_directories(design.parent_path());
    fs::copy_file(WEVRA_DEMO_DESIGN, design);
    services.fileDialogs.QueueFile(design.string());
    Pick(ID_FILE_OPEN);
    CWevraDoc* doc = Document();
    ASSERT_NE(doc, nullptr);
    ASSERT_GT(doc->Design().GetPlaneCount(), 0);
    CWevraView* view = BoardView();
    frame->activateWindow();
    view->setFocus();

    // What the board draws, and where it names the planes to refill.
    const auto picture = [&doc] {
        CRecordingDC dc(1000, 700);
        doc->Paint().DrawBoard(dc);
        return dc.Lines();
    };
    const auto dashed = [](const std::vector<std::string>& lines) {
        return std::count(lines.begin(), lines.end(), "SelectPen dash 1 0x00FFFFFF");
    };
    const std::string stale = "Plane needs Refill: " + doc->Design().GetPlane(0).GetName();
    const auto listed = [&doc] {
        int32_t count = 0;
        for (int32_t i = 0; i < doc->Design().GetNets().GetErrorCount(); ++i)
            count += doc->Design().GetNets().GetError(i)->GetFirst().text == "Plane needs Refill";
        return count;
    };

    // The work layer the box shows is the one drawn on top; choosing it changes nothing.
    const int32_t workLayer = doc->Session().GetWorkLayer();
    const std::vector<std::string> opened = picture();
    EXPECT_EQ(dashed(opened), doc->Design().GetPlaneCount());
    BoardView()->UpdateStatusLine();
    EXPECT_NE(frame->GetPaneText(0).find(stale), std::string::npos) << frame->GetPaneText(0);
    QTest::keyClick(view, Qt::Key(Qt::Key_0 + workLayer));
    EXPECT_EQ(doc->Session().GetWorkLayer(), workLayer);
    EXPECT_EQ(picture(), opened);
    EXPECT_FALSE(doc->IsModified());
    // Another layer and the work layer again: the work layer on top, as it was opened.
    const int32_t other = workLayer == LAYER_TOP ? LAYER_BOTTOM : LAYER_TOP;
    QTest::keyClick(view, Qt::Key(Qt::Key_0 + other));
    QTest::keyClick(view, Qt::Key(Qt::Key_0 + workLayer));
    EXPECT_EQ(picture(), opened);
    Pick(ID_TOOLS_DRC_TEST_ALL);
    EXPECT_EQ(listed(), doc->Design().GetPlaneCount());

    // Filled, the planes are current; a text placed on the top silkscreen keeps them so.
    Pick(ID_PLANES_REFILL_ALL);
    EXPECT_EQ(doc->Design().FindStalePlane(), nullptr);
    EXPECT_EQ(dashed(picture()), 0);
    QTest::keyClick(view, Qt::Key_1, Qt::ControlModifier);
    ASSERT_EQ(doc->Session().GetWorkLayer(), LAYER_SILK_TOP);
    Pick(ID_BOARD_PLACE_TEXT);
    WhenModal([](QWidget* dialog) { dialog_test::Click(dialog, CWevraDialog::idOk); });
    const CPoint at(doc->Design().GetBoardWidth() / 2, doc->Design().GetBoardHeight() / 2);
    const int32_t texts = doc->Design().GetTexts().GetCount();
    ClickAt(at);
    ClickAt(at);
    EXPECT_EQ(doc->Design().GetTexts().GetCount(), texts + 1);
    EXPECT_EQ(doc->Design().FindStalePlane(), nullptr);
    Pick(ID_TOOLS_DRC_TEST_ALL);
    EXPECT_EQ(listed(), 0);

    // Saved and opened again, the planes are unfilled as the file keeps them.
    Pick(ID_EDIT_SELECT_MODE);
    Pick(ID_FILE_SAVE);
    Pick(ID_FILE_CLOSE);
    services.fileDialogs.QueueFile(design.string());
    Pick(ID_FILE_OPEN);
    ASSERT_NE(Document(), nullptr);
    doc = Document();
    EXPECT_EQ(dashed(picture()), doc->Design().GetPlaneCount());
}
