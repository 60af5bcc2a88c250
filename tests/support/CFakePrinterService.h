#pragma once

#include <string>
#include <vector>

#include "framework/CPrinterService.h"

// A configurable set of printers. The default printer can be opened only when it is also in
// the list, so a test can make the default printer fail as well.
class CFakePrinterService : public CPrinterService {
public:
    std::vector<std::string> printers;
    std::string defaultPrinter;

    std::string DefaultPrinterName() const override { return defaultPrinter; }
    bool CanOpenPrinter(const std::string& name) const override;
};
