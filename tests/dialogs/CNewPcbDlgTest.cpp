#include <filesystem>
#include <fstream>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "dialogs/CNewPcbDlg.h"
#include "document/CDesign.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

using namespace dialog_test;

class CNewPcbDlgTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        fs::create_directories(designs);
        fs::create_directories(templates);
        CWevraDoc templateDesign;
        templateDesign.Design().SetBoardOutlineRect(0, 0, 300000, 200000);
        ASSERT_TRUE(templateDesign.OnSaveDocument((templates / "Std.PCB").string()));
    }

    // Runs the dialog on `document`, `fill` acting on it as the user; the dialog's result.
    int Run(CWevraDoc& document, const std::function<void(QWidget*)>& fill,
            const std::string& defaultTemplate = "")
    {
        CNewPcbDlg dialog(document, designs.string(),
                          defaultTemplate.empty() ? (templates / "STD.PCB").string()
                                                  : defaultTemplate,
                          folder.Path().string());
        WhenModal(fill);
        const int result = dialog.Run();
        path = dialog.GetDesignPath();
        return result;
    }

    CFakeServices services;
    CTempFolder folder{"wevra-new-pcb"};
    fs::path designs = folder / "pcb";
    fs::path templates = folder / "templates";
    std::string path;
};

TEST_F(CNewPcbDlgTest, AProjectInTheDesignFolderGetsAFolderOfItsOwnAndTheBoardTyped)
{
    CWevraDoc document;
    ASSERT_EQ(Run(document,
                  [](QWidget* dialog) {
                      EXPECT_EQ(Text(dialog, CNewPcbDlg::idProjectName), "NEW_PCB");
                      EXPECT_EQ(Text(dialog, CNewPcbDlg::idSizeX),
                                CLengthText::FormatLength(CLengthText::unitMillimetre,
                                                          CNewPcbDlg::defaultWidth));
                      // The template list names the file as it is spelt.
                      auto* list = Find<QListWidget>(dialog, CNewPcbDlg::idTemplates);
                      EXPECT_EQ(list->count(), 1);
                      EXPECT_EQ(list->currentRow(), 0);
                      Type(dialog, CNewPcbDlg::idProjectName, "board1");
                      EXPECT_EQ(Text(dialog, CNewPcbDlg::idProjectName), "board1");
                      Type(dialog, CNewPcbDlg::idSizeY, "50");
                      Click(dialog, CWevraDialog::idOk);
                  }),
              CWevraDialog::idOk);
    // The name as typed: the file system tells "board1" from "BOARD1".
    const fs::path expected = designs / "board1" / "board1.PCB";
    EXPECT_EQ(path, expected.string());
    ASSERT_TRUE(fs::exists(expected));
    EXPECT_EQ(document.GetPathNameRef(), expected.string());

    CWevraDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(expected.string()));
    EXPECT_EQ(reread.Design().GetBoardWidth(), CNewPcbDlg::defaultWidth);
    EXPECT_EQ(reread.Design().GetBoardHeight(),
              CLengthText::ParseLength(CLengthText::unitMillimetre, "50"));
    EXPECT_EQ(reread.Design().GetTemplatePath(), (templates / "Std.PCB").string());
}

TEST_F(CNewPcbDlgTest, NoToOverwriteKeepsTheOldFileAndTheDialogOpen)
{
    const fs::path existing = designs / "OLD" / "OLD.PCB";
    fs::create_directories(existing.parent_path());
    std::ofstream(existing, std::ios::binary) << "old bytes";
    const archive_bytes::Bytes before = archive_bytes::ReadFile(existing);

    CWevraDoc document;
    services.messages.QueueAnswer(IDNO);
    bool stayedOpen = false;
    ASSERT_EQ(Run(document,
                  [&stayedOpen](QWidget* dialog) {
                      Type(dialog, CNewPcbDlg::idProjectName, "OLD");
                      Click(dialog, CWevraDialog::idOk);
                      stayedOpen = dialog->isVisible();
                      Click(dialog, CWevraDialog::idCancel);
                  }),
              CWevraDialog::idCancel);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(services.messages.ShownTexts().at(0), "File Exist. Overwrite?");
    EXPECT_EQ(archive_bytes::ReadFile(existing), before);
}

TEST_F(CNewPcbDlgTest, UnitsAndAMissingTemplate)
{
    CWevraDoc document;
    services.messages.QueueAnswer(IDCANCEL);
    services.messages.QueueAnswer(IDOK);
    int oks = 0;
    ASSERT_EQ(Run(
                  document,
                  [&oks](QWidget* dialog) {
                      auto* units = Find<QComboBox>(dialog, CNewPcbDlg::idUnit);
                      units->setCurrentIndex(CLengthText::unitMil);
                      emit units->activated(CLengthText::unitMil);
                      EXPECT_EQ(Text(dialog, CNewPcbDlg::idSizeX),
                                CLengthText::FormatLength(
                                    CLengthText::unitMil,
                                    CLengthText::ParseLength(
                                        CLengthText::unitMil,
                                        CLengthText::FormatLength(CLengthText::unitMil,
                                                                  CNewPcbDlg::defaultWidth))));
                      EXPECT_EQ(Find<QListWidget>(dialog, CNewPcbDlg::idTemplates)->currentRow(),
                                -1);
                      Type(dialog, CNewPcbDlg::idProjectName, "");
                      EXPECT_EQ(Text(dialog, CNewPcbDlg::idProjectName), "NEW_PCB");
                      Click(dialog, CWevraDialog::idOk); // Cancel: stays open
                      ++oks;
                      Click(dialog, CWevraDialog::idOk); // OK: goes on without template
                  },
                  (templates / "MISSING.PCB").string()),
              CWevraDialog::idOk);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_TRUE(fs::exists(designs / "NEW_PCB" / "NEW_PCB.PCB"));
}

// A damaged template is named, and the design is not passed off as one made from it: Cancel keeps
// the dialog open and writes nothing.
TEST_F(CNewPcbDlgTest, ADamagedTemplateIsNamedBeforeTheDesignIsMade)
{
    std::ofstream(templates / "Std.PCB", std::ios::binary | std::ios::trunc) << "no design";
    CWevraDoc document;
    services.messages.QueueAnswer(IDOK);
    services.messages.QueueAnswer(IDCANCEL);
    bool stayedOpen = false;
    ASSERT_EQ(Run(document,
                  [&stayedOpen](QWidget* dialog) {
                      Click(dialog, CWevraDialog::idOk);
                      stayedOpen = dialog->isVisible();
                      Click(dialog, CWevraDialog::idCancel);
                  }),
              CWevraDialog::idCancel);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_EQ(services.messages.ShownTexts()[1],
              "The template " + (templates / "Std.PCB").string() +
                  " could not be read: the new design starts without it.");
    EXPECT_FALSE(fs::exists(designs / "NEW_PCB" / "NEW_PCB.PCB"));
}

// The netlist is found as it is named on disk, whatever the case of its extension.
// The netlist name follows the project's as the user types it, until the user gives the
// netlist a name of its own.
TEST_F(CNewPcbDlgTest, TheNetlistNameFollowsTheProjectUntilTheUserNamesIt)
{
    CWevraDoc document;
    Run(document, [](QWidget* dialog) {
        auto* project = Find<QLineEdit>(dialog, CNewPcbDlg::idProjectName);
        auto* netlist = Find<QLineEdit>(dialog, CNewPcbDlg::idNetlistName);
        ASSERT_NE(project, nullptr);
        ASSERT_NE(netlist, nullptr);
        project->selectAll();
        QTest::keyClicks(project, "amp");
        EXPECT_EQ(Text(dialog, CNewPcbDlg::idNetlistName), "amp");
        Type(dialog, CNewPcbDlg::idProjectName, "amp2");
        EXPECT_EQ(Text(dialog, CNewPcbDlg::idNetlistName), "amp2");
        Click(dialog, CNewPcbDlg::idLinkNetlist);
        QTest::keyClicks(netlist, "_sch");
        QTest::keyClicks(project, "x");
        EXPECT_EQ(Text(dialog, CNewPcbDlg::idProjectName), "amp2x");
        EXPECT_EQ(Text(dialog, CNewPcbDlg::idNetlistName), "amp2_sch");
        Click(dialog, CWevraDialog::idCancel);
    });
}

TEST_F(CNewPcbDlgTest, ALinkedNetlistIsImportedWhateverItsExtensionsCase)
{
    const fs::path netlist = folder / "nets" / "demo.net";
    fs::create_directories(netlist.parent_path());
    std::ofstream(netlist, std::ios::binary) << "/GND R1(2)\r\n/VCC R1(1)\r\n";
    std::ofstream(folder / "nets" / "demo.cmp", std::ios::binary)
        << "10K                 R1                  0805\r\n";
    services.fileDialogs.QueueFile(netlist.string());

    CWevraDoc document;
    ASSERT_EQ(Run(document,
                  [](QWidget* dialog) {
                      Click(dialog, CNewPcbDlg::idLinkNetlist);
                      Click(dialog, CNewPcbDlg::idBrowseNetlist);
                      Click(dialog, CWevraDialog::idOk);
                  }),
              CWevraDialog::idOk);
    EXPECT_EQ(document.Design().GetNetlistPath(), netlist.string());
    ASSERT_EQ(document.Design().GetNets().GetCount(), 3);
    EXPECT_EQ(document.Design().GetNets().GetNetName(1), "GND");
}

} // namespace
