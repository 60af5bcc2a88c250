#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "document/CDesign.h"
#include "document/CDesignBackup.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CConfig.h"
#include "editor/CDesignFailureGuard.h"
#include "editor/CDocTemplate.h"
#include "editor/CLeftPane.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApp.h"
#include "editor/CWevraApplication.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtSettingsStore.h"
#include "framework/qt/CQtText.h"
#include "interchange/CLmcImport.h"
#include "interchange/NetlistFormat.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "model/COutputArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/interchange/OutputTestSupport.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CScriptedLayermap.h"
#include "tests/support/CScriptedMessageService.h"

namespace fs = std::filesystem;

namespace {

using archive_bytes::Bytes;
using archive_bytes::ReadFile;
using archive_bytes::WriteFile;

// The action of a menu path such as {"&File", "&Import", "Wevra &DOS Components"}.
QAction* FindItem(QMenuBar& bar, const std::vector<std::string>& path)
{
    QList<QAction*> actions = bar.actions();
    for (size_t level = 0; level < path.size(); ++level) {
        QAction* found = nullptr;
        for (QAction* action : actions)
            if (action->text() == QString::fromStdString(path[level]))
                found = action;
        if (found == nullptr || level + 1 == path.size())
            return found;
        if (found->menu() == nullptr)
            return nullptr;
        actions = found->menu()->actions();
    }
    return nullptr;
}

// Counts the presses of Z that reach a widget.
class CKeyCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Z)
            ++presses;
        return QObject::eventFilter(watched, event);
    }

    int presses = 0;
};

class CMainFrameTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        folder = sandbox.root / "designs";
        fs::create_directories(folder);
        design = WriteDesign("BOARD.PCB");
    }

    fs::path WriteDesign(const std::string& name)
    {
        CWevraDoc document;
        const fs::path path = folder / name;
        EXPECT_TRUE(document.OnSaveDocument(path.string()));
        return path;
    }

    // The design holds the shape 0805 and no component; the netlist "demo.net" in
    // `netFolder` places R1 and R2 in the nets GND and VCC.
    void WriteNetlistDesign(const fs::path& netFolder)
    {
        CWevraDoc document;
        CShapeLib& cache = document.Design().GetEditableShapeCache();
        const int32_t shape = cache.AddShape("0805");
        cache.GetShape(shape)->AddPad(-1000, 0, 0, 0);
        cache.GetShape(shape)->AddPad(1000, 0, 0, 0);
        cache.RecalcShapeExtent(shape);
        ASSERT_TRUE(document.OnSaveDocument(design.string()));
        fs::create_directories(netFolder);
        std::ofstream(netFolder / "demo.net") << "/GND R1(2) R2(2)\n/VCC R1(1)\n";
        std::ofstream(netFolder / "demo.cmp") << "10K                 R1                  0805\n"
                                                 "4k7                 R2                  0805\n";
    }

    std::unique_ptr<CWevraApplication> Start(const std::vector<std::string>& arguments,
                                             bool expectRunning = true)
    {
        CWevraApplication::Options options;
        options.programFolder = fs::path(WEVRA_BUILD_DIR) / "bin";
        options.registerFileType = false;
        options.showWindow = false;
        auto application = std::make_unique<CWevraApplication>(options);
        EXPECT_EQ(application->InitInstance(arguments), expectRunning);
        return application;
    }

    // The application's main window, 1000 by 800 pixels, shown and active.
    CMainFrame& ShowActive(CWevraApplication& application)
    {
        CMainFrame& frame = *application.GetMainFrame();
        frame.resize(1000, 800);
        frame.show();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        return frame;
    }

    // Shows the frame active, with the design open in it.
    CWevraDoc* ShowWithDesign(CMainFrame& frame)
    {
        frame.show();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        return frame.OpenDocumentFile(design.string());
    }

    // The name of a numbered backup of BOARD.PCB in a backup folder of its own.
    std::string Backup(int32_t number) const
    {
        return CDesignBackup::BackupFileName(
            CDesignBackup::SeriesTitle("BOARD", folder.string(), (folder / "bak").string()),
            number);
    }

    std::vector<std::string> OpenPaths(CMainFrame& frame)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < frame.GetDocTemplate().GetCount(); ++i)
            paths.push_back(frame.GetDocTemplate().GetDocument(i)->GetPathNameRef());
        return paths;
    }

    // Netlist > Load of `net` with no answer scripted: it must stop at one message and leave the
    // design as it was (the pads' nets, the modified mark, the Undo list). The message shown.
    CScriptedMessageService::Message LoadChangingNothing(CWevraDoc& doc, QAction& load,
                                                         const fs::path& net);

    CFakeServices services;
    CSettingsSandbox sandbox{"wevra_main_frame_test"};
    fs::path folder;
    fs::path design;
};

TEST_F(CMainFrameTest, StartUpOpensTheNamedDesignOrElseTheLastOne)
{
    {
        auto application = Start({});
        CMainFrame& frame = *application->GetMainFrame();
        EXPECT_TRUE(OpenPaths(frame).empty());
        // The start-up settings show the toolbar, with its New and Open buttons alone.
        EXPECT_TRUE(frame.GetToolbar().isVisibleTo(&frame));
        EXPECT_EQ(frame.GetToolbar().actions().size(), 2);
        EXPECT_EQ(frame.GetRouter().Query(ID_FILE_SAVE).enabled, false);
    }

    const fs::path other = WriteDesign("OTHER.PCB");
    sandbox.settings.WriteString("Recent File List", "File1", design.string());
    {
        auto application = Start({});
        EXPECT_EQ(OpenPaths(*application->GetMainFrame()),
                  std::vector<std::string>{design.string()});
    }
    {
        auto application = Start({other.string()});
        EXPECT_EQ(OpenPaths(*application->GetMainFrame()),
                  std::vector<std::string>{other.string()});
    }
    // A named design that cannot be opened ends the program with a failure status.
    EXPECT_EQ(Start({(folder / "NONE.PCB").string()}, false)->GetExitStatus(), 1);

    // A last design that is gone leaves the list.
    sandbox.settings.WriteString("Recent File List", "File1", (folder / "GONE.PCB").string());
    auto application = Start({});
    EXPECT_TRUE(OpenPaths(*application->GetMainFrame()).empty());
    EXPECT_TRUE(application->GetMainFrame()->GetRecentFiles().GetPaths().empty());
}

TEST_F(CMainFrameTest, MenusCarryTheCommandsOfTheirItems)
{
    struct Item {
        std::vector<std::string> path;
        uint32_t id;
    };
    auto application = Start({});
    CMainFrame& frame = *application->GetMainFrame();
    QMenuBar& bar = *frame.menuBar();

    const std::vector<Item> frameItems = {
        {{"&File", "&Open\tCtrl+O"}, ID_FILE_OPEN},
        {{"&File", "&User Configuration"}, ID_FILE_USER_CONFIGURATION},
        {{"&File", "&Import", "Wevra &DOS Components"}, ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS},
        {{"&Help", "&Readme"}, ID_HELP_README},
        {{"&Help", "&About Wevra..."}, ID_HELP_ABOUT_WEVRA},
        {{"&Help", "&Help Index"}, ID_HELP_HELP_INDEX},
    };
    for (const Item& item : frameItems) {
        QAction* action = FindItem(bar, item.path);
        ASSERT_NE(action, nullptr) << item.path.back();
        EXPECT_EQ(CQtCommandBinder::CommandOf(*action), item.id) << item.path.back();
    }
    EXPECT_EQ(FindItem(bar, {"&Tracks"}), nullptr);

    ASSERT_NE(frame.OpenDocumentFile(design.string()), nullptr);
    const std::vector<Item> designItems = {
        {{"&File", "&Save\tCtrl+S"}, ID_FILE_SAVE},
        {{"&Edit", "&Select mode"}, ID_EDIT_SELECT_MODE},
        {{"&Edit", "&Undo\tCtrl+Z"}, ID_EDIT_UNDO},
        {{"&Components", "&Move/Rotate\tM"}, ID_COMPONENTS_MOVE_ROTATE},
        {{"&Components", "Edit Shape &Library..."}, ID_COMPONENTS_EDIT_SHAPE_LIBRARY},
        {{"&Tracks", "&Edit\tE"}, ID_TRACKS_EDIT},
        {{"&Tracks", "Add or Remove &Via\tV"}, ID_TRACKS_ADD_OR_REMOVE_VIA},
        {{"&Lines", "&Edit\tE"}, ID_LINES_EDIT},
        {{"&Lines", "&Draw\tT"}, ID_LINES_ADD},
        {{"&Pads", "Add &Manually\tS"}, ID_PADS_ADD_MANUALLY},
        {{"&Settings", "Snap to &Guidelines\t[ ]"}, ID_SETTINGS_SNAP_TO_GUIDELINES},
        {{"&Netlist", "&Add Net..."}, ID_NETLIST_ADD_NET},
        {{"Pla&ne", "&New Plane"}, ID_PLANES_NEW_PLANE},
        {{"T&ools", "Run &Schematic Application"}, ID_TOOLS_RUN_SCHEMATIC_APPLICATION},
        {{"&Help", "&About Wevra..."}, ID_HELP_ABOUT_WEVRA},
    };
    for (const Item& item : designItems) {
        QAction* action = FindItem(bar, item.path);
        ASSERT_NE(action, nullptr) << item.path.back();
        EXPECT_EQ(CQtCommandBinder::CommandOf(*action), item.id) << item.path.back();
    }
    // Every command of a menu has its prompt in the string table.
    EXPECT_EQ(CWevraApp::LoadResStringPart(ID_TRACKS_ADD), "Tracks Add");
    EXPECT_EQ(CWevraApp::LoadResStringPart(ID_EDIT_SELECT_MODE), "Select");
}

TEST_F(CMainFrameTest, ToolbarFollowsTheToolMode)
{
    struct Layout {
        uint32_t mode;
        int slotCount;
        std::set<int32_t> combos;
    };
    const std::vector<Layout> layouts = {
        {ID_VIEW, 16, {CDocumentFrame::layerCombo}},
        {ID_LINES_EDIT, 16, {CDocumentFrame::layerCombo, CDocumentFrame::penCombo}},
        {ID_TRACKS_ADD, 20, {CDocumentFrame::layerCombo, CDocumentFrame::penCombo}},
        {ID_NETLIST_CONNECT_PINS_TO_NETS,
         20,
         {CDocumentFrame::layerCombo, CDocumentFrame::netCombo}},
        {ID_TRACKS_ADD_OR_REMOVE_VIA,
         18,
         {CDocumentFrame::layerCombo, CDocumentFrame::padStackCombo}},
        {ID_PLANES_NEW_PLANE, 29, {CDocumentFrame::layerCombo, CDocumentFrame::planeCombo}},
        {ID_EDIT_SELECT_MODE, 29, {CDocumentFrame::layerCombo}},
        {ID_COMPONENTS_MOVE_ROTATE, 16, {CDocumentFrame::layerCombo}},
    };
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    CWevraDoc& document = *frame.GetDocTemplate().GetActiveDocument();
    for (const Layout& layout : layouts) {
        document.Session().SetMode(layout.mode);
        EXPECT_EQ(frame.GetToolbar().actions().size(), layout.slotCount) << layout.mode;
        std::set<int32_t> combos;
        for (int32_t id :
             {CDocumentFrame::layerCombo, CDocumentFrame::penCombo, CDocumentFrame::netCombo,
              CDocumentFrame::padStackCombo, CDocumentFrame::planeCombo})
            if (frame.GetCombo(id) != nullptr)
                combos.insert(id);
        EXPECT_EQ(combos, layout.combos) << layout.mode;
        EXPECT_TRUE(frame.GetToolbar().isVisibleTo(&frame));
    }

    // A combo box of the previous layout never survives a change of tool.
    document.Session().SetMode(ID_LINES_EDIT);
    QComboBox* linePens = frame.GetCombo(CDocumentFrame::penCombo);
    document.Session().SetMode(ID_TRACKS_ADD);
    EXPECT_NE(frame.GetCombo(CDocumentFrame::penCombo), linePens);
    frame.FillCombo(CDocumentFrame::penCombo, {"0.100 mm.", "0.200 mm."}, 1);
    EXPECT_EQ(frame.GetCombo(CDocumentFrame::penCombo)->currentText(), "0.200 mm.");

    // The last design closing leaves the New and Open buttons alone, hidden.
    ASSERT_TRUE(frame.GetDocTemplate().CloseAll());
    EXPECT_EQ(frame.GetToolbar().actions().size(), 2);
    EXPECT_FALSE(frame.GetToolbar().isVisibleTo(&frame));
}

TEST_F(CMainFrameTest, DisabledCommandsKeyIsTakenAndDoesNothing)
{
    CCommandTarget probe;
    bool enabled = false;
    int undos = 0;
    probe.OnCommand(ID_EDIT_UNDO, [&undos] { ++undos; });
    probe.OnUpdate(ID_EDIT_UNDO, [&enabled](CCmdUI& ui) { ui.Enable(enabled); });

    CMainFrame frame(&probe);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.GetMdiArea().setFocus();
    CKeyCounter keys;
    frame.GetMdiArea().installEventFilter(&keys);

    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undos, 0);
    EXPECT_EQ(keys.presses, 0) << "the key of a disabled command went on to the window";
    enabled = true;
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(undos, 2);
}

// The active view is asked first: the side pane writes its report on its own command, while
// Save, which it does not handle, still saves the design.
TEST_F(CMainFrameTest, SidePaneTakesItsOwnCommandsAndLeavesSaveToTheDocument)
{
    CMainFrame frame(nullptr);
    CWevraDoc* document = ShowWithDesign(frame);
    ASSERT_NE(document, nullptr);
    auto* child = dynamic_cast<CChildFrame*>(frame.GetDocTemplate().GetActiveFrame());
    ASSERT_NE(child, nullptr);
    CShapeLib& cache = document->Design().GetEditableShapeCache();
    document->Design().GetComponents().AddEmpty(cache.AddShape("R"));
    document->SetModified();
    child->ShowLeftPane(true);
    child->GetLeftPane()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(child->GetActiveView(), child->GetLeftPane());

    const auto sizeBefore = fs::file_size(design);
    frame.GetRouter().Execute(ID_FILE_SAVE);
    EXPECT_NE(fs::file_size(design), sizeBefore) << "the design with its component was saved";
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(services.launcher.openedTextFiles.empty()) << "Save wrote the report";

    frame.GetRouter().Execute(ID_FILE_PLACING_INFO);
    EXPECT_EQ(services.launcher.openedTextFiles.size(), 1u);
}

// A design in a folder whose name has spaces, umlauts, a dash and a CJK letter shows its name
// as written in the titles, the recent-file menu, the messages and the status bar, and saves
// byte for byte as it was read.
TEST_F(CMainFrameTest, DesignInAForeignLetteredFolderShowsItsNameAndSavesUnchanged)
{
    folder = sandbox.root / "Entwürfe – 图 A";
    fs::create_directories(folder);
    const fs::path named = WriteDesign("Größe – 1.PCB");

    auto application = Start({named.string()});
    CMainFrame& frame = *application->GetMainFrame();
    CWevraDoc* document = frame.GetDocTemplate().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    frame.UpdateCommandUI();
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("Wevra PCB - [Design] - [Größe – 1 ->View]"));
    EXPECT_TRUE(frame.GetMdiArea().currentSubWindow()->windowTitle().contains(
        QString::fromUtf8("[Design] - [Größe – 1 ->View")));

    QAction* fileMenu = FindItem(*frame.menuBar(), {"&File"});
    ASSERT_NE(fileMenu, nullptr);
    frame.GetBinder().UpdateMenu(*fileMenu->menu());
    QAction* recent = FindItem(*frame.menuBar(), {"&File", "&1 Größe – 1.PCB"});
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->statusTip(), QString::fromUtf8(named.string()));

    // The status bar gives back the Windows-1252 text it was given.
    frame.SetPaneText(0, "Gr\xF6\xDF"
                         "e");
    EXPECT_EQ(frame.GetPaneText(0), "Gr\xF6\xDF"
                                    "e");
    EXPECT_EQ(frame.statusBar()->findChildren<QLabel*>().front()->text(),
              QString::fromUtf8("Größe"));

    // What the program wrote it reads and writes again byte for byte.
    document->SetModified();
    frame.GetRouter().Execute(ID_FILE_SAVE);
    const Bytes written = ReadFile(named);
    ASSERT_TRUE(frame.GetDocTemplate().CloseDocument(*document));
    document = frame.OpenDocumentFile(named.string());
    ASSERT_NE(document, nullptr);
    document->SetModified();
    frame.GetRouter().Execute(ID_FILE_SAVE);
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(ReadFile(named) == written);
    EXPECT_TRUE(services.messages.Shown().empty());

    document->SetModified();
    services.messages.QueueAnswer(IDNO);
    ASSERT_TRUE(frame.GetDocTemplate().CloseDocument(*document));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_TRUE(services.messages.Shown()[0].namesFile);
    EXPECT_EQ(services.messages.Shown()[0].text, "Save changes to " + named.string() + "?");

    const fs::path missing = folder / "Fehlt – 图.PCB";
    EXPECT_EQ(frame.OpenDocumentFile(missing.string()), nullptr);
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_TRUE(services.messages.Shown()[1].namesFile);
    EXPECT_NE(services.messages.Shown()[1].text.find(missing.string()), std::string::npos);
    EXPECT_EQ(services.messages.Shown()[1].caption, "Fehlt – 图");
}

// Ctrl+S on a read-only design leaves the file as it is and offers another name instead.
TEST_F(CMainFrameTest, SaveOnAReadOnlyDesignOffersSaveAs)
{
    CMainFrame frame(nullptr);
    CWevraDoc* document = ShowWithDesign(frame);
    ASSERT_NE(document, nullptr);
    document->Design().GetComponents().AddEmpty(
        document->Design().GetEditableShapeCache().AddShape("R"));
    document->SetModified();
    const Bytes before = ReadFile(design);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::others_read;
    fs::permissions(design, readOnly);

    services.messages.QueueAnswer(IDNO);
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const CScriptedMessageService::Message& offer = services.messages.Shown()[0];
    EXPECT_EQ(offer.text, design.string() + " is read-only.\nSave the design under another name?");
    EXPECT_EQ(offer.buttons, MB_YESNO);
    EXPECT_EQ(ReadFile(design), before);
    EXPECT_EQ(fs::status(design).permissions() & fs::perms::mask, readOnly);
    EXPECT_TRUE(document->IsModified());
    fs::permissions(design, fs::perms::owner_read | fs::perms::owner_write);
}

// A design reached through a symbolic link is the design already open: File Open brings its
// window to the front instead of opening a second one that would save over the first.
TEST_F(CMainFrameTest, OneFileOpensInOneWindowWhateverPathNamesIt)
{
    const fs::path link = sandbox.root / "LINK.PCB";
    fs::create_symlink(design, link);
    const fs::path second = WriteDesign("SECOND.PCB");
    CMainFrame frame(nullptr);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    services.fileDialogs.QueueFile(link.string());
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    CWevraDoc* first = frame.GetDocTemplate().GetActiveDocument();
    ASSERT_NE(first, nullptr);
    services.fileDialogs.QueueFile(second.string());
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(frame.GetDocTemplate().GetCount(), 2);
    ASSERT_NE(frame.GetDocTemplate().GetActiveDocument(), first);

    services.fileDialogs.QueueFile(design.string());
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(frame.GetDocTemplate().GetCount(), 2);
    EXPECT_EQ(frame.GetDocTemplate().GetActiveDocument(), first);
    EXPECT_TRUE(services.messages.Shown().empty());
}

// A design file another program changed since it was opened or saved is not overwritten
// without asking; No leaves it as that program wrote it.
TEST_F(CMainFrameTest, SaveAsksBeforeOverwritingAFileChangedOnDisk)
{
    CMainFrame frame(nullptr);
    CWevraDoc* document = ShowWithDesign(frame);
    ASSERT_NE(document, nullptr);
    document->Design().GetComponents().AddEmpty(
        document->Design().GetEditableShapeCache().AddShape("R"));
    document->SetModified();
    Bytes theirs = ReadFile(design);
    theirs.push_back(0);
    WriteFile(design, theirs);

    // Enter (no answer scripted) is No: a hurried key keeps the other program's file.
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const CScriptedMessageService::Message& question = services.messages.Shown()[0];
    EXPECT_NE(question.text.find(design.string()), std::string::npos) << question.text;
    EXPECT_NE(question.text.find("changed"), std::string::npos) << question.text;
    EXPECT_EQ(question.buttons, MB_YESNO_DEFAULTNO);
    EXPECT_EQ(ReadFile(design), theirs);
    EXPECT_TRUE(document->IsModified());

    services.messages.QueueAnswer(IDYES);
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_NE(ReadFile(design), theirs);
    EXPECT_FALSE(document->IsModified());

    // Its own save is not a change by someone else.
    document->SetModified();
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_FALSE(document->IsModified());
}

// A folder that takes no files is named, and another name is offered, as for a read-only file.
TEST_F(CMainFrameTest, SaveIntoAReadOnlyFolderNamesItAndOffersSaveAs)
{
    CMainFrame frame(nullptr);
    CWevraDoc* document = ShowWithDesign(frame);
    ASSERT_NE(document, nullptr);
    document->SetModified();
    const Bytes before = ReadFile(design);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    const fs::path elsewhere = sandbox.root / "ELSEWHERE.PCB";
    services.messages.QueueAnswer(IDYES);
    services.fileDialogs.QueueFile(elsewhere.string());
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_S, Qt::ControlModifier);
    fs::permissions(folder, fs::perms::owner_all);
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const CScriptedMessageService::Message& offer = services.messages.Shown()[0];
    EXPECT_EQ(offer.text, "The folder " + folder.string() +
                              " is read-only.\nSave the design under another name?");
    EXPECT_EQ(offer.buttons, MB_YESNO);
    EXPECT_EQ(ReadFile(design), before);
    EXPECT_TRUE(fs::exists(elsewhere));
    EXPECT_EQ(document->GetPathNameRef(), elsewhere.string());
    EXPECT_FALSE(document->IsModified());
}

// File Open starts beside the design in front; Save As proposes the design's own name in its
// folder and gives the chosen name the design extension. Both go through the file choosers.
TEST_F(CMainFrameTest, OpenAndSaveAsAskTheFileChoosers)
{
    const fs::path second = WriteDesign("SECOND.PCB");
    const Bytes secondBytes = ReadFile(second);
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), folder.string());
    EXPECT_EQ(OpenPaths(frame).size(), 1u) << "cancelled";
    services.fileDialogs.QueueFile(second.string());
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(OpenPaths(frame), (std::vector<std::string>{design.string(), second.string()}));

    const fs::path elsewhere = sandbox.root / "elsewhere";
    fs::create_directories(elsewhere);
    services.fileDialogs.QueueFile((elsewhere / "COPY").string());
    frame.UpdateCommandUI();
    QAction* saveAs = FindItem(*frame.menuBar(), {"&File", "Save &As..."});
    ASSERT_NE(saveAs, nullptr);
    saveAs->trigger();
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), second.string());
    EXPECT_TRUE(fs::is_regular_file(elsewhere / "COPY.PCB"));
    EXPECT_EQ(ReadFile(second), secondBytes) << "the design it came from stays";
    EXPECT_EQ(frame.GetDocTemplate().GetActiveDocument()->GetPathNameRef(),
              (elsewhere / "COPY.PCB").string());

    // Open now starts beside the design saved elsewhere.
    QTest::keyClick(&frame.GetMdiArea(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), elsewhere.string());
}

// The DOS library folder the program stores as "c:\wevra\wevrap\lmc\" is offered beside the
// program, as drives in designs name the design's folder.
TEST_F(CMainFrameTest, DosImportOffersTheStoredLibraryFolderBesideTheProgram)
{
    static std::string offered;
    struct CRecordingImport : CLmcImport {
        void Run(CShapeLibArray&, const std::string&, const std::string& folder) override
        {
            offered = folder;
        }
    };
    CScriptedLayermap layermap;
    const CMainFrame::LmcImportFactory previous = CMainFrame::SetLmcImportFactory(
        []() -> std::unique_ptr<CLmcImport> { return std::make_unique<CRecordingImport>(); });
    {
        CMainFrame frame(nullptr);
        EXPECT_TRUE(frame.GetRouter().Execute(ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS));
    }
    CMainFrame::SetLmcImportFactory(previous);
    EXPECT_EQ(offered, (CPathHelper::GetProgramFolder() / "wevra/wevrap/lmc/").string());
}

// Closing the maximised design of two leaves the other one maximised, not collapsed to its
// title bar.
TEST_F(CMainFrameTest, ClosingAMaximisedDesignLeavesTheOtherMaximised)
{
    const fs::path second = WriteDesign("SECOND.PCB");
    auto application = Start({design.string()});
    CMainFrame& frame = ShowActive(*application);
    ASSERT_NE(frame.OpenDocumentFile(second.string()), nullptr);
    QApplication::processEvents();
    ASSERT_TRUE(frame.GetMdiArea().activeSubWindow()->isMaximized());

    ASSERT_TRUE(frame.GetRouter().Execute(ID_FILE_CLOSE));
    QApplication::processEvents();
    ASSERT_EQ(frame.GetDocTemplate().GetCount(), 1);
    QMdiSubWindow* left = frame.GetMdiArea().subWindowList().front();
    EXPECT_TRUE(left->isMaximized());
    EXPECT_EQ(left->size(), frame.GetMdiArea().viewport()->size());
}

// With two designs open the title names the active one once, the Window menu lists both (the
// active one checked) and switches between them, and Cascade leaves windows one can work in.
TEST_F(CMainFrameTest, WindowMenuListsTheDesignsAndTheTitleNamesTheActiveOnce)
{
    const fs::path second = WriteDesign("SECOND.PCB");
    auto application = Start({design.string()});
    CMainFrame& frame = ShowActive(*application);
    frame.GetMdiArea().activeSubWindow()->showMaximized();
    CWevraDoc* secondDoc = frame.OpenDocumentFile(second.string());
    ASSERT_NE(secondDoc, nullptr);
    frame.GetMdiArea().activeSubWindow()->showMaximized();
    QApplication::processEvents();
    frame.UpdateCommandUI();
    const auto titleOf = [](const CWevraDoc& document) {
        return QStringLiteral("Wevra PCB - [") + QString::fromStdString(document.GetTitle()) +
               QStringLiteral("]");
    };
    EXPECT_EQ(frame.windowTitle(), titleOf(*secondDoc));

    QAction* window = FindItem(*frame.menuBar(), {"&Window"});
    ASSERT_TRUE(window != nullptr && window->menu() != nullptr);
    QMenu& menu = *window->menu();
    const auto entries = [&menu] {
        Q_EMIT menu.aboutToShow();
        std::vector<QAction*> listed;
        for (QAction* action : menu.actions())
            if (action->text().startsWith(QLatin1Char('&')) && action->isCheckable())
                listed.push_back(action);
        return listed;
    };
    std::vector<QAction*> listed = entries();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0]->text(), QStringLiteral("&1 BOARD"));
    EXPECT_FALSE(listed[0]->isChecked());
    EXPECT_TRUE(listed[1]->isChecked());
    listed[0]->trigger();
    QApplication::processEvents();
    frame.UpdateCommandUI();
    CWevraDoc* first = frame.GetDocTemplate().GetActiveDocument();
    ASSERT_NE(first, secondDoc);
    EXPECT_EQ(frame.windowTitle(), titleOf(*first));
    EXPECT_EQ(entries().size(), 2u) << "the list is built afresh, not added to";

    EXPECT_TRUE(frame.GetRouter().Execute(ID_WINDOW_CASCADE));
    const QSize area = frame.GetMdiArea().viewport()->size();
    for (QMdiSubWindow* sub : frame.GetMdiArea().subWindowList()) {
        EXPECT_GE(sub->width(), area.width() / 2);
        EXPECT_GE(sub->height(), area.height() / 2);
    }
}

// The shape library set goes back to its file at the end only when it came from there and has
// changed; a file that could not be read is left as it is.
TEST_F(CMainFrameTest, ShapeLibrariesAreSavedOnlyWhenLoadedAndChanged)
{
    const fs::path library = sandbox.root / "parts.SHP";
    {
        CShapeLibArray set;
        set.Load(library);
        set.AddLib(std::make_unique<CShapeLib>("First"));
        ASSERT_TRUE(set.Save());
    }
    sandbox.settings.WriteString("Files", "Library", library.string());
    const Bytes original = ReadFile(library);

    {
        CMainFrame frame;
        frame.StartUp();
        EXPECT_EQ(frame.GetShapeLibraries().GetCount(), 1);
        fs::remove(library);
    }
    EXPECT_FALSE(fs::exists(library)) << "an unchanged set was written";

    WriteFile(library, original);
    {
        CMainFrame frame;
        frame.StartUp();
        frame.GetShapeLibraries().AddLib(std::make_unique<CShapeLib>("Second"));
    }
    CShapeLibArray reread;
    ASSERT_TRUE(reread.Load(library));
    EXPECT_EQ(reread.GetCount(), 2);

    const Bytes damaged = {'n', 'o', 't', ' ', 'a', ' ', 'l', 'i', 'b'};
    WriteFile(library, damaged);
    {
        CMainFrame frame;
        frame.StartUp();
        frame.GetShapeLibraries().AddLib(std::make_unique<CShapeLib>("Third"));
    }
    EXPECT_EQ(ReadFile(library), damaged);
}

} // namespace

// File > Output lets the user pick one of the design's output jobs and writes its files in the
// job's folder beside the design.
TEST_F(CMainFrameTest, FileOutputWritesThePickedJob)
{
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(OpenPaths(frame).size(), 1u);
    frame.UpdateCommandUI();
    QAction* output = FindItem(*frame.menuBar(), {"&File", "O&utput..."});
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(CQtCommandBinder::CommandOf(*output), ID_FILE_OUTPUT);
    ASSERT_TRUE(output->isEnabled());

    services.listPicker.QueueAnswer(-1);
    output->trigger();
    ASSERT_EQ(services.listPicker.GetShown().size(), 1u);
    EXPECT_EQ(
        services.listPicker.GetShown()[0].entries,
        (std::vector<std::string>{"Printing", "GERBER Plot and Drill", "EXCELLON Drill PROGRAM"}));
    EXPECT_FALSE(fs::exists(folder / "GERBER"));

    services.listPicker.QueueAnswer(1);
    output->trigger();
    const Bytes bytes = ReadFile(folder / "GERBER" / "BOARD" / "BOARD.GBR");
    const std::string gerber(bytes.begin(), bytes.end());
    EXPECT_NE(gerber.find("%FSLAX24Y24*%\r\n"), std::string::npos);
    ASSERT_GT(gerber.size(), 6u);
    EXPECT_EQ(gerber.substr(gerber.size() - 6), "M02*\r\n");
    EXPECT_TRUE(fs::exists(folder / "GERBER" / "BOARD" / "BOARD.TXT"));
    // The default job writes a single file: one image per layer set, each read alone.
    const std::vector<fs::path> images = WriteImages(folder / "GERBER" / "BOARD" / "BOARD.GBR");
    EXPECT_EQ(images.size(), 7u);
    for (const fs::path& image : images)
        EXPECT_EQ(GerbvComplaints(image, "rs274x", image.string() + ".gerbv"),
                  std::vector<std::string>{});
    EXPECT_EQ(ParserComplaints(images), std::vector<std::string>{});

    services.listPicker.QueueAnswer(2);
    output->trigger();
    EXPECT_TRUE(fs::exists(folder / "EXCELLON" / "BOARD" / "BOARD.t01"));
    EXPECT_TRUE(fs::exists(folder / "EXCELLON" / "BOARD" / "BOARD.e01"));
    EXPECT_EQ(GerbvComplaints(folder / "EXCELLON" / "BOARD" / "BOARD.t01", "drill",
                              folder / "exported.drl"),
              std::vector<std::string>{});
    EXPECT_EQ(frame.GetDocTemplate().GetDocument(0)->Design().GetOutputJobs().GetCurrent(), 2);
}

// A design named by a path relative to the current folder is known by its full path: its
// output lands beside it, and it is found again after the current folder changed.
TEST_F(CMainFrameTest, DesignOpenedByARelativePathWritesItsOutputBesideIt)
{
    const fs::path before = fs::current_path();
    fs::current_path(sandbox.root);
    auto application = Start({"designs/BOARD.PCB"});
    fs::current_path(before);
    CMainFrame& frame = *application->GetMainFrame();
    const std::vector<std::string> paths = OpenPaths(frame);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_TRUE(fs::path(paths[0]).is_absolute());
    EXPECT_TRUE(fs::equivalent(paths[0], design));
    EXPECT_EQ(frame.GetRecentFiles().GetPaths(), paths);

    frame.UpdateCommandUI();
    services.listPicker.QueueAnswer(1);
    ASSERT_TRUE(frame.GetRouter().Execute(ID_FILE_OUTPUT));
    EXPECT_TRUE(fs::exists(folder / "GERBER" / "BOARD" / "BOARD.TXT"));
    EXPECT_FALSE(fs::exists(folder / "designs"));
    EXPECT_FALSE(fs::exists(before / "designs"));
}

// Netlist > Load imports the netlist the user picks into the active design, opens its report,
// and the design offers to load it again once the file changed.
TEST_F(CMainFrameTest, NetlistLoadImportsThePickedNetlist)
{
    WriteNetlistDesign(folder);
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(OpenPaths(frame).size(), 1u);
    frame.UpdateCommandUI();
    QAction* load = FindItem(*frame.menuBar(), {"&Netlist", "&Load..."});
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(CQtCommandBinder::CommandOf(*load), ID_NETLIST_LOAD);
    ASSERT_TRUE(load->isEnabled());

    load->trigger();
    CWevraDoc& doc = *frame.GetDocTemplate().GetDocument(0);
    EXPECT_EQ(doc.Design().GetComponents().GetCount(), 0);

    services.fileDialogs.QueueFile((folder / "demo.net").string());
    load->trigger();
    ASSERT_EQ(doc.Design().GetComponents().GetCount(), 2);
    EXPECT_EQ(doc.Design().GetComponents().GetReference(1), "R2");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(services.launcher.openedTextFiles,
              (std::vector<fs::path>{folder / "DEMO IMPORT NETLIST.TXT"}));
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), folder.string());

    // Netlist > Save writes the nets back in the Mentor dialect.
    frame.UpdateCommandUI();
    QAction* save = FindItem(*frame.menuBar(), {"&Netlist", "&Save..."});
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(CQtCommandBinder::CommandOf(*save), ID_NETLIST_SAVE);
    ASSERT_TRUE(save->isEnabled());
    services.fileDialogs.QueueFile((folder / "mentor.net").string());
    save->trigger();
    std::ifstream nets(folder / "mentor.NET", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(nets), {}),
              "NET 'GND' R1-2 R2-2\r\nNET 'VCC' R1-1\r\n");
    EXPECT_TRUE(fs::exists(folder / "mentor.CMP"));

    doc.Design().SetNetlistTime(doc.Design().GetNetlistTime() - 10);
    services.messages.QueueAnswer(IDOK);
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_DOC_JUST_LOADED));
    EXPECT_EQ(services.messages.ShownTexts().back(), "Netlist is Newer, Reload Netlist?");
    EXPECT_EQ(services.launcher.openedTextFiles.back(), folder / "DEMO FORWARD ANNOTATE.TXT");

    // The netlist is written again while the user stays in the program: the minute's tick
    // offers it, once.
    services.messages.ClearShown();
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_TIMER));
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    const fs::path netlist = doc.Design().GetNetlistPath();
    fs::last_write_time(netlist, fs::last_write_time(netlist) + std::chrono::seconds(5));
    services.messages.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_TIMER));
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"Netlist is Newer, Reload Netlist?"});
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_TIMER));
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
}

// Netlist > Load backs the design up first and clears the design-rule marks. A zeroed netlist
// is refused and leaves the board and its saved state as they were; a load by the user brings
// back the reload offer the user had declined.
TEST_F(CMainFrameTest, NetlistLoadBacksUpAndRefusesADamagedNetlist)
{
    const fs::path nets = folder / "nets";
    WriteNetlistDesign(nets);
    std::ofstream(nets / "zero.net", std::ios::binary) << std::string(300, '\0');
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_NE(frame.GetConfig(), nullptr);
    frame.GetConfig()->Files().m_backupDirectory = (folder / "bak").string();
    frame.GetConfig()->Files().m_netlistDirectory = nets.string();
    CWevraDoc& doc = *frame.GetDocTemplate().GetDocument(0);
    frame.UpdateCommandUI();
    QAction* load = FindItem(*frame.menuBar(), {"&Netlist", "&Load..."});
    ASSERT_NE(load, nullptr);

    services.fileDialogs.QueueFile((nets / "demo.net").string());
    load->trigger();
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), nets.string());
    ASSERT_EQ(doc.Design().GetComponents().GetCount(), 2);
    EXPECT_TRUE(fs::exists(folder / "bak" / Backup(1)));

    doc.Design().SetNetlistTime(doc.Design().GetNetlistTime() - 10);
    services.messages.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_DOC_JUST_LOADED));
    ASSERT_TRUE(doc.OnSaveDocument(design.string()));
    const Bytes saved = ReadFile(design);
    doc.Design().GetNets().AddError(CNetErrorRec());

    services.messages.ClearShown();
    services.fileDialogs.QueueFile((nets / "zero.net").string());
    load->trigger();
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_EQ(services.messages.ShownTexts()[0].rfind("No netlist of a known kind", 0), 0u);
    EXPECT_TRUE(fs::exists(folder / "bak" / Backup(2)));
    EXPECT_EQ(doc.Design().GetNets().GetErrorCount(), 0);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(design.string()));
    EXPECT_EQ(ReadFile(design), saved);

    services.messages.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(frame.GetRouter().Execute(ID_OTHER_DOC_JUST_LOADED));
    EXPECT_EQ(services.messages.ShownTexts().back(), "Netlist is Newer, Reload Netlist?");
}

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// "REF-PIN NET" for every pad of the design, sorted (a load sorts the components).
std::vector<std::string> PadNetNames(CWevraDoc& doc)
{
    std::vector<std::string> pads;
    const CComponentArray& components = doc.Design().GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const std::vector<uint16_t>& nets = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < nets.size(); ++pad)
            pads.push_back(components.GetReference(i) + "-" + std::to_string(pad + 1) + " " +
                           doc.Design().GetNets().GetNetName(nets[pad]));
    }
    std::sort(pads.begin(), pads.end());
    return pads;
}

// The design's components and nets as a Tango netlist.
std::string TangoNetlist(CWevraDoc& doc)
{
    std::string text;
    const CComponentArray& components = doc.Design().GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i)
        text += "[\r\n" + components.GetReference(i) + "\r\n" + components.GetShapeName(i) +
                "\r\n" + components.GetType(i) + "\r\n]\r\n";
    const CNetArray& nets = doc.Design().GetNets();
    for (int32_t net = 1; net < nets.GetCount(); ++net) {
        text += "(\r\n" + nets.GetNetName(net) + "\r\n";
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            const std::vector<uint16_t>& pads = components.GetComponent(i)->GetPadNets();
            for (size_t pad = 0; pad < pads.size(); ++pad) {
                if (pads[pad] == net)
                    text += components.GetReference(i) + "-" + std::to_string(pad + 1) + "\r\n";
            }
        }
        text += ")\r\n";
    }
    return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

CScriptedMessageService::Message CMainFrameTest::LoadChangingNothing(CWevraDoc& doc, QAction& load,
                                                                     const fs::path& net)
{
    SCOPED_TRACE(net.filename().string());
    const std::vector<std::string> pads = PadNetNames(doc);
    const bool modified = doc.IsModified();
    const int32_t undoSteps = doc.History().GetUndoCount();
    services.messages.ClearShown();
    services.launcher.openedTextFiles.clear();
    services.fileDialogs.QueueFile(net.string());
    load.trigger();
    EXPECT_EQ(PadNetNames(doc), pads);
    EXPECT_EQ(doc.IsModified(), modified);
    EXPECT_EQ(doc.History().GetUndoCount(), undoSteps);
    EXPECT_EQ(services.messages.Shown().size(), 1u)
        << ::testing::PrintToString(services.messages.ShownTexts());
    return services.messages.Shown().empty() ? CScriptedMessageService::Message()
                                             : services.messages.Shown()[0];
}

// Netlist > Load onto the routed sample never rewires it without a word, every question answered
// by its default: a netlist cut short mid-line, one with a line refused, and one that takes a pad
// off the net whose copper touches it each stop with a word and leave the pads' nets, the
// modified mark and the Undo list as they were. A UTF-8 netlist gives the nets the names it
// means. The sample's own netlist from Netlist > Save loads without a question.
TEST_F(CMainFrameTest, NetlistLoadOntoTheRoutedSampleNeverRewiresItSilently)
{
    const fs::path demo = folder / "DEMO.PCB";
    fs::copy_file(WEVRA_DEMO_DESIGN, demo);
    const fs::path nets = folder / "nets";
    fs::create_directories(nets);
    auto application = Start({demo.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(OpenPaths(frame).size(), 1u);
    ASSERT_NE(frame.GetConfig(), nullptr);
    frame.GetConfig()->Files().m_backupDirectory = (folder / "bak").string();
    CWevraDoc& doc = *frame.GetDocTemplate().GetDocument(0);
    frame.UpdateCommandUI();
    QAction* load = FindItem(*frame.menuBar(), {"&Netlist", "&Load..."});
    QAction* save = FindItem(*frame.menuBar(), {"&Netlist", "&Save..."});
    ASSERT_NE(load, nullptr);
    ASSERT_NE(save, nullptr);
    services.fileDialogs.QueueFile((nets / "demo.NET").string());
    save->trigger();
    const std::string mentor = ReadText(nets / "demo.NET");
    const std::string parts = ReadText(nets / "demo.CMP");
    ASSERT_FALSE(mentor.empty());
    const std::string tango = TangoNetlist(doc);
    const std::vector<std::string> routed = PadNetNames(doc);
    ASSERT_FALSE(doc.IsModified());
    const auto loadChangingNothing = [&](const fs::path& net) {
        return LoadChangingNothing(doc, *load, net);
    };

    // Cut to 80 % of its bytes, inside a line.
    size_t cut = mentor.size() * 8 / 10;
    while (cut > 0 && (mentor[cut - 1] == '\n' || mentor[cut - 1] == '\r'))
        --cut;
    WriteText(nets / "cut.NET", mentor.substr(0, cut));
    WriteText(nets / "cut.CMP", parts);
    CScriptedMessageService::Message asked = loadChangingNothing(nets / "cut.NET");
    EXPECT_EQ(asked.buttons, MB_YESNO_DEFAULTNO);
    EXPECT_NE(asked.text.find("cut short"), std::string::npos) << asked.text;
    EXPECT_NE(asked.text.find((nets / "cut.NET").string()), std::string::npos) << asked.text;

    // The CTRL net's name 5 MB long, and a NUL inside a pin of GND: damaged, named by line.
    const size_t ctrl = tango.find("\r\nCTRL\r\n");
    ASSERT_NE(ctrl, std::string::npos);
    const int32_t ctrlLine = int32_t(std::count(tango.begin(), tango.begin() + ctrl + 2, '\n')) + 1;
    WriteText(nets / "long.NET",
              Replaced(tango, "\r\nCTRL\r\n", "\r\n" + std::string(5000000, 'C') + "\r\n"));
    asked = loadChangingNothing(nets / "long.NET");
    EXPECT_EQ(asked.text.rfind("Damaged netlist, nothing was changed", 0), 0u) << asked.text;
    EXPECT_NE(asked.text.find("line " + std::to_string(ctrlLine) + " of "), std::string::npos)
        << asked.text;
    EXPECT_EQ(services.launcher.openedTextFiles,
              std::vector<fs::path>{nets / "LONG FORWARD ANNOTATE.TXT"});
    WriteText(nets / "nul.NET", Replaced(tango, "\r\nC2-2\r\n", std::string("\r\nC2\0-2\r\n", 9)));
    asked = loadChangingNothing(nets / "nul.NET");
    EXPECT_NE(asked.text.find("control bytes: C2<00>-2"), std::string::npos) << asked.text;

    // C1-2 dropped from GND, under its routed track: named and asked about.
    WriteText(nets / "drop.NET", Replaced(mentor, " C1-2", ""));
    WriteText(nets / "drop.CMP", parts);
    asked = loadChangingNothing(nets / "drop.NET");
    EXPECT_EQ(asked.buttons, MB_YESNO_DEFAULTNO);
    EXPECT_NE(asked.text.find("C1-2 (GND, to no net)"), std::string::npos) << asked.text;
    const std::string dropReport = ReadText(nets / "DROP FORWARD ANNOTATE.TXT");
    EXPECT_NE(dropReport.find("copper touches it: C1-2 (GND, to no net)"), std::string::npos);
    EXPECT_EQ(services.launcher.openedTextFiles,
              std::vector<fs::path>{nets / "DROP FORWARD ANNOTATE.TXT"});

    // A UTF-8 name (without a byte order mark) is read as the design spells it: its pads would
    // leave CTRL's copper, which is asked about.
    const std::string utf8 = Replaced(Replaced(tango, "\r\nCTRL\r\n", "\r\nCTRL\xC3\xA9\r\n"),
                                      "\r\nOUT\r\n", "\r\nOUT\xE4\xB8\xAD\r\n");
    WriteText(nets / "utf8.NET", utf8);
    asked = loadChangingNothing(nets / "utf8.NET");
    EXPECT_NE(asked.text.find("U1-5 (CTRL, to net CTRL\xE9)"), std::string::npos) << asked.text;

    // The sample's own netlist: no question at all.
    services.messages.ClearShown();
    services.fileDialogs.QueueFile((nets / "demo.NET").string());
    load->trigger();
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    EXPECT_EQ(PadNetNames(doc), routed);

    // With a byte order mark, and Yes: the net is CTRL with its accent, the character the
    // design cannot hold is named with its line.
    WriteText(nets / "bom.NET", "\xEF\xBB\xBF" + utf8);
    services.messages.QueueAnswer(IDYES);
    services.fileDialogs.QueueFile((nets / "bom.NET").string());
    load->trigger();
    const std::vector<std::string> after = PadNetNames(doc);
    EXPECT_NE(std::find(after.begin(), after.end(), "U1-5 CTRL\xE9"), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "U1-3 OUT?"), after.end());
    const size_t out = utf8.find("\r\nOUT");
    const int32_t outLine = int32_t(std::count(utf8.begin(), utf8.begin() + out + 2, '\n')) + 1;
    EXPECT_NE(ReadText(nets / "BOM FORWARD ANNOTATE.TXT")
                  .find("line " + std::to_string(outLine) + " of " + (nets / "bom.NET").string() +
                        ": U+4E2D"),
              std::string::npos);
}

// Netlist > Load bounds a netlist's names, not its lines: a net of many pins on one line loads,
// a name of 1,000 bytes of each kind loads in each dialect that has it and one of 1,001 is
// refused. Two names the design's character set makes one are a damaged netlist, and so are
// bytes that are not UTF-8 in a file marked as UTF-8. Blanks after the last line end are no
// line cut short, a CR without the LF of the file's other line ends is. Each onto the routed
// sample and onto a new design, questions answered by default.
TEST_F(CMainFrameTest, NetlistLoadBoundsNamesNotLinesAndRefusesNamesThatBecomeOne)
{
    WriteNetlistDesign(folder);
    const fs::path demo = folder / "DEMO.PCB";
    fs::copy_file(WEVRA_DEMO_DESIGN, demo);
    auto application = Start({demo.string()});
    CMainFrame& frame = *application->GetMainFrame();
    frame.GetConfig()->Files().m_backupDirectory = (folder / "bak").string();
    CWevraDoc& sample = *frame.GetDocTemplate().GetDocument(0);
    frame.UpdateCommandUI();
    services.fileDialogs.QueueFile((folder / "sample.NET").string());
    FindItem(*frame.menuBar(), {"&Netlist", "&Save..."})->trigger();
    const std::string mentor = ReadText(folder / "sample.NET");
    const std::string sampleParts = ReadText(folder / "sample.CMP");
    const std::string tango = TangoNetlist(sample);
    const std::vector<std::string> routed = PadNetNames(sample);
    std::string manyPins = "/GND";
    std::string parts;
    for (int32_t i = 1; i <= 150; ++i) {
        const std::string reference = "R" + std::to_string(i);
        manyPins += " " + reference + "(2)";
        parts +=
            "10K                 " + reference + std::string(20 - reference.size(), ' ') + "0805\n";
    }
    std::string groundTwice = "NET 'GND'";
    for (int32_t i = 0; i < 250; ++i)
        groundTwice += " C1-2";
    const std::string zhong = "N\xE4\xB8\xAD", wen = "N\xE6\x96\x87";
    struct Case {
        bool routed;
        std::string net, list;
        // A part of the one message shown ($N, $L: the files' paths); "" for a load without a
        // word, which gives a new design's pad its net and leaves the sample as it is.
        std::string told, padNet;
    };
    const std::string tangoParts = "[\r\nR1\r\n0805\r\n10K\r\n]\r\n[\r\nR2\r\n0805\r\n4k7\r\n]\r\n";
    const std::string multiSimParts = "R1,10K,0805,;\r\nR2,4k7,0805,;\r\n";
    const std::string mentorParts = "R1                  PART 10K                 0805\r\n"
                                    "R2                  PART 4k7                 0805\r\n";
    std::vector<Case> cases = {
        {true, groundTwice + "\r\n" + mentor, sampleParts, "", ""},
        {true, Replaced(tango, "\r\nCTRL\r\n", "\r\n" + std::string(1000, 'C') + "\r\n"), "",
         "These pads would lose the net", ""},
        {true, Replaced(tango, "\r\nCTRL\r\n", "\r\n" + std::string(1001, 'C') + "\r\n"), "",
         "Damaged netlist", ""},
        {true,
         Replaced(Replaced(tango, "\r\nCTRL\r\n", "\r\n" + zhong + "\r\n"), "\r\nOUT\r\n",
                  "\r\n" + wen + "\r\n"),
         "", "both become net N?", ""},
        {true, mentor + " \t ", sampleParts, "", ""},
        {true,
         "\xEF\xBB\xBF" + Replaced(Replaced(tango, "\r\nCTRL\r\n", "\r\nN\xFF\r\n"), "\r\nOUT\r\n",
                                   "\r\nN\xFE\r\n"),
         "", "it holds the byte FF at column 2, which is no UTF-8", ""},
        // A line the reader would pass over, or read short, loses nets and pins: the bracket
        // after a blank opens its block; one with a NUL, a pin between blocks, a pin that is
        // no number (two pins run together among them) and a line that is no net line are
        // refused. A Mentor net line after blanks or with a tab after NET, and a comment, are
        // read.
        {true, Replaced(tango, "\r\n(\r\nCTRL\r\n", "\r\n (\r\nCTRL\r\n"), "", "", ""},
        {true, Replaced(tango, "\r\n(\r\nCTRL\r\n", std::string("\r\n(\0\r\nCTRL\r\n", 12)), "",
         "control bytes: (<00>", ""},
        {true, Replaced(tango, ")\r\n(\r\nCTRL\r\n", ")\r\nU1-5\r\n(\r\nCTRL\r\n"), "",
         "outside the net and component blocks: U1-5", ""},
        {true, Replaced(tango, "\r\nC2-2\r\n", "\r\nC2-2 C1-2\r\n"), "",
         "the pin of C2 is no number: 2 C1-2", ""},
        {true, Replaced(tango, "\r\nU1-5\r\n", "\r\nU1-5A\r\n"), "",
         "the pin of U1 is no number: 5A", ""},
        {true, Replaced(mentor, " C1-2", " C1-2,C2-2"), sampleParts,
         "the pin of C1 is no number: 2,C2-2", ""},
        {true, "# Wevra\r\n" + Replaced(mentor, "NET 'CTRL'", "NET\t'CTRL'"), sampleParts, "", ""},
        {true, Replaced(mentor, "NET 'CTRL'", " NET 'CTRL'"), sampleParts, "", ""},
        {true, mentor + "NETS 'CTRL' C1-1\r\n", sampleParts, "it is no net line: NETS 'CTRL' C1-1",
         ""},
        // Read in upper case, "gnd" would join GND.
        {true, mentor + "NET 'gnd' C1-2\r\n", sampleParts, "and net gnd (line ", ""},
        {false, manyPins + "\n", parts, "", "R150-2 GND"},
        {false, "/" + std::string(1000, 'N') + " R1(1)\n", parts, "",
         "R1-1 " + std::string(1000, 'N')},
        {false, "/" + std::string(1001, 'N') + " R1(1)\n", parts, "Damaged netlist", ""},
        {false,
         "[\nR1\n0805\n10K\n]\n[\nR2\n0805\n4k7\n]\n(\n" + zhong + "\nR1-1\n)\n(\n" + wen +
             "\nR2-1\n)\n",
         "", "net N<U+4E2D> (line 12 of $N) and net N<U+6587> (line 16 of $N) both become net N?",
         ""},
        {false, "/GND R\xE4\xB8\xAD(1)\n",
         "10K                 R\xE4\xB8\xAD                  0805\n"
         "10K                 R\xE6\x96\x87                  0805\n",
         "component R<U+4E2D> (line 1 of $N) and component R<U+6587> (line 2 of $L) both "
         "become component R?",
         ""},
        {false, "/GND R1(2) R2(2)\n \t ", parts, "", "R2-2 GND"},
        {false,
         "\xEF\xBB\xBF" + tangoParts + "(\r\nN\xFF\r\nR1-1\r\n)\r\n(\r\nN\xFE\r\nR2-1\r\n)\r\n", "",
         "line 12 of $N: it holds the byte FF at column 2", ""},
        {false,
         "\xEF\xBB\xBF" + tangoParts + "(\r\nN\x80\r\nR1-1\r\n)\r\n(\r\nN\x81\r\nR2-1\r\n)\r\n", "",
         "line 12 of $N: it holds the byte 80 at column 2", ""},
        {false, "multiSIM\r\n*VCC\r\nR1-1,\r\n*GND\r", multiSimParts, "$N, line 4: *GND", ""},
        {false, "multiSIM\r\n*VCC\r\nR1-1,\r\n*GND\r\nR2-2,\r\n", multiSimParts, "", "R2-2 GND"},
        {false, "multiSIM\r*VCC\rR1-1,\r*GND\rR2-2,\r", multiSimParts, "", "R2-2 GND"},
        {false, "multiSIM\r\n*VCC\r\nR1-1,\r\n*GND\r\nR2-2,\n", multiSimParts, "", "R2-2 GND"},
        // What a new design would take short or joined: refused, naming the line.
        {false, "/GND R1(2A)\n", parts, "line 1 of $N: the pin of R1 is no number: 2A", ""},
        {false, "NET 'gnd' R1-1\r\nNET 'GND' R2-1\r\n", mentorParts,
         "net gnd (line 1 of $N) and net GND (line 2 of $N) both become net GND", ""},
        {false, "multiSIM\r\n*gnd\r\nR1-1,\r\n*GND\r\nR2-1,\r\n", multiSimParts,
         "net gnd (line 2 of $N) and net GND (line 4 of $N) both become net GND", ""},
        {false, "/GND R1(1) R2(1)\n",
         "10K                 R1                  0805\n4k7                 r1                  "
         "0805\n",
         "component R1 (line 1 of $L) and component r1 (line 2 of $L) both become component R1",
         ""},
        {false, "multiSIM\r\n*NET A\r\nR1-1,\r\n*NET B\r\nR2-1,\r\n", multiSimParts,
         "line 2 of $N: a net header holds more than a name: *NET A", ""},
        {false, "/0 R1(1)\n/NET00000 R2(1)\n", parts,
         "line 1 of $N: net 0 would become net NET00000, which line 2 names too", ""},
        {false, "/GND,R1(1),R2(1)\n/VCC R1(2)\n", parts,
         "line 1 of $N: a net name holds a bracket: /GND,R1(1),R2(1)", ""},
        {false, "R1(1)\n/GND R2(1)\n", parts,
         "line 1 of $N: a pin before the first net header: R1(1)", ""},
        {false, "multiSIM\r\nR1-1,\r\n*GND\r\nR2-1,\r\n", multiSimParts,
         "line 2 of $N: a pin before the first net header: R1-1,", ""},
    };
    // A name of each kind at the bound and one byte over, in each dialect that reads it.
    enum Kind { reference, type, shape, pin };
    for (const NetlistFormat dialect :
         {NETLIST_CALAY, NETLIST_MENTOR, NETLIST_MULTISIM, NETLIST_PROTEL, NETLIST_TANGO}) {
        for (const Kind kind : {reference, type, shape, pin}) {
            // The columns of a Calay or Mentor component list hold no long name: their long
            // references are those of the net file, which names no listed component.
            const bool columns = dialect == NETLIST_CALAY || dialect == NETLIST_MENTOR;
            if (columns && (kind == type || kind == shape))
                continue;
            for (const size_t length : {size_t(1000), size_t(1001)}) {
                if (columns && kind == reference && length == 1000)
                    continue;
                const std::string r = kind == reference ? std::string(length, 'R') : "R1";
                const std::string t = kind == type ? std::string(length, 'k') : "10K";
                const std::string f = kind == shape ? std::string(length, 'S') : "0805";
                const std::string p = kind == pin ? std::string(length - 1, '0') + "1" : "1";
                Case row{false, "", "", "", ""};
                if (dialect == NETLIST_CALAY) {
                    row.net = "/GND " + r + "(" + p + ")\n";
                    row.list = parts;
                } else if (dialect == NETLIST_MENTOR) {
                    row.net = "NET 'GND' " + r + "-" + p + "\n";
                    row.list = "R1                  PART 10K                 0805\n";
                } else if (dialect == NETLIST_MULTISIM) {
                    row.net = "multiSIM\r\n*GND\r\n" + r + "-" + p + ",\r\n";
                    row.list = r + "," + t + "," + f + ",;\r\n";
                } else if (dialect == NETLIST_PROTEL) {
                    row.net = "PROTEL NETLIST 2.0\r\n[\r\nDESIGNATOR\r\n" + r +
                              "\r\nFOOTPRINT\r\n" + f + "\r\nPARTTYPE\r\n" + t +
                              "\r\n]\r\n(\r\nGND\r\n" + r + "-" + p + "\r\n)\r\n";
                } else {
                    row.net = "[\r\n" + r + "\r\n" + f + "\r\n" + t + "\r\n]\r\n(\r\nGND\r\n" + r +
                              "-" + p + "\r\n)\r\n";
                }
                // The net file is checked first.
                const bool inList = dialect == NETLIST_MULTISIM && (kind == type || kind == shape);
                if (length > 1000)
                    row.told = std::string(inList ? "$P" : "$N") +
                               ": a name longer than 1000 bytes (1001 bytes)";
                else
                    row.padNet = r + "-1 GND";
                cases.push_back(row);
            }
        }
    }
    CWevraDoc* doc = &sample;
    for (size_t c = 0; c < cases.size(); ++c) {
        const Case& row = cases[c];
        SCOPED_TRACE(c);
        if (!row.routed && doc == &sample) {
            doc = frame.OpenDocumentFile(design.string());
            ASSERT_NE(doc, nullptr);
            // A shape whose name is as long as a name may be.
            CShapeLib& cache = doc->Design().GetEditableShapeCache();
            const int32_t longShape = cache.AddShape(std::string(1000, 'S'));
            cache.GetShape(longShape)->AddPad(-1000, 0, 0, 0);
            cache.GetShape(longShape)->AddPad(1000, 0, 0, 0);
            cache.RecalcShapeExtent(longShape);
        }
        const fs::path net = folder / ("case" + std::to_string(c) + ".NET");
        const fs::path list = folder / ("case" + std::to_string(c) + ".CMP");
        const fs::path placements = folder / ("case" + std::to_string(c) + ".PLC");
        WriteText(net, row.net);
        WriteText(list, row.list);
        WriteText(placements, row.list);
        frame.UpdateCommandUI();
        QAction* load = FindItem(*frame.menuBar(), {"&Netlist", "&Load..."});
        ASSERT_NE(load, nullptr);
        if (!row.told.empty()) {
            std::string told = row.told;
            for (const auto& [mark, path] :
                 {std::pair{"$N", net}, std::pair{"$L", list}, std::pair{"$P", placements}})
                for (size_t at; (at = told.find(mark)) != std::string::npos;)
                    told.replace(at, 2, path.string());
            const std::string asked = LoadChangingNothing(*doc, *load, net).text;
            EXPECT_NE(asked.find(told), std::string::npos) << asked;
            continue;
        }
        services.messages.ClearShown();
        services.fileDialogs.QueueFile(net.string());
        load->trigger();
        EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
        const std::vector<std::string> pads = PadNetNames(*doc);
        if (row.routed) {
            EXPECT_EQ(pads, routed);
            continue;
        }
        EXPECT_NE(std::find(pads.begin(), pads.end(), row.padNet), pads.end());
        ASSERT_TRUE(frame.GetRouter().Execute(ID_EDIT_UNDO));
        ASSERT_EQ(doc->Design().GetComponents().GetCount(), 0);
    }
}

// File > Export writes the design as a DOS set into the folder the user picks, and File > Open
// reads that set back as a new design.
TEST_F(CMainFrameTest, DosSetIsExportedAndOpenedFromTheFileMenu)
{
    {
        CWevraDoc document;
        CShapeLib& cache = document.Design().GetEditableShapeCache();
        const int32_t stack =
            cache.GetPadStacks().Add(CPadStack("TH", PAD_ROUND, -1200, -1200, 1200, 1200, 3023,
                                               LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        const int32_t shape = cache.AddShape("0805");
        cache.GetShape(shape)->AddPad(-2000, 0, stack, 0);
        cache.GetShape(shape)->AddPad(2000, 0, stack, 0);
        cache.RecalcShapeExtent(shape);
        document.Design().SetBoardOutlineRect(0, 0, 256000, 128000);
        ASSERT_TRUE(document.Design().GetComponents().AddComponent("R1", "10K", shape, 64000,
                                                                   -64000, 90000, false));
        document.Design().ResetPadNets();
        ASSERT_TRUE(document.OnSaveDocument(design.string()));
    }
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(OpenPaths(frame).size(), 1u);
    frame.UpdateCommandUI();
    QAction* exporter =
        FindItem(*frame.menuBar(), {"&File", "&Export", "Export &PLY/CNF/CMP Format..."});
    ASSERT_NE(exporter, nullptr);
    ASSERT_TRUE(exporter->isEnabled());
    services.fileDialogs.QueueFolder(folder.string());
    exporter->trigger();
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_EQ(services.messages.ShownTexts()[0].rfind("Ok.", 0), 0u);
    const fs::path ply = folder / "BOARD" / "PCB" / "BOARD.PLY";
    ASSERT_TRUE(fs::exists(ply));
    EXPECT_TRUE(fs::exists(folder / "BOARD" / "PCB" / "BOARD.CNF"));

    QAction* open = FindItem(*frame.menuBar(), {"&File", "&Open\tCtrl+O"});
    ASSERT_NE(open, nullptr);
    services.fileDialogs.QueueFile(ply.string());
    // The set's configuration file is offered in the layer-map dialog, which the user accepts.
    std::string offered;
    WhenModal([&offered](QWidget* modal) {
        offered = CQtText::ToDesignText(modal->findChild<QLineEdit*>("1414")->text());
        modal->findChild<QAbstractButton*>("1")->click();
    });
    open->trigger();
    EXPECT_EQ(offered, (folder / "BOARD" / "PCB" / "BOARD.CNF").string());
    ASSERT_EQ(OpenPaths(frame).size(), 2u);
    CWevraDoc& read = *frame.GetDocTemplate().GetDocument(1);
    EXPECT_EQ(read.Design().GetBoardWidth(), 256000);
    EXPECT_EQ(read.Design().GetBoardHeight(), 128000);
    ASSERT_EQ(read.Design().GetComponents().GetCount(), 1);
    EXPECT_EQ(read.Design().GetComponents().GetReference(0), "R1");
}

// Tools > DRC Test All checks the open design and lists its errors in the bottom pane; the
// autorouting commands route the ratsnest and take exactly what they laid away again.
TEST_F(CMainFrameTest, ToolsMenuChecksRoutesAndUnroutesTheDesign)
{
    const fs::path demo = folder / "DEMO.PCB";
    fs::copy_file(WEVRA_DEMO_DESIGN, demo);
    auto application = Start({demo.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(OpenPaths(frame).size(), 1u);
    CWevraDoc& doc = *frame.GetDocTemplate().GetDocument(0);
    QMenuBar& bar = *frame.menuBar();
    frame.UpdateCommandUI();

    QAction* drc = FindItem(bar, {"T&ools", "DRC &Test All"});
    ASSERT_NE(drc, nullptr);
    ASSERT_TRUE(drc->isEnabled());
    drc->trigger();
    ASSERT_EQ(doc.Analysis().GetReportLines().size(), 1u);
    EXPECT_EQ(doc.Analysis().GetReportLines()[0].substr(0, 10), "Elapsed = ");
    EXPECT_TRUE(doc.View().IsBottomPaneShown());

    // The sample is routed in full: the tracks of one net go, so the autorouter has work.
    CNetArray& nets = doc.Design().GetNets();
    nets.GetNet(nets.FindNet("OUT"))->ClearVertices();
    doc.Design().RebuildNetPins();
    nets.RecalcAll();

    auto vertexCounts = [&doc] {
        std::vector<int32_t> counts;
        for (int32_t i = 0; i < doc.Design().GetNets().GetCount(); ++i)
            counts.push_back(doc.Design().GetNets().GetNet(i)->GetVertexCount());
        return counts;
    };
    auto ratsLines = [&doc] {
        int32_t lines = 0;
        for (int32_t i = 1; i < doc.Design().GetNets().GetCount(); ++i)
            lines += doc.Design().GetNets().GetNet(i)->GetRatsLineCount();
        return lines;
    };
    // Unrouting a design without autorouted tracks changes no copper and refreshes the ratsnest.
    QAction* unroute = FindItem(bar, {"T&ools", "&AutoRouting", "&UnRoute All (Only Autorouted)"});
    ASSERT_NE(unroute, nullptr);
    const std::vector<int32_t> before = vertexCounts();
    unroute->trigger();
    EXPECT_EQ(vertexCounts(), before);
    const int32_t linesBefore = ratsLines();
    ASSERT_GT(linesBefore, 0);

    QAction* route = FindItem(bar, {"T&ools", "&AutoRouting", "Route All &TOP and BOT Layers"});
    ASSERT_NE(route, nullptr);
    frame.UpdateCommandUI();
    ASSERT_TRUE(route->isEnabled());
    // The layer the toolbar shows stays the one the tools work on.
    const int32_t workLayer = doc.Session().GetWorkLayer();
    route->trigger();
    EXPECT_LT(ratsLines(), linesBefore);
    EXPECT_NE(vertexCounts(), before);
    EXPECT_EQ(doc.Session().GetWorkLayer(), workLayer);

    unroute->trigger();
    EXPECT_EQ(vertexCounts(), before);
    EXPECT_EQ(ratsLines(), linesBefore);
}

// Memory that runs out in the middle of a command: the command is abandoned with a message, the
// design goes back to where the command began, and the program and the command work on.
TEST_F(CMainFrameTest, ACommandThatFailsHalfWayIsAbandonedAndTheProgramRunsOn)
{
    class CExhaustedLauncher : public CFakeLauncher {
    public:
        bool OpenTextFile(const fs::path&) override { throw std::bad_alloc(); }
    };
    WriteNetlistDesign(folder);
    auto application = Start({design.string()});
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_NE(frame.GetConfig(), nullptr);
    frame.GetConfig()->Files().m_backupDirectory = (folder / "bak").string();
    CWevraDoc& doc = *frame.GetDocTemplate().GetDocument(0);
    frame.UpdateCommandUI();
    QAction* load = FindItem(*frame.menuBar(), {"&Netlist", "&Load..."});
    ASSERT_NE(load, nullptr);
    const std::vector<uint8_t> before = doc.SaveDesignBytes();

    // The import has placed the parts when the report cannot be shown.
    CExhaustedLauncher exhausted;
    CLauncher* previous = CServices::SetLauncher(&exhausted);
    services.fileDialogs.QueueFile((folder / "demo.net").string());
    load->trigger();
    CServices::SetLauncher(previous);
    ASSERT_FALSE(services.messages.ShownTexts().empty());
    const std::string told = services.messages.ShownTexts().back();
    EXPECT_NE(told.find("not enough memory"), std::string::npos) << told;
    EXPECT_NE(told.find("taken back"), std::string::npos) << told;
    EXPECT_EQ(doc.Design().GetComponents().GetCount(), 0);
    EXPECT_TRUE(doc.SaveDesignBytes() == before);

    services.fileDialogs.QueueFile((folder / "demo.net").string());
    load->trigger();
    EXPECT_EQ(doc.Design().GetComponents().GetCount(), 2);

    // A plane fill that cannot get its progress window leaves the planes to a later refill.
    const fs::path demo = folder / "demo.PCB";
    fs::copy_file(WEVRA_DEMO_DESIGN, demo);
    CWevraDoc* board = frame.OpenDocumentFile(demo.string());
    ASSERT_NE(board, nullptr);
    ASSERT_GT(board->Design().GetPlaneCount(), 0);
    board->Design().GetPlanes()[0]->DeleteFill();
    services.progress.outOfMemory = true;
    services.messages.ClearShown();
    EXPECT_FALSE(frame.GetRouter().Execute(ID_PLANES_REFILL_ALL));
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_NE(services.messages.ShownTexts()[0].find("abandoned"), std::string::npos);
    services.progress.outOfMemory = false;
    EXPECT_TRUE(frame.GetRouter().Execute(ID_PLANES_REFILL_ALL));
    EXPECT_TRUE(board->Design().GetPlanes()[0]->HasFill());

    // A way back that fails as well (the plane it brings back cannot be filled again) is told:
    // the design may be left half changed.
    CDesignFailureGuard guard(frame.GetDocTemplate());
    guard.Begin();
    board->History().SaveUndoState();
    CPour& plane = *board->Design().GetPlanes()[0];
    plane.SetPenWidth(plane.GetPenWidth() + 256);
    plane.DeleteFill();
    services.progress.outOfMemory = true;
    services.messages.ClearShown();
    guard.Abandon("not enough memory");
    services.progress.outOfMemory = false;
    ASSERT_FALSE(services.messages.ShownTexts().empty());
    const std::string half = services.messages.ShownTexts().back();
    EXPECT_NE(half.find("half changed"), std::string::npos) << half;
    EXPECT_NE(half.find("demo"), std::string::npos) << half;
}

// A broken install: a cut language pack beside the program. The program starts with its own
// English texts, menus and all, and names the pack it could not read.
TEST_F(CMainFrameTest, ABrokenLanguagePackFallsBackToTheProgramsOwnTexts)
{
    const fs::path program = sandbox.root / "broken";
    fs::create_directories(program);
    const Bytes pack = ReadFile(fs::path(WEVRA_BUILD_DIR) / "bin" / "PCB001.lng");
    WriteFile(program / "PCB001.lng", Bytes(pack.begin(), pack.begin() + 200));
    CResourcePack::SetCurrent(CResourcePack());

    CWevraApplication::Options options;
    options.programFolder = program;
    options.registerFileType = false;
    options.showWindow = false;
    auto application = std::make_unique<CWevraApplication>(options);
    ASSERT_TRUE(application->InitInstance({design.string()}));
    CMainFrame& frame = *application->GetMainFrame();
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    const std::string told = services.messages.ShownTexts()[0];
    EXPECT_EQ(told.rfind("DLL for translation not found!\n" + (program / "PCB001.lng").string(), 0),
              0u)
        << told;
    EXPECT_NE(told.find("own English texts"), std::string::npos);

    frame.UpdateCommandUI();
    EXPECT_NE(FindItem(*frame.menuBar(), {"&File", "&Open\tCtrl+O"}), nullptr);
    EXPECT_EQ(OpenPaths(frame).size(), 1u);
}

// Exit writes the settings and the recent files; where they cannot be written (a home that
// refuses the settings folder), the user is told once, naming the file, and the program ends.
TEST_F(CMainFrameTest, ExitSaysOnceWhenTheSettingsCannotBeWritten)
{
    std::ofstream(sandbox.root / "config") << "a file where the folder would be";
    for (const fs::path& ini : {sandbox.root / "config" / "Wevra PCB" / "Wevra PCB.ini",
                                sandbox.root / "home" / "Wevra PCB.ini"}) {
        SCOPED_TRACE(ini.string());
        const bool writable = ini.parent_path().filename() == "home";
        CQtSettingsStore store(ini.string());
        CSettingsStore* previous = CServices::SetSettings(&store);
        services.messages.ClearShown();
        {
            auto application = Start({design.string()});
            CMainFrame& frame = ShowActive(*application);
            ASSERT_EQ(OpenPaths(frame), std::vector<std::string>{design.string()});
            ASSERT_TRUE(frame.GetRouter().Execute(ID_FILE_EXIT));
            QApplication::processEvents();
            EXPECT_FALSE(frame.isVisible());
        }
        CServices::SetSettings(previous);
        const std::vector<std::string> told = services.messages.ShownTexts();
        if (writable) {
            EXPECT_TRUE(told.empty()) << told.front();
            EXPECT_EQ(CQtSettingsStore(ini.string()).GetString("Recent File List", "File1", ""),
                      design.string());
        } else {
            ASSERT_EQ(told.size(), 1u);
            EXPECT_NE(told[0].find(ini.string()), std::string::npos) << told[0];
            EXPECT_TRUE(fs::is_regular_file(sandbox.root / "config"));
        }
    }
}
