#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/CPrinterService.h"
#include "tests/support/CFakePrintJob.h"

// A configurable set of printers. The default printer can be opened only when it is also in
// the list, so a test can make the default printer fail as well. Jobs start on a printer of
// the list and record what they print; jobs for a PDF file are refused.
class CFakePrinterService : public CPrinterService {
public:
    std::vector<std::string> printers;
    std::string defaultPrinter;
    // Every job started, in order.
    std::deque<CPrintedPages> printed;
    // The setups of the jobs refused.
    std::vector<CPrintSetup> refused;

    std::string DefaultPrinterName() const override { return defaultPrinter; }
    bool CanOpenPrinter(const std::string& name) const override;
    std::unique_ptr<CPrintJob> StartJob(const CPrintSetup& setup) override;
};
