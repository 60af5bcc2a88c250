#include <string>

#include <gtest/gtest.h>

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
