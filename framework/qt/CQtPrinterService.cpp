#include "framework/qt/CQtPrinterService.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include "framework/qt/CQtPrintJob.h"
#include "framework/qt/CQtPrinterSetup.h"
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
    if (!CQtPrinterSetup::CanPrint(setup))
        return nullptr;
    auto job = std::make_unique<CQtPrintJob>(CQtPrinterSetup::MakePrinter(setup));
    if (!job->Begin())
        return nullptr;
    return job;
}
