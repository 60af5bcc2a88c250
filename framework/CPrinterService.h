#pragma once

#include <string>

// The printers the desktop knows. Names are Windows-1252, as the output jobs store them.
class CPrinterService {
public:
    virtual ~CPrinterService();

    // Empty when there is no default printer.
    virtual std::string DefaultPrinterName() const = 0;
    virtual bool CanOpenPrinter(const std::string& name) const = 0;
};
