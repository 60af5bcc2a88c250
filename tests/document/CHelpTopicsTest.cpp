#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

    // The pages a new user and a board house need say what the program reads and which files
    // make the fab set.
    const auto page = [&help](const char* name) {
        std::ifstream file(help / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    EXPECT_TRUE(CHelpTopics::Show(ID_NETLIST_LOAD));
    EXPECT_EQ(services.launcher.openedPages.back(), help / "NetlistLoad.htm");
    for (const char* dialect :
         {"Calay", "Mentor", "MultiSim", "Protel 2.0", "Tango", ".CMP", ".PLC"})
        EXPECT_NE(page("NetlistLoad.htm").find(dialect), std::string::npos) << dialect;
    EXPECT_TRUE(CHelpTopics::Show(ID_FILE_OUTPUT));
    EXPECT_EQ(services.launcher.openedPages.back(), help / "FileOutput.htm");
    for (const char* file : {".GBR", "title.t01", "TITLE.TXT", "title.e01", "do not send"})
        EXPECT_NE(page("FileOutput.htm").find(file), std::string::npos) << file;
    for (const char* wheel : {"Ctrl+wheel", "Shift+wheel"})
        EXPECT_NE(page("Hotkeys.htm").find(wheel), std::string::npos) << wheel;
}
