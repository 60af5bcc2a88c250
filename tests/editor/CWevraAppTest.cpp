#include "editor/CWevraApp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/CResourcePack.h"
#include "resources/StringIds.h"

namespace {

class CWevraAppStrings : public ::testing::Test {
protected:
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }
};

TEST_F(CWevraAppStrings, TextsComeFromTheCurrentPack)
{
    CResourcePack pack;
    pack.SetString(IDS_SELECT_MODE, "Select\nSelect");
    pack.SetString(IDS_YES, "JA");
    pack.SetString(IDS_NO, "NEIN");
    CResourcePack::SetCurrent(pack);

    EXPECT_EQ(CWevraApp::LoadResString(IDS_SELECT_MODE), "Select\nSelect");
    EXPECT_EQ(CWevraApp::LoadResStringPart(IDS_SELECT_MODE), "Select");
    EXPECT_EQ(CWevraApp::LoadResStringBool(true), "JA");
    EXPECT_EQ(CWevraApp::LoadResStringBool(false), "NEIN");
}

TEST_F(CWevraAppStrings, NoPackGivesEmptyTexts)
{
    EXPECT_EQ(CWevraApp::LoadResStringBool(true), "");
}

TEST_F(CWevraAppStrings, EnglishPackIsFoundBesideTheProgram)
{
    std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_TRUE(CResourcePack::LoadFirstFound(folder)) << folder;
    EXPECT_EQ(CWevraApp::LoadResStringBool(true), "YES");
    EXPECT_EQ(CWevraApp::LoadResStringBool(false), "NO");
}

// The front hands the editor's length and device calls on unchanged.
TEST(CWevraAppLength, TextsInEveryUnit)
{
    EXPECT_EQ(CWevraApp::FormatLength(CWevraApp::unitMillimetre, 1008), "0.100 mm.");
    EXPECT_EQ(CWevraApp::FormatLengthFine(CWevraApp::unitInch, 25600), "0.10000 inch");
    EXPECT_EQ(CWevraApp::ParseLength(CWevraApp::unitMil, "100 mil"), 25600);
    EXPECT_EQ(CWevraApp::OutputFormatName(CWevraApp::outputFormatCount - 1), "WINDOWS");
}

} // namespace
