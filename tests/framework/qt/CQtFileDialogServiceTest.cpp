#include "framework/qt/CQtFileDialogService.h"

#include <filesystem>
#include <string>

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>

#include "framework/qt/CQtFont.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;

class CQtFileDialogServiceTest : public QtApplicationTest {
protected:
    void SetUp() override { fs::create_directories(m_folder); }

    const CTempFolder m_temp{"wevra-folder"};
    const fs::path m_folder = m_temp / "My.Designs";
};

TEST_F(CQtFileDialogServiceTest, OpensInTheStartFolderWhichOkChooses)
{
    CQtFileDialogService service;
    const std::string start = m_folder.string();
    WhenModal([&start](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select Directory");
        EXPECT_EQ(QDir::cleanPath(dialog->directory().absolutePath()),
                  QString::fromStdString(start));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(service.ChooseFolder("Select Directory", "", start), start);

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(service.ChooseFolder("Open", "", start), std::nullopt);

    // A root folder that does not exist opens nothing.
    EXPECT_EQ(service.ChooseFolder("Open", (m_folder / "Missing").string(), ""), std::nullopt);
}

// The save chooser proposes the name in the start folder; a folder that is gone gives the home.
TEST_F(CQtFileDialogServiceTest, SaveChooserProposesTheNameInTheStartFolder)
{
    CQtFileDialogService service;
    const fs::path proposed = m_folder / "Größe 1.PCB";
    WhenModal([&proposed](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        ASSERT_EQ(dialog->selectedFiles().size(), 1);
        EXPECT_EQ(dialog->selectedFiles().front(), QString::fromStdString(proposed.string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(service.ChooseSaveFile("", proposed.string(), "Design (*.PCB)", ".PCB"),
              proposed.string());

    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QDir::cleanPath(dialog->directory().absolutePath()), QDir::homePath());
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(service.ChooseSaveFile("", (m_folder / "Gone" / "X.PCB").string(), "", ".PCB"),
              std::nullopt);
}

// A font survives its way through Qt; a size in points comes back in pixels. The chooser gives
// back what OK chose, and nothing for Cancel.
TEST_F(CQtFileDialogServiceTest, FontChooserStartsAtTheGivenFont)
{
    const CFontDesc initial{"Courier New", -17, CFontDesc::boldWeight, true};
    EXPECT_EQ(CQtFont::FromQFont(CQtFont::ToQFont(initial)), initial);
    EXPECT_EQ(CQtFont::FromQFont(QFont("Courier New", 12)).height, -16);

    // The fonts the dialog offers depend on the machine: what OK gives back is what it shows.
    CQtFileDialogService service;
    CFontDesc shown;
    WhenModal([&shown](QWidget* modal) {
        auto* dialog = qobject_cast<QFontDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Pin Font");
        shown = CQtFont::FromQFont(dialog->currentFont());
        dialog->accept();
    });
    EXPECT_EQ(service.ChooseFont("Pin Font", initial), shown);

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(service.ChooseFont("Pin Font", initial), std::nullopt);
}

} // namespace
