#include "framework/qt/CQtPrintDialogService.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "framework/CPrintCommands.h"
#include "framework/CPrintout.h"
#include "framework/qt/CQtPrintJob.h"
#include "framework/qt/CQtPrinterSetup.h"

bool CQtPrintDialogService::PageSetupDialog(CPrintSetup& setup)
{
    const std::unique_ptr<QPrinter> printer = CQtPrinterSetup::MakePrinter(setup);
    QPageSetupDialog dialog(printer.get(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const std::string pdfPath = setup.pdfPath;
    setup = CQtPrinterSetup::Read(*printer, setup);
    // The dialog only lays out the page; a printer without a file stays one.
    setup.pdfPath = pdfPath;
    return true;
}

bool CQtPrintDialogService::PrintDialog(CPrintSetup& setup, CPrintRange& range)
{
    const std::unique_ptr<QPrinter> printer = CQtPrinterSetup::MakePrinter(setup);
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(range.first, range.last);
    printer->setFromTo(range.from, range.to);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setup = CQtPrinterSetup::Read(*printer, setup);
    if (dialog.printRange() == QAbstractPrintDialog::PageRange && printer->fromPage() > 0) {
        range.from = std::clamp(printer->fromPage(), range.first, range.last);
        range.to = std::clamp(printer->toPage(), range.from, range.last);
    } else {
        range.from = range.first;
        range.to = range.last;
    }
    return true;
}

void CQtPrintDialogService::Preview(const CPrintSetup& setup, CPrintout& printout)
{
    const std::unique_ptr<QPrinter> printer = CQtPrinterSetup::MakePrinter(setup);
    QPrintPreviewDialog dialog(printer.get(), QApplication::activeWindow());
    // The window asks again whenever its page layout changes, and once more on the printer
    // when the user prints from it.
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&printout](QPrinter* device) {
            CQtPrintJob job(*device);
            bool painted = job.Begin();
            if (painted)
                painted = CPrintCommands::PaintPages(printout, job, 1, printout.GetPageCount());
            if (!job.End() || !painted)
                printout.ReportFailure();
        });
    dialog.exec();
}
