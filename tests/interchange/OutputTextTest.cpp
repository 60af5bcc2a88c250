#include "interchange/OutputText.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/interchange/OutputTestSupport.h"

TEST(OutputTextDigits, InchDigitsInBothFormats)
{
    EXPECT_EQ(FormatInchDigits(256000, 3), "01000");
    EXPECT_EQ(FormatInchDigits(-256000, 3), "-01000");
    EXPECT_EQ(FormatInchDigits(3200000, 3), "12500");
    EXPECT_EQ(FormatInchDigits(256000, 4), "010000");
    EXPECT_EQ(FormatInchDigits(-128000, 3), "-00500");
    EXPECT_EQ(FormatInchDigits(0, 4), "000000");
    // Half a digit rounds away from zero; less than half of one is zero without a sign.
    EXPECT_EQ(FormatInchDigits(128, 3), "00001");
    EXPECT_EQ(FormatInchDigits(127, 3), "00000");
    EXPECT_EQ(FormatInchDigits(-127, 3), "00000");
    EXPECT_EQ(FormatInchDigits(-128, 3), "-00001");
    // 100 inch and more keep their leading digit.
    EXPECT_EQ(FormatInchDigits(25600000, 4), "1000000");
}

TEST(OutputTextNames, SafeNamesAndTitles)
{
    EXPECT_EQ(SafeName("TOP*%/\\\tX"), "TOP_____X");
    EXPECT_EQ(SafeName(""), "_");
    EXPECT_EQ(SafeName(".."), "__");
    EXPECT_EQ(SafeName("a.b"), "a.b");
    EXPECT_EQ(UpperTrimmed("  my board  "), "MY BOARD");
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
}

TEST(OutputTextFolders, StoredFoldersLieBelowTheDesign)
{
    const CTempFolder temp("wevra-output-folders");
    const fs::path design = temp.Path() / "dots.in.name";
    fs::create_directories(design / "gerber");
    // A drive gets a subfolder of the title; an existing folder is found whatever its case.
    EXPECT_EQ(ResolveOutputFolder("C:\\GERBER", design, "BOARD"), design / "gerber" / "BOARD");
    EXPECT_TRUE(fs::is_directory(design / "gerber" / "BOARD"));
    EXPECT_EQ(ResolveOutputFolder("", design, "BOARD"), design / "OUTPUT");
    EXPECT_EQ(ResolveOutputFolder("CAM\\NC", design, "BOARD"), design / "CAM" / "NC");
    EXPECT_EQ(ResolveOutputFolder("D:\\..\\..\\CAM", design, "a/.."), design / "CAM" / "a_..");
    EXPECT_TRUE(fs::is_directory(design / "CAM" / "NC"));
}

// A design opened by a relative path: its folder counts once, from the current folder.
TEST(OutputTextFolders, RelativeDesignFolderIsTakenOnce)
{
    const CTempFolder temp("wevra-output-relative");
    const fs::path before = fs::current_path();
    fs::current_path(temp.Path());
    const fs::path gerber = ResolveOutputFolder("C:\\GERBER", "gui", "DEMO");
    const fs::path output = ResolveOutputFolder("", "gui", "DEMO");
    fs::current_path(before);
    EXPECT_EQ(gerber.filename(), "DEMO");
    EXPECT_TRUE(fs::is_directory(temp.Path() / "gui" / "GERBER" / "DEMO"));
    EXPECT_TRUE(fs::is_directory(temp.Path() / "gui" / "OUTPUT"));
    EXPECT_FALSE(fs::exists(temp.Path() / "gui" / "gui"));
    // The folder stays right when the current folder changes after it was found.
    EXPECT_TRUE(gerber.is_absolute());
    EXPECT_TRUE(output.is_absolute());
}
