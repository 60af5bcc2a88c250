#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <QApplication>

#include "document/CDesign.h"
#include "document/CPlacingInfo.h"
#include "document/CPlacingInfoPrintout.h"
#include "framework/CPrintCommands.h"
#include "framework/CPrintJob.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/qt/CQtPrinterService.h"
#include "model/CComponentArray.h"
#include "model/CShapeLib.h"
#include "tests/document/DocTestViews.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CTempFolder.h"
#include "tests/support/PdfPages.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The report with its time stamp replaced by "*".
std::string MaskedTimeStamp(std::string text)
{
    const std::string label = "TimeStamp: ";
    const size_t from = text.find(label);
    if (from == std::string::npos)
        return text;
    const size_t start = from + label.size();
    return text.replace(start, text.find('\r', start) - start, "*");
}

// Three components: a plain one, one whose reference is longer than its column and that sits
// turned on the bottom side, one at a fraction of a degree.
class CPlacingInfoTest : public QtApplicationFixture<CDocumentTest> {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        ASSERT_TRUE(CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin"));
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        const int32_t resistor = cache.AddShape("R0805");
        const int32_t capacitor = cache.AddShape("C0603");
        const int32_t chip = cache.AddShape("SO8");
        CComponentArray& components = doc->Design().GetComponents();
        components.AddComponent("R1", "10k", resistor, 0, 0, 0, false);
        components.AddComponent("C12345678901", "100nF", capacitor, 0, 0, 90000, true);
        components.AddComponent("U1", "LM358", chip, 0, 0, 45500, false);
        components.SetPosition(0, 25600, 51200);
        components.SetPosition(1, 256000, -12800);
        components.SetPosition(2, 0, 0);
        doc->Design().SetUnit(1);
    }
    void TearDown() override
    {
        CResourcePack::SetCurrent(CResourcePack());
        CDocumentTest::TearDown();
    }

    CTempFolder m_folder{"wevra-placing"};
};

TEST_F(CPlacingInfoTest, ReportMatchesTheListWrittenByHand)
{
    doc->SetDesignPath((m_folder / "demo board.PCB").string());
    ASSERT_TRUE(CPlacingInfo::Write(doc->Design(), doc->Session(), doc->GetDesignFolder(),
                                    doc->GetDesignName()));

    const fs::path report = m_folder / "DEMO BOARD PLACING INFO.TXT";
    ASSERT_EQ(services.launcher.openedTextFiles, std::vector<fs::path>{report});
    EXPECT_EQ(MaskedTimeStamp(ReadFile(report)),
              "Placing Info: demo board.PCB\r\n"
              "\r\n"
              "TimeStamp: *\r\n"
              "\r\n"
              "  Nr  Reference       Type      Shape         X-Pos.         Y-Pos.   Rotation"
              "   Mirror\r\n"
              "\r\n"
              "   1         R1        10k      R0805      2.540 mm.      5.080 mm.      0.000"
              "       NO\r\n"
              "   2 C123456789      100nF      C0603     25.400 mm.     -1.270 mm.     90.000"
              "      YES\r\n"
              "   3         U1      LM358        SO8      0.000 mm.      0.000 mm.     45.500"
              "       NO\r\n");
}

TEST_F(CPlacingInfoTest, SampleDesignReport)
{
    const fs::path sample = WEVRA_DEMO_DESIGN;
    fs::copy_file(sample, m_folder / "demo.PCB");
    CWevraDoc design;
    ASSERT_TRUE(design.OnOpenDocument((m_folder / "demo.PCB").string()));
    ASSERT_TRUE(CPlacingInfo::Write(design.Design(), design.Session(), design.GetDesignFolder(),
                                    design.GetDesignName()));
    EXPECT_EQ(MaskedTimeStamp(ReadFile(m_folder / "DEMO PLACING INFO.TXT")),
              "Placing Info: demo.PCB\r\n"
              "\r\n"
              "TimeStamp: *\r\n"
              "\r\n"
              "  Nr  Reference       Type      Shape         X-Pos.         Y-Pos.   Rotation"
              "   Mirror\r\n"
              "\r\n"
              "   1         U1      NE555       DIP8     30.480 mm.     30.480 mm.      0.000"
              "       NO\r\n"
              "   2         R1        10k      R0805     50.800 mm.     20.320 mm.      0.000"
              "       NO\r\n"
              "   3         R2        47k      R0805     50.800 mm.     30.480 mm.      0.000"
              "       NO\r\n"
              "   4         C1        10n      R0805     50.800 mm.     40.640 mm.      0.000"
              "       NO\r\n"
              "   5         C2       100n      R0805     17.780 mm.     40.640 mm.     90.000"
              "       NO\r\n"
              "   6         J1       HDR3       HDR3      7.620 mm.     12.700 mm.      0.000"
              "       NO\r\n");
}

TEST_F(CPlacingInfoTest, UnwritableReportIsToldAndNotOpened)
{
    doc->SetDesignPath((m_folder / "missing" / "board.PCB").string());
    EXPECT_FALSE(CPlacingInfo::Write(doc->Design(), doc->Session(), doc->GetDesignFolder(),
                                     doc->GetDesignName()));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("BOARD PLACING INFO.TXT"), std::string::npos);
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());
}

TEST(CPlacingInfoText, TimeStampIsEnglishWithPaddedFields)
{
    std::tm time{};
    time.tm_year = 124;
    time.tm_mon = 2;
    time.tm_mday = 4;
    time.tm_wday = 1;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 7;
    EXPECT_EQ(CPlacingInfo::FormatTimeStamp(time), "Monday, March 04, 2024  09:05:07");
}

TEST(CPlacingInfoText, PrintedPagesHoldSixtyEightComponents)
{
    const std::pair<int32_t, int32_t> cases[] = {{0, 1},  {1, 1},   {68, 1},
                                                 {69, 2}, {136, 2}, {137, 3}};
    for (const auto& [components, pages] : cases)
        EXPECT_EQ(CPlacingInfo::PageCount(components), pages) << components;
}

TEST_F(CPlacingInfoTest, PrintedListFillsItsPages)
{
    CComponentArray& components = doc->Design().GetComponents();
    while (components.GetCount() < 69)
        components.AddComponent("R" + std::to_string(components.GetCount() + 1), "1k", 0, 0, 0, 0,
                                false);
    CPlacingInfoPrintout printout(doc->Design(), doc->Session(), doc->GetDesignName(), "1.0");
    CPrintSetup setup;
    ASSERT_TRUE(printout.Prepare(setup));
    EXPECT_EQ(setup.title, "Placing Info: " + doc->GetDesignName());
    ASSERT_EQ(printout.GetPageCount(), 2);

    CQtPrinterService printers;
    setup.pdfPath = (m_folder / "list.pdf").string();
    std::unique_ptr<CPrintJob> job = printers.StartJob(setup);
    ASSERT_TRUE(job);
    EXPECT_TRUE(CPrintCommands::PaintPages(printout, *job, 1, printout.GetPageCount()));
    EXPECT_TRUE(job->End());
    EXPECT_EQ(CountPdfPages(setup.pdfPath), 2);
}

} // namespace
