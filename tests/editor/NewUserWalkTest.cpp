// A new user's first board through the program's main window, with nothing but what the
// installation gives: an empty home folder, the settings of a fresh installation, the shipped
// template and shape library, and a Tango netlist naming shipped footprints.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

#include "dialogs/CNewPcbDlg.h"
#include "dialogs/CWevraDialog.h"
#include "document/CWevraDoc.h"
#include "editor/CConfig.h"
#include "editor/CDocTemplate.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApplication.h"
#include "framework/CServices.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtSettingsStore.h"
#include "model/CComponentArray.h"
#include "model/COutputArray.h"
#include "model/CShapeLibArray.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

void CollectMenuItems(const QList<QAction*>& actions, std::map<uint32_t, QAction*>& found)
{
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            emit menu->aboutToShow();
            CollectMenuItems(menu->actions(), found);
        } else if (const uint32_t id = CQtCommandBinder::CommandOf(*action)) {
            found.emplace(id, action);
        }
    }
}

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

    CWevraDoc* Document() const { return frame->GetDocTemplate().GetActiveDocument(); }

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
    EXPECT_GT(doc->GetOutputJobs().GetCount(), 0);

    // Netlist > Load: every part of the netlist is on the board.
    const fs::path netlist = boards / "walk.NET";
    fs::copy_file(fs::path(WEVRA_TEST_DATA_DIR) / "walk.NET", netlist);
    services.fileDialogs.QueueFile(netlist.string());
    Pick(ID_NETLIST_LOAD);
    ASSERT_EQ(doc->GetComponents().GetCount(), 14);
    for (const std::string& line : doc->GetMessages())
        EXPECT_EQ(line.find("not Found"), std::string::npos) << line;
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
}
