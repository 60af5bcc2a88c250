#include "framework/CPrintCommands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CDeviceContext.h"
#include "framework/CPrintJob.h"
#include "framework/CPrintout.h"
#include "tests/support/CFakeServices.h"

namespace {

// Pages that write their own number, and a record of what the commands asked.
class CNumberedPrintout : public CPrintout {
public:
    explicit CNumberedPrintout(int32_t pages) : m_pages(pages) {}

    bool Prepare(CPrintSetup& setup) override
    {
        ++prepared;
        setup.title = "Numbers";
        return m_pages > 0;
    }
    int32_t GetPageCount() const override { return m_pages; }
    bool PaintPage(CPrintJob& job, int32_t page) override
    {
        job.GetDC().TextOut(CPoint(0, 0), "page " + std::to_string(page));
        return page != failingPage;
    }
    void OnBeginPrinting() override { ++begun; }
    void OnEndPrinting() override { ++ended; }
    void ReportFailure() override { ++failures; }

    int32_t failingPage = 0;
    int32_t prepared = 0;
    int32_t begun = 0;
    int32_t ended = 0;
    int32_t failures = 0;

private:
    int32_t m_pages;
};

std::vector<std::string> PageTexts(const CPrintedPages& printed)
{
    std::vector<std::string> texts;
    for (const auto& page : printed.pages)
        texts.push_back(page.empty() ? "" : page.back());
    return texts;
}

class CPrintCommandsTest : public ::testing::Test {
protected:
    CPrintCommandsTest()
    {
        services.printers.printers = {"Office", "Lab"};
        services.printers.defaultPrinter = "Office";
    }

    CFakeServices services;
    CScriptedPrintDialogs& dialogs = services.printDialogs;
};

TEST_F(CPrintCommandsTest, CancelPrintsNothingAndKeepsTheChoice)
{
    CNumberedPrintout printout(3);
    dialogs.QueuePrint([](CPrintSetup& setup, CPrintRange&) {
        setup.printerName = "Lab";
        return false;
    });
    EXPECT_FALSE(CPrintCommands::Print(printout, true));
    ASSERT_EQ(dialogs.printsShown.size(), 1u);
    EXPECT_EQ(dialogs.printsShown[0].range, (CPrintRange{1, 3, 1, 3}));
    EXPECT_EQ(dialogs.printsShown[0].setup.title, "Numbers");
    EXPECT_TRUE(services.printers.printed.empty());
    EXPECT_EQ(printout.begun, 0);
    EXPECT_EQ(printout.failures, 0);
    EXPECT_EQ(dialogs.GetChosenSetup(), CPrintSetup());

    dialogs.QueuePageSetup([](CPrintSetup& setup) {
        setup.landscape = true;
        return false;
    });
    EXPECT_FALSE(CPrintCommands::PageSetup());
    EXPECT_EQ(dialogs.GetChosenSetup(), CPrintSetup());
}

// What the user chose in either dialog is where the next print starts; the pages, the number
// of copies and a PDF file are asked for each print anew.
TEST_F(CPrintCommandsTest, ChoicesCarryOverToLaterPrints)
{
    dialogs.QueuePageSetup([](CPrintSetup& setup) {
        setup.landscape = true;
        setup.paperWidthMm = 148.0;
        setup.paperHeightMm = 210.0;
        setup.marginsMm = CPageMargins{5.0, 6.0, 7.0, 8.0};
        return true;
    });
    ASSERT_TRUE(CPrintCommands::PageSetup());

    CNumberedPrintout printout(4);
    dialogs.QueuePrint([](CPrintSetup& setup, CPrintRange& range) {
        setup.printerName = "Lab";
        setup.copies = 2;
        range.from = 2;
        range.to = 3;
        return true;
    });
    ASSERT_TRUE(CPrintCommands::Print(printout, true));
    ASSERT_EQ(dialogs.printsShown.size(), 1u);
    EXPECT_TRUE(dialogs.printsShown[0].setup.landscape);
    EXPECT_EQ(dialogs.printsShown[0].setup.paperWidthMm, 148.0);
    ASSERT_EQ(services.printers.printed.size(), 1u);
    const CPrintedPages& first = services.printers.printed[0];
    EXPECT_EQ(first.setup.printerName, "Lab");
    EXPECT_EQ(first.setup.copies, 2);
    EXPECT_EQ(first.setup.title, "Numbers");
    EXPECT_EQ(PageTexts(first),
              (std::vector<std::string>{"TextOut 0 0 \"page 2\"", "TextOut 0 0 \"page 3\""}));
    EXPECT_TRUE(first.ended);
    EXPECT_EQ(printout.begun, 1);
    EXPECT_EQ(printout.ended, 1);

    // Print Direct asks nothing and prints every page where the last print went.
    ASSERT_TRUE(CPrintCommands::Print(printout, false));
    EXPECT_EQ(dialogs.printsShown.size(), 1u);
    ASSERT_EQ(services.printers.printed.size(), 2u);
    const CPrintedPages& second = services.printers.printed[1];
    EXPECT_EQ(second.setup.printerName, "Lab");
    EXPECT_EQ(second.setup.copies, 1);
    EXPECT_TRUE(second.setup.landscape);
    EXPECT_EQ(second.setup.marginsMm, (CPageMargins{5.0, 6.0, 7.0, 8.0}));
    EXPECT_EQ(second.pages.size(), 4u);

    // A PDF file chosen in the print dialog is for that print only.
    dialogs.QueuePrint([](CPrintSetup& setup, CPrintRange&) {
        setup.pdfPath = "/tmp/pages.pdf";
        return true;
    });
    EXPECT_FALSE(CPrintCommands::Print(printout, true));
    EXPECT_EQ(services.printers.refused.back().pdfPath, "/tmp/pages.pdf");
    EXPECT_EQ(dialogs.GetChosenSetup().pdfPath, "");
}

TEST_F(CPrintCommandsTest, FailuresAreReportedNotPrinted)
{
    // A printer that cannot be opened.
    CNumberedPrintout printout(2);
    services.printers.defaultPrinter = "Gone";
    EXPECT_FALSE(CPrintCommands::Print(printout, false));
    EXPECT_EQ(services.printers.refused.size(), 1u);
    EXPECT_EQ(printout.failures, 1);
    EXPECT_EQ(printout.ended, 1);

    // A page that cannot be painted ends the job there; the job still lets go of the printer.
    services.printers.defaultPrinter = "Office";
    printout.failingPage = 1;
    EXPECT_FALSE(CPrintCommands::Print(printout, false));
    ASSERT_EQ(services.printers.printed.size(), 1u);
    EXPECT_EQ(services.printers.printed[0].pages.size(), 1u);
    EXPECT_TRUE(services.printers.printed[0].ended);
    EXPECT_EQ(printout.failures, 2);

    // Nothing to print: the printout has said why, and no dialog comes up.
    CNumberedPrintout empty(0);
    EXPECT_FALSE(CPrintCommands::Print(empty, true));
    EXPECT_FALSE(CPrintCommands::Preview(empty));
    EXPECT_TRUE(dialogs.printsShown.empty());
    EXPECT_TRUE(dialogs.previewsShown.empty());
    EXPECT_EQ(empty.failures, 0);
}

TEST_F(CPrintCommandsTest, PreviewShowsEveryPageWithoutPrinting)
{
    dialogs.QueuePageSetup([](CPrintSetup& setup) {
        setup.landscape = true;
        return true;
    });
    ASSERT_TRUE(CPrintCommands::PageSetup());
    CNumberedPrintout printout(3);
    EXPECT_TRUE(CPrintCommands::Preview(printout));
    ASSERT_EQ(dialogs.previewsShown.size(), 1u);
    EXPECT_TRUE(dialogs.previewsShown[0].setup.landscape);
    EXPECT_EQ(dialogs.previewsShown[0].setup.title, "Numbers");
    EXPECT_EQ(PageTexts(dialogs.previewsShown[0]),
              (std::vector<std::string>{"TextOut 0 0 \"page 1\"", "TextOut 0 0 \"page 2\"",
                                        "TextOut 0 0 \"page 3\""}));
    EXPECT_TRUE(services.printers.printed.empty());
    EXPECT_EQ(printout.begun, 0);
}

} // namespace
