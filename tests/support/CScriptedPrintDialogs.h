#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "framework/CPrintDialogService.h"
#include "tests/support/CFakePrintJob.h"

// Answers the print dialogs from a script and records what each showed. An answer edits what
// the dialog shows and returns true for OK, false for Cancel; with no answer queued a dialog
// is cancelled. A preview paints every page of the printout on a fake job and keeps them.
class CScriptedPrintDialogs : public CPrintDialogService {
public:
    using PageSetupAnswer = std::function<bool(CPrintSetup&)>;
    using PrintAnswer = std::function<bool(CPrintSetup&, CPrintRange&)>;

    struct PrintShown {
        CPrintSetup setup;
        CPrintRange range;
    };

    void QueuePageSetup(PageSetupAnswer answer) { m_pageSetupAnswers.push_back(std::move(answer)); }
    void QueuePrint(PrintAnswer answer) { m_printAnswers.push_back(std::move(answer)); }

    std::vector<CPrintSetup> pageSetupsShown;
    std::vector<PrintShown> printsShown;
    std::deque<CPrintedPages> previewsShown;

    bool PageSetupDialog(CPrintSetup& setup) override;
    bool PrintDialog(CPrintSetup& setup, CPrintRange& range) override;
    void Preview(const CPrintSetup& setup, CPrintout& printout) override;

private:
    std::deque<PageSetupAnswer> m_pageSetupAnswers;
    std::deque<PrintAnswer> m_printAnswers;
};
