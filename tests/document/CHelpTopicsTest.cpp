#include <filesystem>

#include <gtest/gtest.h>

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"
#include "tests/support/CFakeServices.h"

TEST(CHelpTopics, CommandsAndDialogContextsFindTheirPages)
{
    EXPECT_EQ(CHelpTopics::PageFor(ID_TRACKS_ADD_OR_REMOVE_VIA), "TracksAddorRemoveVia.htm");
    EXPECT_EQ(CHelpTopics::PageFor(ID_FILE_USER_CONFIGURATION), "FileUserConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(ID_VIEW_STATUS_BAR), "ViewStatusBar.htm");
    // Dialogs pass 0x10000 + the command that opens them.
    EXPECT_EQ(CHelpTopics::PageFor(0x10000 + ID_FILE_USER_CONFIGURATION),
              "FileUserConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(0x10000 + ID_BOARD_CONFIGURATION), "BoardConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(0x10000 + ID_HELP_ABOUT_WEVRA), "HelpAboutWevra.htm");
    EXPECT_EQ(CHelpTopics::PageFor(0), "Hotkeys.htm");
    EXPECT_EQ(CHelpTopics::PageFor(ID_BOARD_CLEAN), "Hotkeys.htm");
    EXPECT_EQ(CHelpTopics::PageFor(0x10000 + ID_SETTINGS_LAYER), "SettingsLayer.htm");
}

TEST(CHelpTopics, PagesOpenFromTheProgramsHelpFolderInTheBrowser)
{
    CFakeServices services;
    const std::filesystem::path help = std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / "help";
    ASSERT_TRUE(std::filesystem::exists(help / "Hotkeys.htm"));

    // A topic without a page of its own shows the key table.
    EXPECT_TRUE(CHelpTopics::Show(0x10000 + ID_FILE_USER_CONFIGURATION));
    ASSERT_EQ(services.launcher.openedPages.size(), 1u);
    EXPECT_EQ(services.launcher.openedPages[0], help / "Hotkeys.htm");
}
