#include "framework/qt/CQtPrinterService.h"

#include <QPrinterInfo>
#include <QString>

#include "framework/CWindows1252.h"

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
    return !QPrinterInfo::printerInfo(QString::fromStdString(CWindows1252::ToUtf8(name))).isNull();
}
