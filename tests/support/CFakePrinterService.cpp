#include "tests/support/CFakePrinterService.h"

#include <algorithm>

bool CFakePrinterService::CanOpenPrinter(const std::string& name) const
{
    return std::find(printers.begin(), printers.end(), name) != printers.end();
}

std::unique_ptr<CPrintJob> CFakePrinterService::StartJob(const CPrintSetup& setup)
{
    const std::string& printer = setup.printerName.empty() ? defaultPrinter : setup.printerName;
    if (!setup.pdfPath.empty() || !CanOpenPrinter(printer)) {
        refused.push_back(setup);
        return nullptr;
    }
    printed.push_back(CPrintedPages{setup, {}, false});
    return std::make_unique<CFakePrintJob>(printed.back());
}
