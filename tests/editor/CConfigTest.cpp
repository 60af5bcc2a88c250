#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document/CGridProfile.h"
#include "editor/CConfig.h"
#include "model/CGridArr.h"
#include "tests/document/SettingsTestSupport.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() { fs::create_directories(documents); }

    CSettingsSandbox sandbox{"wevra_config_test"};
    fs::path program = sandbox.root / "bin";
    fs::path home = sandbox.root / "home";
    fs::path documents = home / "Documents";

private:
    CScopedEnv m_home{"HOME", home.string()};
    CScopedEnv m_state{"XDG_STATE_HOME", ""};
};

} // namespace

TEST_F(ConfigTest, FreshSettingsTakeTheProgramsFoldersAndFirstFiles)
{
    Touch(program / "Template" / "b.PCB");
    Touch(program / "Template" / "A.pcb");
    Touch(program / "Library" / "Parts.SHP");
    CConfig config(program);

    // Designs go to the user's documents, not among the program's files; netlists are looked
    // for beside the design, not in a folder that is not there.
    EXPECT_EQ(config.GetPcbDirectory(), documents.string());
    EXPECT_EQ(config.GetNetlistDirectory(), "");
    EXPECT_EQ(config.GetDefaultTemplate(), (program / "Template" / "A.pcb").string());
    EXPECT_EQ(config.GetLibraryFile(), (program / "Library" / "Parts.SHP").string());
    EXPECT_TRUE(config.IsBackupsAutomatic());
    EXPECT_EQ(config.GetBackupIntervalTime(), 5);
    EXPECT_EQ(config.GetBackupMaxFiles(), 10);
    EXPECT_TRUE(config.IsLoadDesign());
    EXPECT_FALSE(config.IsLoadSchematicApplication());
    EXPECT_TRUE(config.IsToolbar() && config.IsStatusbar() && config.IsScrollbars());
    EXPECT_FALSE(config.IsLeftPane() || config.IsBottomPane());
    EXPECT_EQ(config.GetRegisteredFolder(), "");
    // Nothing is written before the pages are applied.
    EXPECT_TRUE(sandbox.settings.writes.empty());
}

TEST_F(ConfigTest, StoredValuesWinWhenTheyExist)
{
    fs::create_directories(sandbox.root / "designs");
    Touch(sandbox.root / "lib.shp");
    Touch(program / "Library" / "Other.SHP");
    sandbox.settings.WriteString("Files", "PCB Directory", (sandbox.root / "designs").string());
    sandbox.settings.WriteString("Files", "Library", (sandbox.root / "lib.shp").string());
    sandbox.settings.WriteString("Files", "Netilst Directory", (sandbox.root / "gone").string());
    // A template that names a folder is no template; without one found the value stays.
    sandbox.settings.WriteString("Files", "Default Temlate", sandbox.root.string());
    CConfig config(program);

    EXPECT_EQ(config.GetPcbDirectory(), (sandbox.root / "designs").string());
    EXPECT_EQ(config.GetLibraryFile(), (sandbox.root / "lib.shp").string());
    EXPECT_EQ(config.GetNetlistDirectory(), "");
    EXPECT_EQ(config.GetDefaultTemplate(), sandbox.root.string());

    // A home without a documents folder is the place itself.
    fs::remove(documents);
    sandbox.settings.WriteString("Files", "PCB Directory", (sandbox.root / "gone").string());
    EXPECT_EQ(CConfig(program).GetPcbDirectory(), home.string());
}

TEST_F(ConfigTest, BooleansReadTheLanguagesWordsAndTrueInAnyCase)
{
    struct Row {
        const char* text;
        bool expected;
    };
    const std::vector<Row> rows = {{"yes", false}, {"YES", true},    {"NO", false}, {"True", true},
                                   {"tRUE", true}, {"FALSE", false}, {"1", false},  {"", false}};
    for (const Row& row : rows) {
        sandbox.settings.WriteString("Start-up", "Load Design", row.text);
        sandbox.settings.WriteString("Start-up", "Left Pane", row.text);
        CConfig config(program);
        EXPECT_EQ(config.IsLoadDesign(), row.expected) << row.text;
        EXPECT_EQ(config.IsLeftPane(), row.expected) << row.text;
    }
}

TEST_F(ConfigTest, BackupNumbersAreKeptInTheirRanges)
{
    struct Row {
        const char* interval;
        const char* maxFiles;
        int32_t expectedInterval;
        int32_t expectedMaxFiles;
    };
    const std::vector<Row> rows = {{"0", "-3", 1, 0},
                                   {"999", "50", 60, 20},
                                   {" 15 minutes", "x", 15, 0},
                                   {"60", "20", 60, 20}};
    for (const Row& row : rows) {
        sandbox.settings.WriteString("Files", "Backup Interval Time", row.interval);
        sandbox.settings.WriteString("Files", "Backup Max. Files", row.maxFiles);
        CConfig config(program);
        EXPECT_EQ(config.GetBackupIntervalTime(), row.expectedInterval) << row.interval;
        EXPECT_EQ(config.GetBackupMaxFiles(), row.expectedMaxFiles) << row.maxFiles;
    }
}

TEST_F(ConfigTest, ApplyWritesEveryKeyAsText)
{
    CConfig config(program);
    config.Files().m_backupsAutomatic = false;
    config.Files().m_backupIntervalTime = 7;
    config.StartUp().m_bottomPane = true;
    config.StartUp().m_schematicAppPath = "/opt/schem/run";
    config.StartUp().OnApply();
    config.Files().OnApply();

    const std::string project = documents.string();
    const std::vector<std::string> expected = {
        "Start-up/Load Design=TRUE",
        "Start-up/Load Schematic Application=FALSE",
        "Start-up/Schematic App. Path=/opt/schem/run",
        "Start-up/Schematic App. Extension=",
        "Start-up/Toolbar=TRUE",
        "Start-up/Statusbar=TRUE",
        "Start-up/Scrollbars=TRUE",
        "Start-up/Left Pane=FALSE",
        "Start-up/Bottom Pane=TRUE",
        "Files/PCB Directory=" + project,
        "Files/Default Temlate=Template/Template1.PCB",
        "Files/Netilst Directory=",
        "Files/Library=",
        "Files/Backups Automatic=FALSE",
        // Backups are the user's own and outlive a reboot.
        "Files/Backup Directory=" + (home / ".local/state/wevra-pcb/backups").string(),
        "Files/Backup Interval Time=7",
        "Files/Backup Max. Files=10",
    };
    EXPECT_EQ(sandbox.settings.writes, expected);
}

TEST_F(ConfigTest, CancelReturnsTheLibraryToTheOneLastApplied)
{
    CConfig config(program);
    CConfigFiles& files = config.Files();
    files.m_library = "/a.SHP";
    EXPECT_TRUE(files.OnApply());
    EXPECT_FALSE(files.OnApply());
    files.m_library = "/b.SHP";
    files.OnCancel();
    EXPECT_EQ(config.GetLibraryFile(), "/a.SHP");
}

TEST_F(ConfigTest, GridSectionFillsTheRecordsWithLengthsOfAtLeastOne)
{
    CRecordingSettings& s = sandbox.settings;
    s.WriteString("Grid", "Grid_0_1_X", "0");
    s.WriteString("Grid", "Grid_0_1_Y", "5000");
    s.WriteString("Grid", "Grid_1_2_X", "-40");
    s.WriteString("Grid", "Draw Show", "None");
    s.WriteString("Grid", "Block Show", "Dots");
    s.WriteString("Grid", "Draw Snap", "FALSE");
    CGridArr grids;
    CGridProfile::Read(grids);

    EXPECT_EQ(grids.GetSpacing(1), CSize(1, 5000));
    EXPECT_EQ(grids.GetSnap(2).cx, 1);
    EXPECT_EQ(grids.GetSpacing(0), CGridArr().GetSpacing(0));
    EXPECT_EQ(grids.GetMode(0), CGridArr::modeInvisible);
    EXPECT_EQ(grids.GetMode(1), CGridArr::modeDots);
    EXPECT_EQ(grids.GetMode(2), CGridArr::modeLines);
    EXPECT_FALSE(grids.IsSnapOn(0));
    EXPECT_TRUE(grids.IsSnapOn(1));
}
