#pragma once

#include <memory>
#include <string>

#include "framework/CPrintJob.h"

// The printers the desktop knows. Names are Windows-1252, as the output jobs store them.
class CPrinterService {
public:
    virtual ~CPrinterService();

    // Empty when there is no default printer.
    virtual std::string DefaultPrinterName() const = 0;
    virtual bool CanOpenPrinter(const std::string& name) const = 0;
    // Starts a job with its first page open; nullptr when the printer cannot be opened or the
    // file not written (and always where there are no printers).
    virtual std::unique_ptr<CPrintJob> StartJob(const CPrintSetup& setup);
};
