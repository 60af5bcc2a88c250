#include "framework/qt/CQtPrinterService.h"

#include <QByteArray>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include "framework/CWindows1252.h"
#include "framework/qt/CQtPrintJob.h"

namespace {

QString ToQString(const std::string& text)
{
    return QString::fromStdString(CWindows1252::ToUtf8(text));
}

} // namespace

std::string CQtPrinterService::DefaultPrinterName() const
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return {};
    return CWindows1252::FromUtf8(printer.printerName().toStdString());
}

bool CQtPrinterService::CanOpenPrinter(const std::string& name) const
{
    if (name.empty())
        return false;
    return !QPrinterInfo::printerInfo(ToQString(name)).isNull();
}

std::unique_ptr<CPrintJob> CQtPrinterService::StartJob(const CPrintSetup& setup)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!setup.pdfPath.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QFile::decodeName(QByteArray::fromStdString(setup.pdfPath)));
        printer->setResolution(pdfResolution);
    } else {
        const QPrinterInfo info = setup.printerName.empty()
                                      ? QPrinterInfo::defaultPrinter()
                                      : QPrinterInfo::printerInfo(ToQString(setup.printerName));
        if (info.isNull())
            return nullptr;
        printer->setPrinterName(info.printerName());
    }
    printer->setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setDocName(ToQString(setup.title));
    auto job = std::make_unique<CQtPrintJob>(std::move(printer));
    if (!job->Begin())
        return nullptr;
    return job;
}
