#include "framework/qt/CQtPrinterService.h"

#include <QByteArray>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include "framework/qt/CQtPrintJob.h"
#include "framework/qt/CQtText.h"

std::string CQtPrinterService::DefaultPrinterName() const
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return {};
    return CQtText::ToDesignText(printer.printerName());
}

bool CQtPrinterService::CanOpenPrinter(const std::string& name) const
{
    if (name.empty())
        return false;
    return !QPrinterInfo::printerInfo(CQtText::FromDesignText(name)).isNull();
}

std::unique_ptr<CPrintJob> CQtPrinterService::StartJob(const CPrintSetup& setup)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!setup.pdfPath.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(CQtText::FromPath(setup.pdfPath));
        printer->setResolution(pdfResolution);
    } else {
        const QPrinterInfo info =
            setup.printerName.empty()
                ? QPrinterInfo::defaultPrinter()
                : QPrinterInfo::printerInfo(CQtText::FromDesignText(setup.printerName));
        if (info.isNull())
            return nullptr;
        printer->setPrinterName(info.printerName());
    }
    printer->setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setDocName(CQtText::FromDesignText(setup.title));
    auto job = std::make_unique<CQtPrintJob>(std::move(printer));
    if (!job->Begin())
        return nullptr;
    return job;
}
