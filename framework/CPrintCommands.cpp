#include "framework/CPrintCommands.h"

#include <algorithm>
#include <memory>

#include "framework/CPrintDialogService.h"
#include "framework/CPrintJob.h"
#include "framework/CPrinterService.h"
#include "framework/CPrintout.h"
#include "framework/CServices.h"

bool CPrintCommands::PageSetup()
{
    CPrintDialogService& dialogs = CServices::PrintDialogs();
    CPrintSetup setup = dialogs.GetChosenSetup();
    if (!dialogs.PageSetupDialog(setup))
        return false;
    dialogs.KeepChosenSetup(setup);
    return true;
}

bool CPrintCommands::Print(CPrintout& printout, bool ask)
{
    CPrintDialogService& dialogs = CServices::PrintDialogs();
    CPrintSetup setup = dialogs.GetChosenSetup();
    if (!printout.Prepare(setup))
        return false;
    const int32_t pages = std::max(printout.GetPageCount(), 1);
    CPrintRange range{1, pages, 1, pages};
    if (ask) {
        CPrintSetup chosen = setup;
        CPrintRange chosenRange = range;
        if (!dialogs.PrintDialog(chosen, chosenRange))
            return false;
        dialogs.KeepChosenSetup(chosen);
        setup = chosen;
        range.from = std::clamp(chosenRange.from, 1, pages);
        range.to = std::clamp(chosenRange.to, range.from, pages);
    }

    printout.OnBeginPrinting();
    std::unique_ptr<CPrintJob> job = CServices::Printers().StartJob(setup);
    bool printed = job != nullptr;
    if (printed) {
        printed = PaintPages(printout, *job, range.from, range.to);
        // A job that failed still ends, so that the printer lets go of it.
        printed = job->End() && printed;
    }
    printout.OnEndPrinting();
    if (!printed)
        printout.ReportFailure();
    return printed;
}

bool CPrintCommands::Preview(CPrintout& printout)
{
    CPrintDialogService& dialogs = CServices::PrintDialogs();
    CPrintSetup setup = dialogs.GetChosenSetup();
    if (!printout.Prepare(setup))
        return false;
    dialogs.Preview(setup, printout);
    return true;
}

bool CPrintCommands::PaintPages(CPrintout& printout, CPrintJob& job, int32_t first, int32_t last)
{
    for (int32_t page = first; page <= last; ++page) {
        if (page > first && !job.NewPage())
            return false;
        if (!printout.PaintPage(job, page))
            return false;
    }
    return true;
}
