#pragma once

#include "framework/CPrinterService.h"

// The desktop's printers through QPrinterInfo; print jobs on QPrinter.
class CQtPrinterService : public CPrinterService {
public:
    std::string DefaultPrinterName() const override;
    bool CanOpenPrinter(const std::string& name) const override;
    // PDF files are written at CQtPrinterSetup::pdfResolution.
    std::unique_ptr<CPrintJob> StartJob(const CPrintSetup& setup) override;
};
