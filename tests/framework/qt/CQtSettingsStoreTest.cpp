#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "framework/qt/CQtSettingsStore.h"
#include "tests/support/CTempFolder.h"

TEST(CQtSettingsStore, ValuesSurviveInTheIniFile)
{
    const CTempFolder folder("wevra-qt-settings");
    const std::string ini = (folder / "Wevra PCB.ini").string();
    {
        CQtSettingsStore store(ini);
        store.WriteString("Start-up", "Left Pane", "TRUE");
        store.WriteString("Files", "Backup Directory", "/home/a, b/backups");
        store.WriteString("Files", "Default Temlate", "/d/\xC3\xA9t\xC3\xA9/T.PCB");
        store.WriteInt("Files", "Backup Max. Files", 12);
    }
    CQtSettingsStore store(ini);
    EXPECT_EQ(store.GetString("Start-up", "Left Pane", ""), "TRUE");
    EXPECT_EQ(store.GetString("Files", "Backup Directory", ""), "/home/a, b/backups");
    EXPECT_EQ(store.GetString("Files", "Default Temlate", ""), "/d/\xC3\xA9t\xC3\xA9/T.PCB");
    EXPECT_EQ(store.GetInt("Files", "Backup Max. Files", 0), 12);
    EXPECT_EQ(store.GetString("Start-up", "Bottom Pane", "missing"), "missing");
}

// A pipe where the settings file should be would block start-up for ever.
TEST(CQtSettingsStore, WhatIsNoRegularFileIsNeitherReadNorWritten)
{
    const CTempFolder folder("wevra-qt-settings");
    const std::string ini = (folder / "Wevra PCB.ini").string();
    ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    {
        CQtSettingsStore store(ini);
        EXPECT_NE(store.GetProblem().find(ini), std::string::npos) << store.GetProblem();
        EXPECT_EQ(store.GetString("Start-up", "Left Pane", "default"), "default");
        // The session keeps what the user changes.
        store.WriteString("Start-up", "Left Pane", "FALSE");
        EXPECT_EQ(store.GetString("Start-up", "Left Pane", "default"), "FALSE");
        store.Sync();
    }
    EXPECT_TRUE(std::filesystem::is_fifo(ini));
    EXPECT_TRUE(CQtSettingsStore((folder / "other.ini").string()).GetProblem().empty());
}
