#include "tests/support/CFakePrinterService.h"

#include <algorithm>

bool CFakePrinterService::CanOpenPrinter(const std::string& name) const
{
    return std::find(printers.begin(), printers.end(), name) != printers.end();
}
