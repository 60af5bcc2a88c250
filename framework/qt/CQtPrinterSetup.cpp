#include "framework/qt/CQtPrinterSetup.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSizeF>

#include "framework/qt/CQtText.h"

namespace {

QPrinterInfo PrinterOf(const CPrintSetup& setup)
{
    if (setup.printerName.empty())
        return QPrinterInfo::defaultPrinter();
    return QPrinterInfo::printerInfo(CQtText::FromDesignText(setup.printerName));
}

} // namespace

std::unique_ptr<QPrinter> CQtPrinterSetup::MakePrinter(const CPrintSetup& setup)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const QPrinterInfo info = PrinterOf(setup);
    if (setup.pdfPath.empty() && !info.isNull()) {
        printer->setPrinterName(info.printerName());
    } else {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(CQtText::FromPath(setup.pdfPath));
        printer->setResolution(pdfResolution);
    }
    ApplyPage(setup, *printer);
    return printer;
}

bool CQtPrinterSetup::CanPrint(const CPrintSetup& setup)
{
    return !setup.pdfPath.empty() || !PrinterOf(setup).isNull();
}

void CQtPrinterSetup::ApplyPage(const CPrintSetup& setup, QPrinter& printer)
{
    if (setup.paperWidthMm > 0.0 && setup.paperHeightMm > 0.0)
        printer.setPageSize(
            QPageSize(QSizeF(setup.paperWidthMm, setup.paperHeightMm), QPageSize::Millimeter));
    // Margins are given in the page's orientation, so the orientation comes first.
    printer.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (setup.marginsMm) {
        const CPageMargins& m = *setup.marginsMm;
        printer.setPageMargins(QMarginsF(m.left, m.top, m.right, m.bottom),
                               QPageLayout::Millimeter);
    }
    printer.setCopyCount(setup.copies);
    printer.setDocName(CQtText::FromDesignText(setup.title));
}

CPrintSetup CQtPrinterSetup::Read(const QPrinter& printer, const CPrintSetup& setup)
{
    CPrintSetup read;
    read.title = setup.title;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        read.pdfPath = CQtText::ToPath(printer.outputFileName());
    else
        read.printerName = CQtText::ToDesignText(printer.printerName());
    const QPageLayout layout = printer.pageLayout();
    read.landscape = layout.orientation() == QPageLayout::Landscape;
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    read.paperWidthMm = paper.width();
    read.paperHeightMm = paper.height();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    read.marginsMm = CPageMargins{margins.left(), margins.top(), margins.right(), margins.bottom()};
    read.copies = printer.copyCount();
    return read;
}
