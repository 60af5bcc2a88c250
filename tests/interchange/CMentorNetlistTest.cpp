#include "interchange/CMentorNetlist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/CDocumentNetlist.h"
#include "tests/interchange/NetlistTestBoard.h"
#include "tests/interchange/OutputTestSupport.h"

namespace {

// A board made by importing a Calay netlist: R1 (10K, 0805), R2 (4k7, 0805), U1 (LM358, DIP4) and
// Q1 (BC847, SOT3); GND has six pins, VCC five.
class CMentorNetlistTest : public CNetlistTest {
protected:
    void SetUp() override
    {
        CNetlistTest::SetUp();
        Write("in/demo.cmp", "10K                 R1                  0805\r\n"
                             "4k7                 R2                  0805\r\n"
                             "LM358               U1                  DIP4\r\n"
                             "BC847               Q1                  SOT3\r\n");
        const std::filesystem::path net =
            Write("in/demo.net", "/GND R1(2) R2(2) U1(4) U1(3) Q1(1) U1(2)\r\n"
                                 "/VCC R1(1) R2(1) U1(1) Q1(2) Q1(3)\r\n"
                                 "/EMPTY\r\n");
        CNetlistImport import;
        ASSERT_TRUE(import.Run(doc->Link(), net));
        ASSERT_EQ(doc->Design().GetComponents().GetCount(), 4);
    }
};

} // namespace

TEST_F(CMentorNetlistTest, WritesPartsAndNetsInFixedColumnsAndFivePinLines)
{
    // A reference longer than its column pushes the rest of its line right.
    CComponentArray& components = doc->Design().GetComponents();
    components.SetName(components.FindByReference("U1"), 0, "U_WITH_A_LONG_NAME_22");
    const std::filesystem::path chosen = folder / "out.d" / "board.net";
    std::filesystem::create_directories(chosen.parent_path());
    std::string failed;
    ASSERT_TRUE(CMentorNetlist::Write(doc->Design().GetComponents(), doc->Design().GetNets(),
                                      chosen.string(), failed));

    EXPECT_EQ(ReadFile(folder / "out.d" / "board.CMP"),
              "# Wevra Formatted Netlist for MENTOR Board Station V6\r\n"
              "# Reference         .... Value Field         Module Field\r\n"
              "Q1                  PART BC847               SOT3                \r\n"
              "R1                  PART 10K                 0805                \r\n"
              "R2                  PART 4k7                 0805                \r\n"
              "U_WITH_A_LONG_NAME_22PART LM358               DIP4                \r\n");
    EXPECT_EQ(ReadFile(folder / "out.d" / "board.NET"),
              "NET 'GND' Q1-1 R1-2 R2-2 U_WITH_A_LONG_NAME_22-2 U_WITH_A_LONG_NAME_22-3\r\n"
              "NET 'GND' U_WITH_A_LONG_NAME_22-4\r\n"
              "NET 'VCC' Q1-2 Q1-3 R1-1 R2-1 U_WITH_A_LONG_NAME_22-1\r\n");
}

TEST_F(CMentorNetlistTest, ReimportedNetlistGivesEveryPadTheSameNet)
{
    std::string failed;
    const std::string chosen = (folder / "out" / "board.NET").string();
    std::filesystem::create_directories(folder / "out");
    ASSERT_TRUE(CMentorNetlist::Write(doc->Design().GetComponents(), doc->Design().GetNets(),
                                      chosen, failed));

    CWevraDoc again;
    again.SetViews(&views);
    again.Design().GetEditableShapeCache() = doc->Design().GetEditableShapeCache();
    CNetlistImport import;
    ASSERT_TRUE(import.Run(again.Link(), chosen));
    EXPECT_EQ(NetlistFormatName(import.GetFormat()), std::string("Mentor"));
    const CComponentArray& before = doc->Design().GetComponents();
    const CComponentArray& after = again.Design().GetComponents();
    ASSERT_EQ(after.GetCount(), before.GetCount());
    for (int32_t i = 0; i < before.GetCount(); ++i) {
        const int32_t j = after.FindByReference(before.GetReference(i));
        ASSERT_GE(j, 0) << before.GetReference(i);
        EXPECT_EQ(after.GetType(j), before.GetType(i));
        EXPECT_EQ(after.GetShapeName(j), before.GetShapeName(i));
        const std::vector<uint16_t>& nets = before.GetComponent(i)->GetPadNets();
        const std::vector<uint16_t>& netsAfter = after.GetComponent(j)->GetPadNets();
        ASSERT_EQ(netsAfter.size(), nets.size());
        for (size_t k = 0; k < nets.size(); ++k)
            EXPECT_EQ(again.Design().GetNets().GetNetName(netsAfter[k]),
                      doc->Design().GetNets().GetNetName(nets[k]))
                << before.GetReference(i) << " pad " << k + 1;
    }
}

TEST_F(CMentorNetlistTest, FileNamesReplaceOnlyTheExtensionOfTheFileName)
{
    EXPECT_EQ(CMentorNetlist::PartListPath("/my.designs/board.net"), "/my.designs/board.CMP");
    EXPECT_EQ(CMentorNetlist::NetListPath("/my.designs/board"), "/my.designs/board.NET");

    // Saved over an earlier pair spelt in lower case, which the load would find: that pair is
    // replaced, and no second pair is put beside it.
    for (const char* name : {"nets.net", "nets.cmp"})
        std::ofstream(folder / name) << "earlier";
    services.fileDialogs.QueueFile((folder / "nets.net").string());
    EXPECT_TRUE(CDocumentNetlist(*doc).SaveFromUser());
    EXPECT_FALSE(std::filesystem::exists(folder / "nets.NET"));
    EXPECT_FALSE(std::filesystem::exists(folder / "nets.CMP"));
    EXPECT_EQ(ReadBytes(folder / "nets.net"),
              CMentorNetlist::NetListText(doc->Design().GetComponents(), doc->Design().GetNets()));
    EXPECT_EQ(ReadBytes(folder / "nets.cmp"),
              CMentorNetlist::PartListText(doc->Design().GetComponents()));
}

TEST_F(CMentorNetlistTest, SaveCommandNamesAFileThatCannotBeWritten)
{
    services.fileDialogs.QueueFile((folder / "missing" / "board.net").string());
    EXPECT_FALSE(CDocumentNetlist(*doc).SaveFromUser());
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    const std::string told = services.messages.ShownTexts()[0];
    EXPECT_EQ(told.rfind("The file could not be written:\n" +
                             (folder / "missing" / "board.CMP").string() + " (",
                         0),
              0u)
        << told;
    EXPECT_NE(told.find("No file of this output was replaced"), std::string::npos) << told;

    EXPECT_FALSE(CDocumentNetlist(*doc).SaveFromUser()) << "cancelled";
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
}
