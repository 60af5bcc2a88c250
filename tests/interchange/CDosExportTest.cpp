#include "interchange/CDosExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CDocumentDosExport.h"
#include "interchange/CDosConfig.h"
#include "interchange/CNetlistLines.h"
#include "model/CNet.h"
#include "tests/interchange/DosTestBoard.h"
#include "tests/support/ArchiveBytes.h"

namespace {

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    CNetlistLines reader(text);
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(CDosTest, PlyStartsWithTheCornerMarksAndHoldsEachPadOnce)
{
    const int32_t r1 = Place("R1", "10K", "0805", 40000, 20000, 0, false);
    const int32_t gnd = doc->Design().GetNets().AddNet("GND");
    SetPadNet(r1, 0, gnd);
    const std::string ply = ExportSet();

    // Board of 1000 x 500 DOS units: L-shaped marks on DOS layer 15 (kind 0x78 + pen).
    const std::string expected =
        std::string("\x00\x00\x78\x00\xF6\x00\xF8\xFF\x00\x00"
                    "\x00\x00\x79\x00\xF8\xFF\xF8\xFF\x00\x00"
                    "\x00\x00\x79\x00\xF8\xFF\xF6\x00\x00\x00"
                    "\x00\x00\x78\x00\xF8\xFF\xFE\x00\x00\x00"
                    "\x00\x00\x79\x00\xF8\xFF\xFC\x01\x00\x00"
                    "\x00\x00\x79\x00\xF6\x00\xFC\x01\x00\x00"
                    "\x00\x00\x78\x00\xF2\x02\xFC\x01\x00\x00"
                    "\x00\x00\x79\x00\xF0\x03\xFC\x01\x00\x00"
                    "\x00\x00\x79\x00\xF0\x03\xFE\x00\x00\x00"
                    "\x00\x00\x78\x00\xF0\x03\xF6\x00\x00\x00"
                    "\x00\x00\x79\x00\xF0\x03\xF8\xFF\x00\x00"
                    "\x00\x00\x79\x00\xF2\x02\xF8\xFF\x00\x00"
                    // R1, object 1: through-hole row 0 with drill slot 1 at (195, 100) on net 1,
                    // then at (205, 100) on no net.
                    "\x01\x00\x81\x00\xC3\x00\x64\x00\x01\x00"
                    "\x01\x00\x81\x00\xCD\x00\x64\x00\x00\x00",
                    140);
    EXPECT_EQ(ReadFile(ply), expected);
}

TEST_F(CDosTest, PadRotationCodesReadBackAsTheBoardAngle)
{
    for (const int32_t angle : {0, 90000, 180000, 270000}) {
        const int32_t code = PlyRecord::RotationCode(angle);
        ASSERT_GE(code, 0);
        // Whatever the low bits of the kind word hold.
        for (const int32_t row : {0, 15, 16, 127})
            EXPECT_EQ(PlyRecord::Pad(0, 0, 0, row, 15, code, false, 1).GetPadAngle(), angle)
                << angle << " row " << row;
    }
    EXPECT_EQ(PlyRecord::RotationCode(45000), -1);
    // A pad record with one quarter turn in its kind word is turned the other way.
    PlyRecord record;
    record.kind = 12288 + 128;
    EXPECT_EQ(record.GetPadAngle(), 270000);
}

TEST_F(CDosTest, CnfHoldsTheTablesTheRecordsName)
{
    Place("R1", "10K", "0805", 40000, 20000, 0, false);
    const std::string ply = ExportSet();
    const std::string cnfPath = (folder / "demo" / "PCB" / "DEMO.CNF").string();
    const std::vector<std::string> lines = TextLines(ReadFile(cnfPath));
    ASSERT_EQ(lines.size(), 198u);
    EXPECT_EQ(lines[0], "4.85");
    EXPECT_EQ(lines[4], "Printed Ciruit Board");
    EXPECT_EQ(lines[5], "1000");
    EXPECT_EQ(lines[6], "500");
    EXPECT_EQ(lines[10], "demo.PLY");
    EXPECT_EQ(lines[19], "0.00");
    // The drill of 3023 units is 0.30 mm; the round pad of +-600 units 3 DOS units each way.
    EXPECT_EQ(lines[20], "0.30");
    EXPECT_EQ(lines[36], "       2       3       3       3       3       0       0       0");
    EXPECT_EQ(lines[37], "       0       0       0       0       0       0       0       0");
    // The shape cache's pen of 2015 units.
    EXPECT_EQ(lines[165], "      10");
    EXPECT_EQ(lines[172], "PN_DRC");
    EXPECT_EQ(lines[184], "16");
    EXPECT_EQ(lines[197], "0");

    CDosConfig config;
    std::string error;
    ASSERT_TRUE(config.ReadBeside(ply, error)) << error;
    EXPECT_EQ(config.drills[1], 3023);
    EXPECT_EQ(config.padRows[0], (CDosConfig::PadRow{2, 600, 600, 600, 600, 0, 0, 0}));
    EXPECT_EQ(config.pens[1], 2000);
    EXPECT_EQ(config.clearance, 3200);
}

TEST_F(CDosTest, CmpListsEachComponentInFixedColumns)
{
    Place("R1", "10K", "0805", 40000, 20000, 90000, false);
    ExportSet();
    // The box centre of R1 (pads +-1000 units about (40000, 20000), turned) is (200, 100).
    const std::string text = ReadFile(folder / "demo" / "PCB" / "DEMO.CMP");
    ASSERT_EQ(text.size(), 20u * 3 + 8 * 3 + 2);
    EXPECT_EQ(text.substr(0, 60), "10K                 R1                  0805                ");
    EXPECT_EQ(text.substr(60, 8), "200     ");
    EXPECT_EQ(text.substr(76), "1       \r\n");
}

// What the DOS format cannot hold is named and left out, never written wrapped.
TEST_F(CDosTest, ValuesBeyondTheFormatAreReportedAndLeftOut)
{
    Place("FAR", "X", "0805", 200 * 40000, 0, 0, false);
    Place("TILTED", "X", "0805", 40000, 20000, 45000, false);
    const int32_t net = doc->Design().GetNets().AddNet("N1");
    CNet& copper = *doc->Design().GetNets().GetNet(net);
    copper.SetPenTable({0, 2015});
    ASSERT_TRUE(copper.AppendVertex(1000, 1000, 16, 0));
    ASSERT_TRUE(copper.AppendVertex(9000, 1000, 16, 1));
    ASSERT_TRUE(copper.AppendVertex(9000, 9000, 1, 0));
    ASSERT_TRUE(copper.AppendVertex(19000, 9000, 1, 1));
    std::vector<std::string> problems;
    const std::string ply = ExportSet(&problems);
    ASSERT_EQ(problems.size(), 7u);
    EXPECT_EQ(problems[0],
              "Component FAR pad 1: position (7999000, 0) beyond the DOS coordinate range");
    EXPECT_EQ(problems[2], "Component TILTED pad 1: angle 45.000 is no multiple of 90 degrees");
    EXPECT_EQ(problems[4], "Net N1 track: layer 16 above DOS layer 15");
    EXPECT_EQ(problems[6], "Component FAR: centre (7999500, 0) beyond the DOS coordinate range, "
                           "left out of the component list");
    // The corner marks and the one track segment on layer 1.
    EXPECT_EQ(ReadFile(ply).size(), (12u + 2u) * 10u);
    // The component list's columns hold no centre the DOS program would read as another.
    const std::string cmp = ReadFile((folder / "demo" / "PCB" / "DEMO.CMP").string());
    EXPECT_EQ(cmp.find("FAR"), std::string::npos) << cmp;
    EXPECT_NE(cmp.find("TILTED"), std::string::npos) << cmp;

    services.fileDialogs.QueueFolder(folder.string());
    EXPECT_TRUE(CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                   doc->GetDesignFolder(), doc->GetDesignName())
                    .ExportFromUser());
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_EQ(services.messages.ShownTexts()[0].rfind("Error!\n7 values do not fit", 0), 0u);
}

TEST_F(CDosTest, ExportCommandReportsOkOrTheFileItCouldNotMake)
{
    services.fileDialogs.QueueFolder(folder.string());
    EXPECT_TRUE(CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                   doc->GetDesignFolder(), doc->GetDesignName())
                    .ExportFromUser());
    // The pen table holds a width the DOS unit cannot: the set is right, but not the design.
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"Ok.\n\nThe DOS set differs from the design:\n1 size is "
                                       "rounded down to the DOS unit of 0.020 mm (e.g. 0.200 mm "
                                       "became 0.198 mm)."});

    // A file where the design's folder should be.
    std::ofstream(folder / "blocked");
    services.fileDialogs.QueueFolder((folder / "blocked").string());
    EXPECT_FALSE(CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                    doc->GetDesignFolder(), doc->GetDesignName())
                     .ExportFromUser());
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_EQ(services.messages.ShownTexts()[1],
              "Error!\nThe file could not be written:\n" +
                  (folder / "blocked" / "demo" / "PCB").string() +
                  "\n\nNo file of this output was replaced: the files an earlier run wrote there "
                  "are unchanged.");
    EXPECT_FALSE(CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                    doc->GetDesignFolder(), doc->GetDesignName())
                     .ExportFromUser())
        << "cancelled";
    EXPECT_EQ(services.messages.ShownTexts().size(), 2u);
}
