#include "document/CJobPrintout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "framework/CPrintCommands.h"
#include "framework/CResourcePack.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "tests/document/DocTestViews.h"

namespace {

constexpr char noPrintingJob[] = "Please define a Output Job with a Windows Driver";

// A design with the default jobs: "Printing" (4 items, the default printer), then a
// Gerber and a drill job; the Gerber job is current.
class CJobPrintoutTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        ASSERT_TRUE(CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin"));
        services.printers.printers = {"Office", "Lab"};
        services.printers.defaultPrinter = "Office";
        Jobs().SetCurrent(1);
        ASSERT_EQ(Printing().GetDevice(), COutputDevice::Name(COutputDevice::windows));
        ASSERT_EQ(Printing().GetItemCount(), 4);
    }
    void TearDown() override
    {
        CDocumentTest::TearDown();
        CResourcePack::SetCurrent(CResourcePack());
    }

    COutputArray& Jobs() { return doc->Design().GetOutputJobs(); }
    COutput& Printing() { return *Jobs().GetJob(0); }
};

TEST_F(CJobPrintoutTest, ThePrintingJobBecomesCurrentOnlyWhenItPrints)
{
    CJobPrintout printout(doc->Design(), doc->Paint(), doc->Planes(), doc->Windows(),
                          doc->GetDesignName());
    EXPECT_FALSE(CPrintCommands::Print(printout, true));
    ASSERT_EQ(services.printDialogs.printsShown.size(), 1u);
    EXPECT_EQ(services.printDialogs.printsShown[0].range, (CPrintRange{1, 4, 1, 4}));
    EXPECT_TRUE(services.printers.printed.empty());

    EXPECT_TRUE(CPrintCommands::Preview(printout));
    ASSERT_EQ(services.printDialogs.previewsShown.size(), 1u);
    EXPECT_EQ(services.printDialogs.previewsShown[0].pages.size(), 4u);
    EXPECT_EQ(Jobs().GetCurrent(), 1);
    EXPECT_TRUE(services.messages.Shown().empty());

    EXPECT_TRUE(doc->Paint().PrintOutputJob(""));
    EXPECT_EQ(Jobs().GetCurrent(), 0);
    ASSERT_EQ(services.printers.printed.size(), 1u);
    const CPrintedPages& printed = services.printers.printed[0];
    EXPECT_EQ(printed.setup.title, doc->GetDesignName());
    EXPECT_EQ(printed.setup.printerName, "");
    EXPECT_FALSE(printed.setup.landscape);
    // Every page shows its layers as the preview did.
    EXPECT_EQ(printed.pages, services.printDialogs.previewsShown[0].pages);
}

TEST_F(CJobPrintoutTest, AJobWithAPrinterOfItsOwnPrintsThereInItsOrientation)
{
    Printing().SetOrientation(COutput::orientationLandscape);
    Printing().SetUseDefaultPrinter(false);
    Printing().SetPrinterName("Lab");
    ASSERT_TRUE(doc->Paint().PrintOutputJob(""));
    EXPECT_EQ(services.printers.printed.back().setup.printerName, "Lab");
    EXPECT_TRUE(services.printers.printed.back().setup.landscape);

    // A printer that has gone gives way to the one the user chose last.
    Printing().SetPrinterName("Gone");
    ASSERT_TRUE(doc->Paint().PrintOutputJob(""));
    EXPECT_EQ(services.printers.printed.back().setup.printerName, "");
}

TEST_F(CJobPrintoutTest, WithoutAPrintingJobOrPrinterTheUserIsTold)
{
    // A current printing job without items gives way to the first one with items.
    const int32_t empty = Jobs().AddJob(std::make_unique<COutput>(Printing()));
    ASSERT_EQ(Jobs().GetJob(empty)->GetItemCount(), 0);
    Jobs().SetCurrent(empty);
    ASSERT_TRUE(doc->Paint().PrintOutputJob(""));
    EXPECT_EQ(Jobs().GetCurrent(), 0);
    EXPECT_EQ(services.printers.printed.back().pages.size(), 4u);

    services.printers.defaultPrinter = "Gone";
    EXPECT_FALSE(doc->Paint().PrintOutputJob(""));
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"The output job could not be printed."});

    services.messages.ClearShown();
    Printing().SetDevice(COutputDevice::Name(COutputDevice::gerber24));
    CJobPrintout printout(doc->Design(), doc->Paint(), doc->Planes(), doc->Windows(),
                          doc->GetDesignName());
    EXPECT_FALSE(CPrintCommands::Print(printout, true));
    EXPECT_FALSE(CPrintCommands::Preview(printout));
    EXPECT_EQ(services.messages.ShownTexts(),
              (std::vector<std::string>{noPrintingJob, noPrintingJob}));
    EXPECT_TRUE(services.printDialogs.printsShown.empty());
    EXPECT_TRUE(services.printDialogs.previewsShown.empty());
}

} // namespace
