#pragma once

#include "framework/CPrinterService.h"

// The desktop's printers through QPrinterInfo.
class CQtPrinterService : public CPrinterService {
public:
    std::string DefaultPrinterName() const override;
    bool CanOpenPrinter(const std::string& name) const override;
};
