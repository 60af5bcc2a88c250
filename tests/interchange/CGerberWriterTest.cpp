#include "interchange/CGerberWriter.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/interchange/GerberTestBoard.h"
#include "tests/support/CScopedLocale.h"

namespace {

constexpr char squareHeader24[] = "*\r\n"
                                  "G04 SOURCE = wevra-pcb *\r\n"
                                  "G04 FORMAT = GERBER RS-274X, Inch, 2.4, Single File, "
                                  "Leading Zero *\r\n"
                                  "G04 TITLE  = BOARD *\r\n"
                                  "G04 LAYER  = OUTLINE *\r\n"
                                  "G04 TIME   = Monday, December 07, 2026  14:00:00 *\r\n"
                                  "G04 Y AXIS = BOARD HEIGHT - BOARD Y, SEEN FROM THE TOP *\r\n"
                                  "*\r\n"
                                  "%FSLAX24Y24*%\r\n"
                                  "%MOIN*%\r\n"
                                  "%ADD10C,0.0079*%\r\n"
                                  "G01*\r\n";

// The D-codes a file defines and the ones its body selects.
struct DCodes {
    std::set<std::string> defined;
    std::set<std::string> selected;
    std::set<std::string> macros;
    std::set<std::string> customs;
};

// The digits at the start of the text.
std::string LeadingDigits(const std::string& text)
{
    size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9')
        ++n;
    return text.substr(0, n);
}

DCodes ReadDCodes(const std::string& text)
{
    DCodes codes;
    for (const std::string& line : SplitLines(text)) {
        if (line.rfind("%ADD", 0) == 0) {
            const std::string code = LeadingDigits(line.substr(4));
            codes.defined.insert(code);
            const std::string rest = line.substr(4 + code.size());
            if (rest.rfind("CUSTOM", 0) == 0)
                codes.customs.insert("CUSTOM" + LeadingDigits(rest.substr(6)));
        } else if (line.rfind("G54D", 0) == 0) {
            codes.selected.insert(LeadingDigits(line.substr(4)));
        } else if (line.rfind("%AMCUSTOM", 0) == 0) {
            codes.macros.insert("CUSTOM" + LeadingDigits(line.substr(9)));
        }
    }
    return codes;
}

void ExpectLoadsCleanly(const fs::path& file)
{
    const std::vector<std::string> complaints =
        GerbvComplaints(file, "rs274x", file.string() + ".gerbv");
    EXPECT_TRUE(complaints.empty()) << file << ":\n" << ::testing::PrintToString(complaints);
    EXPECT_EQ(ParserComplaints({file}), std::vector<std::string>{});
}

} // namespace

// The readers' check holds every plot against its file. A macro primitive that runs over
// several lines, or whose "*" stands on the closing "%" line, is valid Gerber, yet one reader
// drops it and the pad with it: the check names the flash that lost it.
TEST(GerberReaderCheck, AFlashThatLosesItsPrimitivesIsNamed)
{
    const CTempFolder temp("wevra-gerber-check");
    const fs::path file = temp.Path() / "LOST.GBR";
    std::ofstream(file, std::ios::binary)
        << "%FSLAX24Y24*%\r\n%MOIN*%\r\n%AMCUSTOM10*\r\n4,1,4,\r\n-0.0100,0.0050,\r\n"
           "0.0300,0.0050,\r\n0.0300,-0.0150,\r\n-0.0100,-0.0150,\r\n-0.0100,0.0050,\r\n"
           "0.0\r\n*%\r\n%ADD10CUSTOM10*%\r\n%ADD11C,0.0100*%\r\nG54D10*\r\n"
           "X000000Y010000D03*\r\nG54D11*\r\nX010000Y010000D03*\r\nM02*\r\n";
    const std::vector<std::string> complaints = ParserComplaints({file});
    ASSERT_EQ(complaints.size(), 1u) << ::testing::PrintToString(complaints);
    EXPECT_NE(complaints[0].find("line 15: the flash of D10 plots 0 of its 1 primitives"),
              std::string::npos)
        << complaints[0];
}

class CGerberWriterSquare : public COutputTestBoard {
protected:
    CGerberWriterSquare() { doc->Design().SetBoardOutlineRect(0, 0, 256000, 256000); }
};

TEST_F(CGerberWriterSquare, OneInchSquareInTheSingleFile24Format)
{
    const int32_t job = AddJob(gerberSingle24, "C:\\GERBER", {{"OUTLINE", {}}});
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    const fs::path file = temp.Path() / "GERBER" / "board" / "BOARD.GBR";
    EXPECT_EQ(ReadBytes(file), std::string(squareHeader24) + "G54D10*\r\n"
                                                             "X000000Y010000D02*\r\n"
                                                             "X010000Y010000D01*\r\n"
                                                             "X010000Y000000D01*\r\n"
                                                             "X000000Y000000D01*\r\n"
                                                             "X000000Y010000D01*\r\n"
                                                             "M02*\r\n");
    ExpectLoadsCleanly(file);

    EXPECT_EQ(ReadBytes(temp.Path() / "GERBER" / "board" / "BOARD.TXT"),
              "\r\n; PCB Factory information file\r\n\r\n"
              "; Project name        : BOARD\r\n"
              "; Created             : Monday, December 07, 2026  14:00:00\r\n"
              "; Program             : Wevra PCB\r\n\r\n"
              "; Attached file       : BOARD.GBR\r\n\r\n"
              "; Device              : GERBER RS-274X, Inch, 2.4, Single File, Leading Zero\r\n"
              "\r\n"
              "; Board Width         :     1.0000 inch    25.400 mm.\r\n"
              "; Board Height        :     1.0000 inch    25.400 mm.\r\n"
              "; Y axis              : board height - board y, seen from the top\r\n"
              "; Board Offset X      :     0.0000 inch     0.000 mm.\r\n"
              "; Board Offset Y      :     0.0000 inch     0.000 mm.\r\n"
              "      Type          X       Y             X       Y        Used\r\n"
              "                     English               Metric\r\n"
              "D10   Draw        0.0079  0.0079        0.200   0.200         5\r\n");
    EXPECT_EQ(writer.GetWrittenFiles().size(), 2u);
    EXPECT_TRUE(services.messages.Shown().empty());
}

// One file per set in the 2.3 format, written the same under a German desktop, and moved by
// the job's offset.
TEST_F(CGerberWriterSquare, OneInchSquarePerLayerIn23FormatWithOffset)
{
    const int32_t job = AddJob(gerberLayers23, "", {{"OUTLINE", {}}}, CPoint(-128000, 25600));
    CGerberWriter writer(*output);
    {
        const CScopedLocale german("de_DE.UTF-8");
        ASSERT_EQ(writer.Write(job), 1);
    }

    const fs::path file = temp.Path() / "OUTPUT" / "BOARD_OUTLINE.GBR";
    EXPECT_EQ(ReadBytes(file), "*\r\n"
                               "G04 SOURCE = wevra-pcb *\r\n"
                               "G04 FORMAT = GERBER RS-274X, Inch, 2.3, Leading Zero *\r\n"
                               "G04 TITLE  = BOARD *\r\n"
                               "G04 LAYER  = OUTLINE *\r\n"
                               "G04 TIME   = Monday, December 07, 2026  14:00:00 *\r\n"
                               "G04 Y AXIS = BOARD HEIGHT - BOARD Y, SEEN FROM THE TOP *\r\n"
                               "*\r\n"
                               "%FSLAX23Y23*%\r\n"
                               "%MOIN*%\r\n"
                               "%ADD10C,0.0079*%\r\n"
                               "G01*\r\n"
                               "G54D10*\r\n"
                               "X-00500Y01100D02*\r\n"
                               "X00500Y01100D01*\r\n"
                               "X00500Y00100D01*\r\n"
                               "X-00500Y00100D01*\r\n"
                               "X-00500Y01100D01*\r\n"
                               "M02*\r\n");
    EXPECT_FALSE(fs::exists(temp.Path() / "OUTPUT" / "BOARD.GBR"));
    // The report names the files it belongs to and the offset they were moved by.
    const std::string report = ReadBytes(temp.Path() / "OUTPUT" / "BOARD.TXT");
    for (const char* line : {"\r\n; Attached file       : BOARD_OUTLINE.GBR\r\n\r\n",
                             "\r\n; Board Offset X      :    -0.5000 inch   -12.700 mm.\r\n",
                             "\r\n; Board Offset Y      :     0.1000 inch     2.540 mm.\r\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << report;
    ExpectLoadsCleanly(file);
}

// The board's edge is the board layer's own: a set of that layer alone plots it, copper and
// silkscreen sets do not.
TEST_F(CGerberWriterSquare, OutlineOnlyInTheSetOfTheBoardLayer)
{
    const int32_t job = AddJob(gerberLayers24, "",
                               {{"TOP", {LAYER_TOP}},
                                {"OUTLINE", {}},
                                {"PASTE", {LAYER_PASTE_TOP}},
                                {"SILK", {LAYER_SILK_TOP, LAYER_DRILL}}});
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    for (const char* name : {"TOP", "PASTE", "SILK"}) {
        const std::string text =
            ReadBytes(temp.Path() / "OUTPUT" / ("BOARD_" + std::string(name) + ".GBR"));
        EXPECT_EQ(text.find("D01*"), std::string::npos) << name;
    }
    const fs::path outline = temp.Path() / "OUTPUT" / "BOARD_OUTLINE.GBR";
    const std::string text = ReadBytes(outline);
    EXPECT_NE(text.find("G54D10*\r\nX000000Y010000D02*\r\n"), std::string::npos);
    ExpectLoadsCleanly(outline);
}

TEST_F(CGerberWriterSquare, NamesAreMadeSafeAndNeverShareAFile)
{
    output = std::make_unique<CTestOutput>(*doc, temp.Path(), " my*board% ");
    const int32_t job = AddJob(
        gerberLayers24, "C:\\GERBER",
        {{"TOP*%/X", {LAYER_TOP}}, {"SAME", {LAYER_SILK_TOP}}, {"SAME", {LAYER_SILK_BOTTOM}}});
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    const fs::path folder = temp.Path() / "GERBER" / "my_board_";
    std::vector<std::string> names;
    for (const fs::path& path : writer.GetWrittenFiles())
        names.push_back(path.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"MY_BOARD__TOP___X.GBR", "MY_BOARD__SAME.GBR",
                                               "MY_BOARD__SAME_2.GBR", "MY_BOARD_.TXT"}));
    for (const fs::path& path : writer.GetWrittenFiles())
        EXPECT_EQ(path.parent_path(), folder);
    EXPECT_NE(ReadBytes(folder / "MY_BOARD__SAME_2.GBR").find("G04 LAYER  = SAME *"),
              std::string::npos);
    EXPECT_NE(ReadBytes(folder / "MY_BOARD__TOP___X.GBR").find("G04 LAYER  = TOP___X *"),
              std::string::npos);
}

// The drill layer shows no outline, and this board has no holes: the file plots nothing but
// still defines an aperture, without which readers take it for the older format.
TEST_F(CGerberWriterSquare, SetWithNothingToPlotStillReadsAsExtendedGerber)
{
    const int32_t job = AddJob(gerberLayers24, "", {{"DRILL", {LAYER_DRILL}}});
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    const fs::path file = temp.Path() / "OUTPUT" / "BOARD_DRILL.GBR";
    const std::string text = ReadBytes(file);
    EXPECT_NE(text.find("%ADD10C,0.0079*%\r\nG01*\r\nM02*\r\n"), std::string::npos);
    ExpectLoadsCleanly(file);
}

TEST_F(CGerberWriterSquare, NoSetSelectedIsReportedAndWritesNothing)
{
    const int32_t job = AddJob(gerberSingle24, "C:\\GERBER",
                               {{"OFF", {LAYER_TOP}, false}, {"OUTLINE OFF", {}, false}});
    CGerberWriter writer(*output);
    EXPECT_EQ(writer.Write(job), 1);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"No output selected in Design configuration"});
    EXPECT_TRUE(writer.GetWrittenFiles().empty());
    EXPECT_FALSE(fs::exists(temp.Path() / "GERBER"));
}

TEST_F(CGerberWriterSquare, UnwritableFolderIsReported)
{
    // A file stands where the output folder would go.
    {
        std::ofstream(temp.Path() / "OUTPUT") << "x";
    }
    const int32_t job = AddJob(gerberLayers24, "", {{"TOP", {LAYER_TOP}}});
    CGerberWriter writer(*output);
    EXPECT_EQ(writer.Write(job), 0);
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_TRUE(writer.GetWrittenFiles().empty());
}

// ---- The board with every kind of item
// -----------------------------------------------------------

class CGerberWriterBoard : public COutputTestBoard {
protected:
    CGerberWriterBoard() { LayEveryItem(); }
};

TEST_F(CGerberWriterBoard, EveryFileLoadsCleanlyAndDefinesExactlyWhatItUses)
{
    const int32_t job = AddJob(gerberLayers24, "C:\\GERBER",
                               {{"TOP", {LAYER_TOP}},
                                {"BOTTOM", {LAYER_BOTTOM}},
                                {"SILK TOP", {LAYER_SILK_TOP}},
                                {"SILK BOTTOM", {LAYER_SILK_BOTTOM}},
                                {"MASK TOP", {LAYER_MASK_TOP}},
                                {"DRILL", {LAYER_DRILL}}});
    doc->Design().GetOutputJobs().GetJob(job)->GetItem(2)->SetTextReference(true);
    doc->Design().GetOutputJobs().GetJob(job)->GetItem(3)->SetTextType(true);
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    ASSERT_EQ(writer.GetWrittenFiles().size(), 7u);
    for (const fs::path& file : writer.GetWrittenFiles()) {
        if (file.extension() != ".GBR")
            continue;
        const std::string text = ReadBytes(file);
        const DCodes codes = ReadDCodes(text);
        EXPECT_FALSE(codes.selected.empty()) << file;
        EXPECT_EQ(codes.defined, codes.selected) << file;
        EXPECT_EQ(codes.macros, codes.customs) << file;
        EXPECT_EQ(text.find("M02*"), text.size() - 6) << file;
        EXPECT_LT(text.find("G01*"), text.find("D01*")) << file;
        ExpectLoadsCleanly(file);
    }
    // The plane had no fill and was filled for the plot.
    EXPECT_GE(doc->Design().GetPlane(0).GetFillStrokes().GetSize(), 2);

    // Every pad shape has an aperture; no macro is empty.
    std::set<int32_t> types;
    for (const CGerberAperture& aperture : writer.GetApertures()) {
        types.insert(aperture.GetType());
        if (aperture.IsCustom()) {
            EXPECT_GT(aperture.GetMacroLines().size(), 2u) << aperture.GetDefinition();
        }
        EXPECT_GT(aperture.GetUseCount(), 0) << aperture.GetDefinition();
    }
    EXPECT_EQ(types, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// A single file is a batch of one complete image per set: each image is what the per-layer
// job writes for that set, and reads alone.
TEST_F(CGerberWriterBoard, SingleFileHoldsOneImagePerSet)
{
    const std::vector<SetPlan> sets = {{"TOP", {LAYER_TOP}},
                                       {"OFF", {LAYER_BOTTOM}, false},
                                       {"BOTTOM", {LAYER_BOTTOM}},
                                       {"SILK", {LAYER_SILK_TOP}}};
    const int32_t single = AddJob(gerberSingle24, "C:\\GERBER", sets);
    const int32_t layers = AddJob(gerberLayers24, "", sets);
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(single), 1);
    const std::string batch = ReadBytes(temp.Path() / "GERBER" / "board" / "BOARD.GBR");
    ASSERT_EQ(writer.Write(layers), 1);

    const std::vector<std::string> images = SplitImages(batch);
    ASSERT_EQ(images.size(), 3u);
    const char* names[] = {"TOP", "BOTTOM", "SILK"};
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(names[i]);
        std::string expected =
            ReadBytes(temp.Path() / "OUTPUT" / ("BOARD_" + std::string(names[i]) + ".GBR"));
        // The per-layer file names its own device.
        const std::string device = "GERBER RS-274X, Inch, 2.4, ";
        expected.replace(expected.find(device), device.size(), device + "Single File, ");
        EXPECT_EQ(images[i], expected);
        const fs::path alone = temp.Path() / ("image" + std::to_string(i) + ".gbr");
        std::ofstream(alone, std::ios::binary) << images[i];
        ExpectLoadsCleanly(alone);
    }
}

// Tracks of every pen of every net are plotted, whatever the pen count of net 0.
TEST_F(CGerberWriterBoard, TracksOfEveryPenOfEveryNet)
{
    ASSERT_LT(Net(0).GetPenCount(), Net(1).GetPenCount());
    const int32_t job = AddJob(gerberLayers24, "", {{"TOP", {LAYER_TOP}}});
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(job), 1);
    const std::string text = ReadBytes(temp.Path() / "OUTPUT" / "BOARD_TOP.GBR");
    // The ends of the runs drawn with net 1's pens 1, 2 and 4 on the top layer, on a board
    // three inches high.
    for (const char* end :
         {"X012000Y026000D01*", "X010000Y028000D01*", "X010000Y027000D01*", "X010000Y025000D01*"})
        EXPECT_NE(text.find(end), std::string::npos) << end;
    // 3023 wide: a radius of 1511 makes a 3022 circle.
    for (const char* width : {"C,0.0079*%", "C,0.0118*%", "C,0.0157*%", "C,0.0236*%"})
        EXPECT_NE(text.find(width), std::string::npos) << width;
}

// A rectangle turned a quarter is reported with the sizes its definition gives.
TEST_F(CGerberWriterBoard, ReportGivesTheSizesTheFileDefines)
{
    CGerberWriter writer(*output);
    const int32_t turned =
        writer.FindPadAperture(Stacks().FindByName("P4"), LAYER_TOP, false, 90000);
    EXPECT_EQ(writer.GetApertures()[size_t(turned)].GetDefinition(), "%ADD10R,0.0400X0.0800*%");
    EXPECT_NE(writer.ApertureReportText().find(
                  "\r\nD10   Rectangle   0.0400  0.0800        1.016   2.032         0\r\n"),
              std::string::npos)
        << writer.ApertureReportText();
}

// A pad lookup keys on shape, box, mirror and rotation; a round centred pad ignores rotation.
TEST_F(CGerberWriterBoard, PadAperturesAreSharedOnlyWhenAlike)
{
    CGerberWriter writer(*output);
    const int32_t round = Stacks().FindByName("P1");
    const int32_t rect = Stacks().FindByName("P4");
    const int32_t a = writer.FindPadAperture(round, LAYER_TOP, false, 0);
    EXPECT_EQ(writer.FindPadAperture(round, LAYER_TOP, false, 45000), a);
    const int32_t b = writer.FindPadAperture(rect, LAYER_TOP, false, 0);
    EXPECT_NE(writer.FindPadAperture(rect, LAYER_TOP, false, 90000), b);
    EXPECT_EQ(writer.FindPadAperture(rect, LAYER_TOP, false, 360000), b);
    // A pad symmetric about its y axis mirrors onto itself at any angle; an off-centre one not.
    EXPECT_EQ(writer.FindPadAperture(rect, LAYER_TOP, true, 0), b);
    EXPECT_EQ(writer.FindPadAperture(rect, LAYER_TOP, true, 30000),
              writer.FindPadAperture(rect, LAYER_TOP, false, 30000));
    const int32_t offCentre = Stacks().FindByName("PX");
    EXPECT_NE(writer.FindPadAperture(offCentre, LAYER_TOP, true, 0),
              writer.FindPadAperture(offCentre, LAYER_TOP, false, 0));
    EXPECT_EQ(writer.FindPadAperture(rect, LAYER_INNER_1, false, 0), -1);
    EXPECT_EQ(writer.GetApertures()[size_t(a)].GetDefinition(), "%ADD10C,0.0600*%");
    // No limit of 255 apertures.
    for (int32_t r = 1; r <= 300; ++r)
        writer.FindDrawAperture(r * 10);
    EXPECT_EQ(writer.FindDrawAperture(3000), a + 305);
    EXPECT_EQ(writer.GetApertures().back().GetDCode(), 315);
}
