#include <filesystem>
#include <fstream>
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

// A settings file grown past any real one (damaged, or another program's) is refused at its
// bound before it is read, named, and kept as it is; one at the bound is read.
TEST(CQtSettingsStore, AFileBeyondTheBoundIsNeitherReadNorWritten)
{
    const CTempFolder folder("wevra-qt-settings");
    const std::string ini = (folder / "Wevra PCB.ini").string();
    const std::string head = "[Start-up]\nLeft Pane=TRUE\n";
    {
        std::string text = head;
        text.resize(size_t(CQtSettingsStore::maxFileSize) - 1, ';');
        std::ofstream(ini, std::ios::binary) << text << '\n';
    }
    ASSERT_EQ(std::filesystem::file_size(ini), CQtSettingsStore::maxFileSize);
    {
        CQtSettingsStore store(ini);
        EXPECT_TRUE(store.GetProblem().empty()) << store.GetProblem();
        EXPECT_EQ(store.GetString("Start-up", "Left Pane", "default"), "TRUE");
    }

    std::filesystem::resize_file(ini, CQtSettingsStore::maxFileSize + 1);
    {
        CQtSettingsStore store(ini);
        EXPECT_NE(store.GetProblem().find(ini), std::string::npos) << store.GetProblem();
        EXPECT_EQ(store.GetString("Start-up", "Left Pane", "default"), "default");
        store.WriteString("Start-up", "Left Pane", "FALSE");
        EXPECT_EQ(store.GetString("Start-up", "Left Pane", "default"), "FALSE");
        EXPECT_TRUE(store.Sync()) << "nothing is written, and nothing is lost that was not told";
    }
    EXPECT_EQ(std::filesystem::file_size(ini), CQtSettingsStore::maxFileSize + 1);
    std::ifstream in(ini, std::ios::binary);
    std::string start(head.size(), '\0');
    in.read(start.data(), std::streamsize(start.size()));
    EXPECT_EQ(start, head);
}

// A folder that cannot be made (here a file stands where it would go, as a read-only home
// refuses it): Sync says the settings were not written and where they belong.
TEST(CQtSettingsStore, AFailedWriteIsReportedWithItsPlace)
{
    const CTempFolder folder("wevra-qt-settings");
    std::ofstream(folder / "config") << "a file";
    const std::string ini = (folder / "config" / "Wevra PCB" / "Wevra PCB.ini").string();
    CQtSettingsStore store(ini);
    EXPECT_TRUE(store.GetProblem().empty());
    EXPECT_EQ(store.GetLocation(), ini);
    store.WriteString("Recent File List", "File1", "/boards/a.PCB");
    EXPECT_FALSE(store.Sync());
    EXPECT_EQ(store.GetString("Recent File List", "File1", ""), "/boards/a.PCB");

    CQtSettingsStore fine((folder / "fine.ini").string());
    fine.WriteString("Recent File List", "File1", "/boards/a.PCB");
    EXPECT_TRUE(fine.Sync());
}
