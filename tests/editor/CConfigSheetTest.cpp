#include <string>
#include <vector>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "editor/CAboutDlg.h"
#include "editor/CConfig.h"
#include "editor/CConfigSheet.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CFakeServices.h"

namespace {

template <typename T> T* Find(QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class ConfigSheetTest : public QtApplicationTest {
protected:
    CSettingsSandbox sandbox{"wevra_config_sheet_test"};
};

} // namespace

TEST_F(ConfigSheetTest, ApplyWritesThePagesAndCancelForgetsWhatWasTyped)
{
    CConfig config(sandbox.root / "bin");
    std::vector<std::string> libraries;
    config.SetLibraryHandler([&](const std::string& file) { libraries.push_back(file); });
    {
        CConfigSheet sheet(config);
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("User Configuration"));
        auto* tabs = sheet.findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("Start-up"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Files"));
        auto* maxFiles = Find<QSpinBox>(sheet, "Backup Max. Files");
        EXPECT_EQ(maxFiles->minimum(), 0);
        EXPECT_EQ(maxFiles->maximum(), 20);

        Find<QCheckBox>(sheet, "Left Pane")->setChecked(true);
        Find<QLineEdit>(sheet, "Library")->setText(QStringLiteral("/lib/new.SHP"));
        maxFiles->setValue(3);
        sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();

        EXPECT_EQ(sandbox.settings.GetString("Start-up", "Left Pane", ""), "TRUE");
        EXPECT_EQ(sandbox.settings.GetString("Files", "Library", ""), "/lib/new.SHP");
        EXPECT_EQ(sandbox.settings.GetString("Files", "Backup Max. Files", ""), "3");
        EXPECT_EQ(libraries, std::vector<std::string>{"/lib/new.SHP"});

        Find<QLineEdit>(sheet, "PCB Directory")->setText(QStringLiteral("/typed"));
        Find<QLineEdit>(sheet, "Library")->setText(QStringLiteral("/lib/other.SHP"));
        sheet.reject();
    }
    EXPECT_TRUE(config.IsLeftPane());
    EXPECT_EQ(config.GetBackupMaxFiles(), 3);
    EXPECT_EQ(config.GetLibraryFile(), "/lib/new.SHP");
    EXPECT_NE(config.GetPcbDirectory(), "/typed");
    EXPECT_EQ(libraries.size(), 1u);
}

// The Browse buttons ask the file choosers; Cancel leaves the field as it was.
TEST_F(ConfigSheetTest, BrowseButtonsFillTheFieldsFromTheFileChoosers)
{
    CFakeServices services;
    CConfig config(sandbox.root / "bin");
    std::vector<std::string> libraries;
    config.SetLibraryHandler([&](const std::string& file) { libraries.push_back(file); });
    CConfigSheet sheet(config);

    services.fileDialogs.QueueFile("/libs/Größe.SHP");
    Find<QPushButton>(sheet, "Library Browse")->click();
    EXPECT_EQ(Find<QLineEdit>(sheet, "Library")->text(), QStringLiteral("/libs/Größe.SHP"));
    EXPECT_EQ(libraries, std::vector<std::string>{"/libs/Größe.SHP"});

    const QString template_ = Find<QLineEdit>(sheet, "Default Temlate")->text();
    Find<QPushButton>(sheet, "Default Temlate Browse")->click();
    EXPECT_EQ(Find<QLineEdit>(sheet, "Default Temlate")->text(), template_);
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(),
              config.Files().m_templateFolderBase + "Template");

    services.fileDialogs.QueueFile("/opt/schematic/run");
    Find<QPushButton>(sheet, "Schematic App. Path Browse")->click();
    EXPECT_EQ(Find<QLineEdit>(sheet, "Schematic App. Path")->text(),
              QStringLiteral("/opt/schematic/run"));
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), "/usr/bin");
}

TEST_F(ConfigSheetTest, AboutBoxShowsTheProductVersion)
{
    CAboutDlg about("1.2.3");
    EXPECT_EQ(about.GetVersionLine(), QStringLiteral("Wevra PCB version: 1.2.3"));
}
