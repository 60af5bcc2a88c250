#include "interchange/CLmcImport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CScriptedLayermap.h"
#include "tests/support/CTempFolder.h"

namespace {

// One record of a ".LMC" file: object, kind, x, y as little-endian words.
std::string Record(uint16_t object, uint16_t kind, int16_t x, int16_t y)
{
    std::string bytes;
    for (const uint16_t word : {object, kind, uint16_t(x), uint16_t(y)}) {
        bytes.push_back(char(word & 0xFF));
        bytes.push_back(char(word >> 8));
    }
    return bytes;
}

class CLmcImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parts = m_temp.Path() / "parts";
        std::filesystem::create_directories(parts);
        // Drill slot 1 of 0.80 mm, through-hole row 0 round of 40 DOS units each way (1.5875 mm
        // across), SMD row 16 a rectangle, pen 1 of 10 DOS units.
        std::string cnf;
        for (int32_t line = 1; line <= 19; ++line)
            cnf += "x\r\n";
        cnf += "0.00\r\n0.80\r\n";
        for (int32_t line = 22; line <= 36; ++line)
            cnf += "0.00\r\n";
        for (int32_t row = 0; row < 128; ++row) {
            if (row == 0)
                cnf += "       2      40      40      40      40       0       0       0\r\n";
            else if (row == 16)
                cnf += "       1      10      20      10      20       0       0       0\r\n";
            else
                cnf += "       0       0       0       0       0       0       0       0\r\n";
        }
        cnf += "\r\n      10\r\n";
        config = (m_temp.Path() / "DOS_700.CNF").string();
        std::ofstream(config, std::ios::binary) << cnf;
        ASSERT_FALSE(libraries.Load(m_temp.Path() / "LIBS.SHP"));
    }

    void WriteLmc(const std::string& name, const std::string& bytes)
    {
        std::ofstream(parts / name, std::ios::binary) << bytes;
    }

    CFakeServices services;
    CScriptedLayermap layermap;
    CShapeLibArray libraries;
    std::filesystem::path parts;
    std::string config;

private:
    CTempFolder m_temp{"wevra-lmc"};
};

} // namespace

TEST_F(CLmcImportTest, FilesBecomeOneLibraryNamedAfterTheirFolderInNameOrder)
{
    // B: a through-hole pad and an outline on DOS layer 8 (top silkscreen) drawn with pen 1;
    // A: an SMD pad turned a quarter and a line on DOS layer 0, which no board layer takes.
    WriteLmc("b.lmc",
             Record(0, 0x81, 0, 0) + Record(0, 8 * 8, -50, -50) + Record(0, 8 * 8 + 1, 50, -50));
    WriteLmc("A.LMC",
             Record(0, 12288 + 256 + 16, 10, 0) + Record(0, 0, 0, 0) + Record(0, 1, 10, 10));
    services.fileDialogs.QueueFiles({(parts / "b.lmc").string(), (parts / "A.LMC").string()});
    CLmcImport import;
    import.Run(libraries, config, "/nowhere");
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});

    ASSERT_EQ(libraries.GetCount(), 1);
    const CShapeLib& library = *libraries.GetLib(0);
    EXPECT_EQ(library.GetName(), "PARTS");
    ASSERT_EQ(library.GetCount(), 2);
    EXPECT_EQ(library.GetShapeName(0), "A");
    EXPECT_EQ(library.GetShapeName(1), "B");
    const CShape& a = *library.GetShape(0);
    ASSERT_EQ(a.GetPadCount(), 1);
    EXPECT_EQ(a.GetPadRotation(0), 270000);
    EXPECT_EQ(a.GetOutlineCount(), 0);
    const CShape& b = *library.GetShape(1);
    ASSERT_EQ(b.GetPadCount(), 1);
    ASSERT_EQ(b.GetOutlineCount(), 2);
    EXPECT_EQ(b.GetOutlineLayer(0), LAYER_SILK_TOP);
    EXPECT_EQ(b.GetOutlinePoint(1), CPoint(10000, -10000));
    EXPECT_EQ(library.GetPenWidth(b.GetOutlinePen(1)), 2015) << "the width of DOS layer 8";

    const CPadStack& round = *library.GetPadStacks().GetPadStack(b.GetPadStackIndex(0));
    EXPECT_EQ(round.GetName(), "CIR_D1.587_DRL0.800");
    EXPECT_EQ(round.GetDrill(), 8062);
    EXPECT_TRUE(std::filesystem::exists(libraries.GetPath()));
}

TEST_F(CLmcImportTest, ExistingLibraryIsReplacedOnlyAfterTheUserAgrees)
{
    WriteLmc("R.LMC", Record(0, 0x81, 0, 0));
    auto old = std::make_unique<CShapeLib>("PARTS");
    old->AddShape("OLD");
    libraries.AddLib(std::move(old));

    services.fileDialogs.QueueFiles({(parts / "R.LMC").string()});
    services.messages.QueueAnswer(IDNO);
    CLmcImport().Run(libraries, config, "");
    ASSERT_EQ(libraries.GetCount(), 1);
    EXPECT_EQ(libraries.GetLib(0)->GetShapeName(0), "OLD");

    services.fileDialogs.QueueFiles({(parts / "R.LMC").string()});
    services.messages.QueueAnswer(IDYES);
    CLmcImport().Run(libraries, config, "");
    ASSERT_EQ(libraries.GetCount(), 1);
    EXPECT_EQ(libraries.GetLib(0)->GetShapeName(0), "R");
}

TEST_F(CLmcImportTest, UnreadableAndDamagedFilesAreNamedAndLeftOut)
{
    WriteLmc("GOOD.LMC", Record(0, 0x81, 0, 0));
    WriteLmc("SHORT.LMC", Record(0, 0x81, 0, 0).substr(0, 5));
    services.fileDialogs.QueueFiles({(parts / "GOOD.LMC").string(),
                                     (parts / "MISSING.LMC").string(),
                                     (parts / "SHORT.LMC").string()});
    CLmcImport().Run(libraries, config, "");
    ASSERT_EQ(libraries.GetCount(), 1);
    ASSERT_EQ(libraries.GetLib(0)->GetCount(), 1);
    EXPECT_EQ(libraries.GetLib(0)->GetShapeName(0), "GOOD");
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_EQ(services.messages.ShownTexts()[0],
              "The file could not be opened:\n" + (parts / "MISSING.LMC").string());
    EXPECT_EQ(services.messages.ShownTexts()[1], "Unexpected file contents in " +
                                                     (parts / "SHORT.LMC").string() +
                                                     "; the footprint has not been read.");

    // Without its configuration file the footprints come in all the same, after a message.
    services.fileDialogs.QueueFiles({(parts / "GOOD.LMC").string()});
    services.messages.QueueAnswer(IDOK);
    services.messages.QueueAnswer(IDYES);
    CLmcImport().Run(libraries, (parts / "NONE.CNF").string(), "");
    ASSERT_EQ(services.messages.ShownTexts().size(), 4u);
    EXPECT_EQ(services.messages.ShownTexts()[2], (parts / "NONE.CNF").string() + " not found");
    EXPECT_EQ(libraries.GetLib(0)->GetCount(), 1);
}

// The layer map the user sets in the layer-map dialog places the outlines; Cancel there imports
// nothing.
TEST_F(CLmcImportTest, OutlinesGoToTheLayersTheUserAssigns)
{
    WriteLmc("B.LMC",
             Record(0, 0x81, 0, 0) + Record(0, 8 * 8, 0, 0) + Record(0, 8 * 8 + 1, 50, -50));
    layermap.assign = {{8, LAYER_ASSEMBLY_TOP}};
    services.fileDialogs.QueueFiles({(parts / "B.LMC").string()});
    CLmcImport().Run(libraries, config, "");
    EXPECT_TRUE(layermap.shownBrowse);
    EXPECT_EQ(layermap.shownPath, config);
    ASSERT_EQ(libraries.GetCount(), 1);
    const CShape& b = *libraries.GetLib(0)->GetShape(0);
    ASSERT_EQ(b.GetOutlineCount(), 2);
    EXPECT_EQ(b.GetOutlineLayer(0), LAYER_ASSEMBLY_TOP);
    EXPECT_EQ(b.GetOutlineLayer(1), LAYER_ASSEMBLY_TOP);

    layermap.result = CDialogService::resultCancel;
    CLmcImport().Run(libraries, config, "");
    EXPECT_EQ(layermap.shownCount, 2);
    EXPECT_EQ(libraries.GetLib(0)->GetShape(0)->GetOutlineLayer(0), LAYER_ASSEMBLY_TOP);
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
}
