#include <filesystem>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "framework/qt/CQtSettingsStore.h"

TEST(CQtSettingsStore, ValuesSurviveInTheIniFile)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("wevra_qt_settings_test_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
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
    std::filesystem::remove_all(folder);
}
