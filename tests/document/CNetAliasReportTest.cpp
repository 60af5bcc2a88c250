#include "document/CNetAliasReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CResourcePack.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/TwoPadShape.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr char stamp[] = "Monday, March 04, 2024  09:05:07";

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Two components of a two-pad shape: R1 with its pads on VCC and GND, a long-named one with
// one pad on GND and the other on net 0 ("Zero").
class CNetAliasReportTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        ASSERT_TRUE(CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin"));
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        const int32_t shape = AddTwoPadShape(cache);
        CNetArray& nets = doc->Design().GetNets();
        nets.AddNet("VCC");
        nets.AddNet("GND");
        CComponentArray& components = doc->Design().GetComponents();
        components.AddComponent("R1", "10k", shape, 0, 0, 0, false);
        components.AddComponent("CONNECTOR_WITH_A_LONG_NAME", "X", shape, 0, 0, 0, false);
        for (int32_t c = 0; c < 2; ++c)
            components.GetComponent(c)->ResizePadNets(2);
        components.GetComponent(0)->SetPadNet(0, 1, 3);
        components.GetComponent(0)->SetPadNet(1, 2, 3);
        components.GetComponent(1)->SetPadNet(0, 2, 3);
        doc->SetDesignPath((folder / "Mixed Case" / "board.PCB").string());
        fs::create_directories(folder / "Mixed Case");
    }
    void TearDown() override
    {
        CResourcePack::SetCurrent(CResourcePack());
        CDocumentTest::TearDown();
    }

    CTempFolder folder{"wevra-net-aliases"};
};

TEST_F(CNetAliasReportTest, EveryPadWithItsNetAsWrittenByHand)
{
    EXPECT_EQ(
        CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).AllPadsText(stamp),
        "Netaliases:\r\n"
        "\r\n"
        "TimeStamp: Monday, March 04, 2024  09:05:07\r\n"
        "\r\n"
        "Nr. \tReference           \tPin \tNetname             \r\n"
        " \r\n"
        "1   \tR1                  \t1   \tVCC                 \r\n"
        "1   \tR1                  \t2   \tGND                 \r\n"
        " \r\n"
        "2   \tCONNECTOR_WITH_A_LONG_NAME\t1   \tGND                 \r\n"
        "2   \tCONNECTOR_WITH_A_LONG_NAME\t2   \tZero                \r\n");
}

TEST_F(CNetAliasReportTest, ComparedWithTheNetlistOnlyTheDifferencesAreListed)
{
    // The netlist puts R1's pads the other way round and leaves the connector's second pad out.
    const fs::path netlist = folder / "Mixed Case" / "board.NET";
    std::ofstream(netlist) << "/VCC R1(2)\n/GND R1(1) CONNECTOR_WITH_A_LONG_NAME(1)\n";
    doc->Design().SetNetlistPath(netlist.string());
    EXPECT_EQ(
        CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).ErrorsText(stamp),
        "Netaliases Errors:\r\n"
        "\r\n"
        "TimeStamp: Monday, March 04, 2024  09:05:07\r\n"
        "\r\n"
        "Nr. \tReference           \tPin \tPCB Netname         \tSCH Netname         \r\n"
        "1   \tR1                  \t1   \tVCC                 \tGND                 \r\n"
        "2   \tR1                  \t2   \tGND                 \tVCC                 \r\n"
        "3   \tCONNECTOR_WITH_A_LONG_NAME\t2   \tZero                \t0                   \r\n");

    // A netlist that cannot be read leaves the heading alone.
    doc->Design().SetNetlistPath((folder / "none.NET").string());
    const std::string heading =
        CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).ErrorsText(stamp);
    EXPECT_EQ(heading.substr(heading.find("Nr.")),
              "Nr. \tReference           \tPin \tPCB Netname         \tSCH Netname         \r\n");
}

TEST_F(CNetAliasReportTest, WrittenBesideTheDesignAndOpenedOnlyWhenWritten)
{
    services.messages.QueueAnswer(IDNO);
    ASSERT_TRUE(CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).Write());
    const fs::path report = folder / "Mixed Case" / "NetAliases.TXT";
    EXPECT_EQ(ReadText(report).substr(0, 13), "Netaliases:\r\n");
    EXPECT_EQ(services.launcher.openedTextFiles, std::vector<fs::path>{report});

    // A desktop without a text viewer: the report is written all the same, and the user is
    // told which file it is; the design stays as it was.
    doc->SetModifiedFlag(false);
    services.launcher.result = false;
    services.messages.ClearShown();
    services.messages.QueueAnswer(IDNO);
    fs::remove(report);
    EXPECT_TRUE(CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).Write());
    EXPECT_EQ(ReadText(report).substr(0, 13), "Netaliases:\r\n");
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_NE(services.messages.ShownTexts()[1].find(report.string()), std::string::npos)
        << services.messages.ShownTexts()[1];
    EXPECT_FALSE(doc->IsModified());
    services.launcher.result = true;
    services.launcher.openedTextFiles.clear();

    // A folder that is gone: the user is told, and no editor opens an old report.
    doc->SetDesignPath((folder / "gone" / "board.PCB").string());
    services.messages.ClearShown();
    services.messages.QueueAnswer(IDNO);
    EXPECT_FALSE(CNetAliasReport(doc->Design(), doc->Link(), doc->GetDesignFolder()).Write());
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());
}

// A report long enough shows its progress to the end; Cancel, among the pads, among the
// netlist's nets or at the very end, writes nothing, keeps the report that was there and opens
// nothing.
TEST_F(CNetAliasReportTest, ALongReportShowsItsProgressAndCancelKeepsTheOldReport)
{
    const fs::path netlist = folder / "Mixed Case" / "board.NET";
    std::ofstream(netlist) << "/VCC R1(2)\n/GND R1(1) CONNECTOR_WITH_A_LONG_NAME(1)\n";
    doc->Design().SetNetlistPath(netlist.string());
    const fs::path report = folder / "Mixed Case" / "NetAliases.TXT";
    std::ofstream(report) << "old";
    for (const int answer : {IDNO, IDYES}) {
        for (const int32_t steps : {1, 60}) {
            SCOPED_TRACE(std::to_string(answer) + " " + std::to_string(steps));
            services.progress.cancelAfterSteps = steps;
            services.messages.QueueAnswer(answer);
            CNetAliasReport cancelled(doc->Design(), doc->Link(), doc->GetDesignFolder());
            cancelled.SetProgressDelay(std::chrono::milliseconds(0));
            EXPECT_FALSE(cancelled.Write());
            EXPECT_TRUE(cancelled.WasCancelled());
            EXPECT_EQ(ReadText(report), "old");
            EXPECT_TRUE(services.launcher.openedTextFiles.empty());
        }
    }
    services.progress.cancelAfterSteps = -1;
    services.messages.QueueAnswer(IDYES);
    CNetAliasReport written(doc->Design(), doc->Link(), doc->GetDesignFolder());
    written.SetProgressDelay(std::chrono::milliseconds(0));
    EXPECT_TRUE(written.Write());
    EXPECT_FALSE(written.WasCancelled());
    ASSERT_FALSE(services.progress.Windows().empty());
    const CScriptedProgressService::Window& window = services.progress.Windows().back();
    EXPECT_EQ(window.title, "Export Components Netnames");
    EXPECT_EQ(window.position, window.upper);
    EXPECT_FALSE(window.open);
    EXPECT_EQ(ReadText(report).substr(0, 20), "Netaliases Errors:\r\n");
    EXPECT_EQ(services.launcher.openedTextFiles, std::vector<fs::path>{report});
}

} // namespace
