#include "framework/qt/CQtPrinterSetup.h"

#include <gtest/gtest.h>

#include <memory>

#include <QPrinter>

#include "tests/framework/qt/QtApplicationTest.h"

namespace {

using CQtPrinterSetupTest = QtApplicationTest;

// Margins are given in the page's orientation: set after a landscape turn they stay where the
// user put them, and every choice of the dialogs comes back as it went in.
TEST_F(CQtPrinterSetupTest, AChosenPageComesBackAsItWasSet)
{
    CPrintSetup setup;
    setup.pdfPath = "/tmp/wevra-setup.pdf";
    setup.landscape = true;
    setup.paperWidthMm = 148.0;
    setup.paperHeightMm = 210.0;
    setup.marginsMm = CPageMargins{5.0, 10.0, 15.0, 20.0};
    setup.copies = 3;
    setup.title = "Board";

    const std::unique_ptr<QPrinter> printer = CQtPrinterSetup::MakePrinter(setup);
    EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer->resolution(), CQtPrinterSetup::pdfResolution);
    EXPECT_EQ(printer->pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(printer->docName(), QStringLiteral("Board"));

    const CPrintSetup read = CQtPrinterSetup::Read(*printer, setup);
    EXPECT_EQ(read.pdfPath, setup.pdfPath);
    EXPECT_TRUE(read.landscape);
    EXPECT_NEAR(read.paperWidthMm, 148.0, 0.01);
    EXPECT_NEAR(read.paperHeightMm, 210.0, 0.01);
    ASSERT_TRUE(read.marginsMm);
    EXPECT_NEAR(read.marginsMm->left, 5.0, 0.01);
    EXPECT_NEAR(read.marginsMm->top, 10.0, 0.01);
    EXPECT_NEAR(read.marginsMm->right, 15.0, 0.01);
    EXPECT_NEAR(read.marginsMm->bottom, 20.0, 0.01);
    EXPECT_EQ(read.copies, 3);
    EXPECT_EQ(read.title, "Board");
}

TEST_F(CQtPrinterSetupTest, OnlyAFileOrAKnownPrinterCanPrint)
{
    CPrintSetup setup;
    setup.printerName = "No Such Printer Anywhere";
    EXPECT_FALSE(CQtPrinterSetup::CanPrint(setup));
    setup.pdfPath = "/tmp/wevra-setup.pdf";
    EXPECT_TRUE(CQtPrinterSetup::CanPrint(setup));
}

} // namespace
