#pragma once

#include "framework/CPrintDialogService.h"

// Qt's page set-up dialog (QPageSetupDialog), print dialog (QPrintDialog) and print preview
// window (QPrintPreviewDialog), each modal over the active window.
class CQtPrintDialogService : public CPrintDialogService {
public:
    bool PageSetupDialog(CPrintSetup& setup) override;
    bool PrintDialog(CPrintSetup& setup, CPrintRange& range) override;
    void Preview(const CPrintSetup& setup, CPrintout& printout) override;
};
