#include "interchange/OutputText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "tests/interchange/GerberTestBoard.h"
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

// ---- Fixed digits: a coordinate the format cannot hold refuses the job
// ---------------------------

class OutputDigitsRefusal : public COutputTestBoard {};

// A via whose file point lands on the job's offset, just inside and just outside the two integer
// digits of each format. Outside, the writer names the via, writes nothing and fails, and a file
// an earlier run left under the job's name stays as it was.
TEST_F(OutputDigitsRefusal, EveryFixedDigitWriterRefusesTheFirstCoordinateItCannotHold)
{
    struct Case {
        int32_t device;
        CPoint offset;
        const char* file;
        // The plotted point when it fits; the item named when it does not.
        const char* written;
        const char* refused;
    };
    constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
    const Case cases[] = {
        {gerberLayers24, {25599987, 0}, "board/BOARD_TOP.GBR", "X999999Y000000D03*", nullptr},
        {gerberLayers24,
         {25599988, 0},
         "board/BOARD_TOP.GBR",
         nullptr,
         "a via of net \"SIG\" at (0, 256000) in the layer set \"TOP\" lies at X1000000Y000000 in "
         "the file"},
        {gerberLayers24,
         {lowest, lowest},
         "board/BOARD_TOP.GBR",
         nullptr,
         "a via of net \"SIG\" at (0, 256000) in the layer set \"TOP\" lies at "
         "X-83886080Y-83886080 in the file"},
        {gerberSingle23, {0, -25599871}, "board/BOARD.GBR", "X00000Y-99999D03*", nullptr},
        {gerberSingle23,
         {0, -25599872},
         "board/BOARD.GBR",
         nullptr,
         "a via of net \"SIG\" at (0, 256000) in the layer set \"TOP\" lies at X00000Y-100000 in "
         "the file"},
        {excellon, {-25599987, 25599987}, "board/board.t01", "X-999999Y999999\r\n", nullptr},
        {excellon,
         {-25599988, 0},
         "board/board.t01",
         nullptr,
         "a via of net \"SIG\" lies at X-1000000Y000000 in the drill program"},
    };
    doc->Design().SetBoardOutlineRect(0, 0, 256000, 256000);
    const int32_t net = doc->Design().GetNets().AddNet("SIG");
    const int32_t stack =
        Stack("V", PAD_ROUND, CRect(-5120, -5120, 5120, 5120), 2560, LAYER_COMMON);
    Net(net).AppendPadVertex(0, 256000, stack, 0, false);
    const std::string before = "left by an earlier run";
    for (size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        const std::string folder = "CASE" + std::to_string(k);
        const int32_t layer = c.device == excellon ? LAYER_DRILL : LAYER_TOP;
        const int32_t job = AddJob(c.device, "C:\\" + folder, {{"TOP", {layer}}}, c.offset);
        const fs::path file = temp.Path() / folder / c.file;
        if (c.refused) {
            fs::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << before;
        }
        services.messages.ClearShown();
        bool complete = false;
        if (c.device == excellon) {
            CDrillOut drill;
            complete = drill.Write(job, 0, *output);
            EXPECT_EQ(drill.IsRefused(), c.refused != nullptr) << k;
        } else {
            complete = CGerberWriter(*output).Write(job) == 1;
        }
        EXPECT_EQ(complete, c.refused == nullptr) << k;
        if (c.written) {
            EXPECT_NE(ReadBytes(file).find(c.written), std::string::npos) << k;
            EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{}) << k;
            continue;
        }
        EXPECT_EQ(services.messages.ShownTexts(),
                  std::vector<std::string>{
                      "Error!\nThe job failed and wrote no file: " + std::string(c.refused) +
                      ", which the fixed digits of the file format cannot hold. Move the item or "
                      "change the job's offset."})
            << k;
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path() / folder))
            if (entry.is_regular_file())
                files.push_back(fs::relative(entry.path(), temp.Path() / folder).string());
        EXPECT_EQ(files, std::vector<std::string>{c.file}) << k;
        EXPECT_EQ(ReadBytes(file), before) << k;
        EXPECT_EQ(doc->Design().GetOutputJobs().GetJob(job)->GetOffsetX(), c.offset.x);
    }
    EXPECT_EQ(Net(net).GetVertexPoint(0), CPoint(0, 256000));
}
