#include <filesystem>

#include <gtest/gtest.h>

#include "document/CHelpTopics.h"
#include "tests/support/CFakeServices.h"

TEST(CHelpTopics, CommandsAndDialogContextsFindTheirPages)
{
    EXPECT_EQ(CHelpTopics::PageFor(32775), "TracksAddorRemoveVia.htm");
    EXPECT_EQ(CHelpTopics::PageFor(33179), "FileUserConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(59393), "ViewStatusBar.htm");
    // Dialogs pass 0x10000 + the command that opens them.
    EXPECT_EQ(CHelpTopics::PageFor(98715), "FileUserConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(98484), "BoardConfiguration.htm");
    EXPECT_EQ(CHelpTopics::PageFor(123200), "HelpAboutWevra.htm");
    EXPECT_EQ(CHelpTopics::PageFor(0), "Hotkeys.htm");
    EXPECT_EQ(CHelpTopics::PageFor(32779), "Hotkeys.htm");
    EXPECT_EQ(CHelpTopics::PageFor(98368), "SettingsLayer.htm");
}

TEST(CHelpTopics, PagesOpenFromTheProgramsHelpFolderInTheBrowser)
{
    CFakeServices services;
    const std::filesystem::path help = std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / "help";
    ASSERT_TRUE(std::filesystem::exists(help / "Hotkeys.htm"));

    // A topic without a page of its own shows the key table.
    EXPECT_TRUE(CHelpTopics::Show(98715));
    ASSERT_EQ(services.launcher.openedPages.size(), 1u);
    EXPECT_EQ(services.launcher.openedPages[0], help / "Hotkeys.htm");
}
