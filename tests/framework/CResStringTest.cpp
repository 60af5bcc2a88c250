#include "framework/CResString.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/CResourcePack.h"
#include "resources/StringIds.h"

namespace {

class CResStringTest : public ::testing::Test {
protected:
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }
};

TEST_F(CResStringTest, TextsComeFromTheCurrentPack)
{
    CResourcePack pack;
    pack.SetString(33067, "Select\nSelect");
    pack.SetString(330, "Design Configuration");
    CResourcePack::SetCurrent(pack);

    EXPECT_EQ(CResString::Load(33067), "Select\nSelect");
    EXPECT_EQ(CResString::LoadPart(33067), "Select");
    EXPECT_EQ(CResString::LoadPart(330), "Design Configuration");
    EXPECT_EQ(CResString::Load(12345), "");
    EXPECT_EQ(CResString::LoadPart(12345), "");
}

TEST_F(CResStringTest, NoPackGivesEmptyTexts)
{
    EXPECT_EQ(CResString::Load(IDS_APP_TITLE), "");
}

// The English pack is built beside the test programs, as it is beside the application.
TEST_F(CResStringTest, EnglishPackIsFoundBesideTheProgram)
{
    std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_TRUE(CResourcePack::LoadFirstFound(folder)) << folder;
    EXPECT_EQ(CResString::Load(IDS_APP_TITLE), "Wevra PCB");
    EXPECT_EQ(CResString::Load(IDS_PCB_DOCUMENT_TYPE),
              "\nWevra PCB\nWevra PCB\nWevra PCB Bestanden (*.pcb)\n.PCB\nWevraPCB.Document\n"
              "Wevra PCB Document");
    EXPECT_EQ(CResString::Load(IDS_FILL_PLANE_FAILURE), "Error. Fill Plane Failure.");
    EXPECT_EQ(CResString::LoadPart(IDS_DELETE_ALL_UNUSED_PADSTACKS), "Delete All Unused PadStacks");
}

} // namespace
