#include "interchange/CDrillOut.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/CNumberText.h"
#include "tests/interchange/GerberTestBoard.h"
#include "tests/support/CScopedLocale.h"

namespace {

// Tool diameters in inch and hole counts as gerbv reads a drill program: its own export of
// what it loaded.
std::map<std::string, int32_t> GerbvTools(const fs::path& drill)
{
    const fs::path exported = drill.string() + ".gerbv";
    const std::vector<std::string> complaints = GerbvComplaints(drill, "drill", exported);
    EXPECT_TRUE(complaints.empty()) << drill << ":\n" << ::testing::PrintToString(complaints);
    std::map<std::string, std::string> sizes;
    std::map<std::string, int32_t> counts;
    std::string tool;
    bool inHeader = false;
    for (const std::string& line : SplitLines(ReadBytes(exported))) {
        if (line == "M48") {
            inHeader = true;
        } else if (line == "%") {
            inHeader = false;
        } else if (inHeader && line.rfind('T', 0) == 0 && line.find('C') != std::string::npos) {
            sizes[line.substr(0, line.find('C'))] = line.substr(line.find('C') + 1);
        } else if (!inHeader && line.rfind('T', 0) == 0) {
            tool = line;
        } else if (!inHeader && line.rfind('X', 0) == 0) {
            ++counts[sizes[tool]];
        }
    }
    return counts;
}

} // namespace

class CDrillOutTest : public COutputTestBoard {
protected:
    // Two vias and a component pad with one drill, one via with a smaller one.
    void LaySmallBoard()
    {
        doc->Design().SetBoardOutlineRect(0, 0, 512000, 256000);
        const int32_t big =
            Stack("B", PAD_ROUND, CRect(-10240, -10240, 10240, 10240), 10240, LAYER_COMMON);
        const int32_t small =
            Stack("S", PAD_ROUND, CRect(-5120, -5120, 5120, 5120), 5120, LAYER_COMMON);
        const int32_t smd =
            Stack("M", PAD_RECTANGLE, CRect(-5120, -2560, 5120, 2560), 0, LAYER_TOP);
        const int32_t shape = Cache().AddShape("TH");
        Cache().AddPadToShape(shape, 0, 0, uint16_t(big), 0);
        Cache().AddPadToShape(shape, 25600, 0, uint16_t(smd), 0);
        EXPECT_TRUE(doc->Design().GetComponents().AddComponent("J1", "CON", shape, 256000, 128000,
                                                               90000, false));
        doc->Design().ResetPadNets();
        Net(0).AppendPadVertex(25600, 25600, big, 0, false);
        Net(0).AppendPadVertex(51200, 25600, small, 0, false);
        Net(0).AppendPadVertex(-25600, 256000, big, 0, true);
    }
};

TEST_F(CDrillOutTest, CoordinatesInBothFormats)
{
    EXPECT_EQ(CDrillOut::FormatCoord23(256000), "01000");
    EXPECT_EQ(CDrillOut::FormatCoord24(256000), "010000");
    EXPECT_EQ(CDrillOut::FormatCoord23(-128000), "-00500");
    EXPECT_EQ(CDrillOut::PadTitle("Tool diameters"), ".Tool diameters..........");
}

TEST_F(CDrillOutTest, ProgramAndReportOfASmallBoard)
{
    LaySmallBoard();
    const int32_t job =
        AddJob(excellon, "C:\\EXCELLON", {{"DRILL PROGRAM", {LAYER_DRILL}}}, CPoint(25600, 51200));
    CDrillOut drill;
    ASSERT_TRUE(drill.Write(job, 0, *output));
    const fs::path folder = temp.Path() / "EXCELLON" / "board";
    // Holes of one size in collection order, vias first; seen from the top on the board one
    // inch high, then moved by the offset. The component was placed with its pads at y = 0.
    EXPECT_EQ(ReadBytes(folder / "board.t01"), "M48\r\n"
                                               "INCH,LZ\r\n"
                                               "T1C0.0200\r\n"
                                               "T2C0.0400\r\n"
                                               "%\r\n"
                                               "T1\r\n"
                                               "X003000Y011000\r\n"
                                               "T2\r\n"
                                               "X002000Y011000\r\n"
                                               "X000000Y002000\r\n"
                                               "X011000Y012000\r\n"
                                               "M30\r\n");
    EXPECT_EQ(ReadBytes(folder / "board.e01"),
              "\r\nPCB Factory information file\r\n\r\n"
              "Project name        : board\r\n"
              "Description         : DRILL PROGRAM\r\n"
              "Created             : Monday, December 07, 2026  14:00:00\r\n"
              "Program             : Wevra PCB\r\n\r\n"
              "Attached file       : board.t01\r\n\r\n"
              "Device              : EXCELLON, Inch, 2.4, Leading Zero\r\n\r\n"
              "Board Width         : 50.800 mm. / 2.0000 inch\r\n"
              "Board Height        : 25.400 mm. / 1.0000 inch\r\n"
              "Y axis              : board height - board y, seen from the top\r\n"
              "Board Offset X      : 2.540 mm. / 0.1000 inch\r\n"
              "Board Offset Y      : 5.080 mm. / 0.2000 inch\r\n\r\n"
              "  TOOL    .Tool diameters..........      Used\r\n"
              "   T1      0.508 mm.    0.0200 inch         1\r\n"
              "   T2      1.016 mm.    0.0400 inch         3\r\n");
    // What a reader takes from the program is what the report says.
    EXPECT_EQ(GerbvTools(folder / "board.t01"),
              (std::map<std::string, int32_t>{{"0.020", 1}, {"0.040", 3}}));
}

// Under a German desktop the program is the same, in the 2.3 format when the device says so.
TEST_F(CDrillOutTest, Format23UnderAGermanDesktop)
{
    LaySmallBoard();
    const int32_t job = AddJob(excellon, "", {{"A", {LAYER_DRILL}}});
    doc->Design().GetOutputJobs().GetJob(job)->SetDevice("EXCELLON, Inch, 2.3, Leading Zero");
    CDrillOut drill;
    {
        const CScopedLocale german("de_DE.UTF-8");
        ASSERT_TRUE(drill.Write(job, 0, *output));
    }
    const std::string text = ReadBytes(temp.Path() / "OUTPUT" / "board.t01");
    EXPECT_NE(text.find("T1C0.0200\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nX00100Y00900\r\n"), std::string::npos);
    EXPECT_EQ(GerbvTools(temp.Path() / "OUTPUT" / "board.t01"),
              (std::map<std::string, int32_t>{{"0.020", 1}, {"0.040", 3}}));
}

TEST_F(CDrillOutTest, ExtensionsFollowTheItemNumber)
{
    std::vector<SetPlan> sets;
    for (int32_t i = 1; i <= 10; ++i)
        sets.push_back({"S" + std::to_string(i), {LAYER_DRILL}});
    const int32_t job = AddJob(excellon, "", sets);
    CDrillOut drill;
    ASSERT_TRUE(drill.Write(job, 8, *output));
    ASSERT_EQ(drill.GetWrittenFiles().size(), 2u);
    EXPECT_EQ(drill.GetWrittenFiles()[0].filename(), "board.t09");
    EXPECT_EQ(drill.GetWrittenFiles()[1].filename(), "board.e09");
    ASSERT_TRUE(drill.Write(job, 9, *output));
    EXPECT_EQ(drill.GetWrittenFiles()[0].filename(), "board.t10");
    EXPECT_EQ(drill.GetWrittenFiles()[1].filename(), "board.e10");
    // An item that does not exist writes nothing.
    EXPECT_TRUE(drill.Write(job, 10, *output));
    EXPECT_TRUE(drill.GetWrittenFiles().empty());
}

TEST_F(CDrillOutTest, BoardWithoutHolesStillLoads)
{
    const int32_t job = AddJob(excellon, "", {{"A", {LAYER_DRILL}}});
    CDrillOut drill;
    ASSERT_TRUE(drill.Write(job, 0, *output));
    const fs::path file = temp.Path() / "OUTPUT" / "board.t01";
    EXPECT_EQ(ReadBytes(file), "M48\r\nINCH,LZ\r\n%\r\nT0\r\nM30\r\n");
    EXPECT_TRUE(GerbvTools(file).empty());
    const std::string report = ReadBytes(temp.Path() / "OUTPUT" / "board.e01");
    const std::string table = "  TOOL    .Tool diameters..........      Used\r\n";
    EXPECT_EQ(report.substr(report.size() - table.size()), table);
}

// The board with every kind of item: what gerbv reads equals the report's tool table.
TEST_F(CDrillOutTest, ReportMatchesWhatAReaderTakesFromTheProgram)
{
    LayEveryItem();
    const int32_t job = AddJob(excellon, "C:\\EXCELLON", {{"DRILL", {LAYER_DRILL}}});
    CDrillOut drill;
    ASSERT_TRUE(drill.Write(job, 0, *output));
    std::map<std::string, int32_t> reported;
    for (const std::string& line : SplitLines(ReadBytes(drill.GetWrittenFiles()[1]))) {
        if (line.rfind("   T", 0) != 0)
            continue;
        const size_t inch = line.find(" inch");
        const std::string diameter = line.substr(line.rfind(' ', inch - 1) + 1, inch);
        const double value = CNumberText::ParseDouble(diameter);
        reported[CNumberText::FormatFixed(value, 3)] = CNumberText::ParseInt(line.substr(inch + 5));
    }
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(GerbvTools(drill.GetWrittenFiles()[0]), reported);
}
